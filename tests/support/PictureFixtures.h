// Small picture files of every album format, made in code, for the tests and
// the fuzzers' seed corpora.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>

#include <functional>

namespace testsupport::picturefiles {

// A test card: four coloured quarters, so a crop or a stretch shows where it
// came from. Top-left red, top-right green, bottom-left blue, bottom-right
// yellow.
QImage card(QSize size);

// Something like a photograph: soft gradients, shapes and grain, so that a
// JPEG of it has the size and entropy of a real one.
QImage photograph(QSize size, quint32 seed = 17);

// How cameraJpeg() writes a picture; by default as a camera would, 4:2:0 at
// quality 90 with the standard Huffman tables.
struct JpegCoding {
    bool grey = false;
    int lumaH = 2; // the colour components are 1 × 1
    int lumaV = 2;
    int restartInterval = 0; // in MCUs
    int quality = 90; // below 25 the tables hold values over 255
    bool optimize = false; // Huffman tables of the picture's own
};
// Written by libjpeg itself, with the choices Qt's writer does not offer.
QByteArray cameraJpeg(const QImage& image, const JpegCoding& coding = {});
// The same, each line asked of `row`, so a picture larger than memory
// comfortably holds can be written.
QByteArray cameraJpeg(
    QSize size, const std::function<void(int y, QRgb* line)>& row, const JpegCoding& coding = {});
// card() as a JPEG of any size, written line by line.
QByteArray largeCardJpeg(QSize size);
// libjpeg-turbo's own decode, whole (1) or at 1/2, 1/4, 1/8 of the size,
// warnings ignored; a null image where it fails.
QImage libjpegDecode(const QByteArray& data, int denominator = 1);

QByteArray bitmap(const QImage& image);
QByteArray jpeg(const QImage& image, int quality = 90, bool progressive = false);
// An icon file holding the given images, in that order, each as a bitmap.
QByteArray icon(const QList<QImage>& images);
// Metafiles of `pixels` at 96 dots per inch: a white background and a filled
// rectangle of `fill` over the right half.
QByteArray enhancedMetafile(QSize pixels, QColor fill);
QByteArray windowsMetafile(QSize pixels, QColor fill);
// A metafile of equal vertical stripes, one brush each, left to right; the
// background mode, which concerns only hatches and text, transparent or not.
QByteArray windowsMetafile(QSize pixels, const QList<QColor>& stripes, bool transparentMode = false);

} // namespace testsupport::picturefiles
