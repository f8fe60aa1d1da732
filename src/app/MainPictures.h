// The main window's own pictures, drawn in code: the logo and the four
// header pictures (help, about, minimise, close), all on a transparent ground.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPixmap>

namespace app::pictures {

// "Huellario" with a paw print, 349 x 84: the copy the build drew into the
// program's resources, or drawn now when that copy is missing or damaged.
const QPixmap& logo();
// The logo drawn in code. Laying out its large text costs start-up about two
// milliseconds, so the build draws it once (huellario-pictures) and stores
// the pixels as they are, which need no decoding.
QImage drawLogo();
// The stored form: "HLRIMG1" and a zero byte, width and height as 32-bit
// little-endian numbers, then the premultiplied ARGB pixels row by row.
QByteArray rawPicture(const QImage& image);
QImage fromRawPicture(const uchar* data, qint64 size);

// 32 x 32 each, meant for the header's title-bar colour.
const QPixmap& help();
const QPixmap& about();
const QPixmap& minimise();
const QPixmap& close();

} // namespace app::pictures
