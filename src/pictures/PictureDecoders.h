// The decoders behind loadPicture(), working on a file's bytes. They know no
// paths, so the fuzzers and the benchmark call them directly.
#pragma once

#include "pictures/PictureTypes.h"

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <algorithm>
#include <atomic>

namespace pictures {

struct Request {
    QSize frame;
    Fit fit = Fit::OwnSize;
    BitmapTransparency transparency = BitmapTransparency::Opaque;
    // Set from another thread when the picture is no longer wanted; a JPEG
    // decode then stops between lines.
    const std::atomic<bool>* cancelled = nullptr;
};

// Why a decoder gave up; the loader turns it into the format's message.
enum class Failure { NotValid, TooLarge, TooComplex, Cancelled };

struct DecodeError {
    Failure failure = Failure::NotValid;
    int jpegCode = 0; // libjpeg's message number, for JPEGs that are not valid
};

// The part of a picture of size `own` that a frame of size `frame` shows
// when the picture is centred at its own size.
inline QRect visiblePart(QSize own, QSize frame)
{
    const int width = std::min(own.width(), frame.width());
    const int height = std::min(own.height(), frame.height());
    return QRect((own.width() - width) / 2, (own.height() - height) / 2, width, height);
}

// Throws DecodeError{TooLarge} when `own` is beyond PictureLimits.
inline void checkOwnSize(QSize own)
{
    if (own.width() > PictureLimits::maxSide || own.height() > PictureLimits::maxSide
        || qint64(own.width()) * own.height() > PictureLimits::maxPixels)
        throw DecodeError { Failure::TooLarge, 0 };
}

// From a picture decoded at its own size to what the request asks for.
QImage fitToFrame(const QImage& own, const Request& request);

QSize bitmapSize(const QByteArray& data);
QImage decodeBitmap(const QByteArray& data, const Request& request);

QSize iconSize(const QByteArray& data);
QImage decodeIcon(const QByteArray& data, const Request& request);

QSize jpegSize(const QByteArray& data);
QImage decodeJpeg(const QByteArray& data, const Request& request);

// Where loadPicture() finds huellario-metafile: beside the program (the
// build tree) or in the installed helpers' folder, unless a test has pointed
// it elsewhere (an empty path goes back).
QString metafileHelper();
// The same for a program in binDir; when neither is there, the path beside it.
QString metafileHelperIn(const QString& binDir);
void setMetafileHelper(const QString& path);

// loadPicture() and pictureSize() keep their last results, up to this many
// and this many bytes of images, and answer again from them while the file's
// identity, size and times are unchanged.
constexpr int cacheEntries = 8;
constexpr qint64 cacheBytes = qint64(16) * 1024 * 1024;

// How many times they have decoded a file rather than answered from the
// cache, and a way to forget it all, for tests and the benchmark.
int decodeCount();
// The decodes the read-ahead made, kept apart: a picture shown from what it
// read does not count in decodeCount().
int readAheadDecodeCount();
void clearCache();

// A file changed less than this long before it is opened might be rewritten
// with the same size and times, so its cached result is served only when
// the contents hash the same (and a metafile's is not kept). Tests set 0 to
// reach the plain path.
constexpr int defaultRacyMilliseconds = 2000;
void setRacyMilliseconds(int milliseconds);

} // namespace pictures
