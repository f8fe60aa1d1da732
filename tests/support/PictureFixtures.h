// Small picture files of every album format, made in code, for the tests and
// the fuzzers' seed corpora.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>

namespace testsupport::pictures {

// A test card: four coloured quarters, so a crop or a stretch shows where it
// came from. Top-left red, top-right green, bottom-left blue, bottom-right
// yellow.
QImage card(QSize size);

QByteArray bitmap(const QImage& image);
QByteArray jpeg(const QImage& image, int quality = 90, bool progressive = false);
// An icon file holding the given images, in that order, each as a bitmap.
QByteArray icon(const QList<QImage>& images);
// Metafiles of `pixels` at 96 dots per inch: a white background and a filled
// rectangle of `fill` over the right half.
QByteArray enhancedMetafile(QSize pixels, QColor fill);
QByteArray windowsMetafile(QSize pixels, QColor fill);

} // namespace testsupport::pictures
