// Bitmaps and icons through Qt's own readers, with our limits and our choice
// of the icon image; the sizing shared by every format.
#include "pictures/PictureDecoders.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>

#include <cstdlib>
#include <limits>
#include <mutex>

namespace pictures {

namespace {

// Qt's limit is process-wide: ours holds only while a picture is read, and
// the read-ahead thread reads one picture at a time with the album's.
class AllocationLimit {
public:
    AllocationLimit()
        : m_lock(mutex())
        , m_previous(QImageReader::allocationLimit())
    {
        QImageReader::setAllocationLimit(PictureLimits::maxAllocationMiB);
    }
    ~AllocationLimit() { QImageReader::setAllocationLimit(m_previous); }
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;

private:
    static std::mutex& mutex()
    {
        static std::mutex shared;
        return shared;
    }
    std::lock_guard<std::mutex> m_lock;
    int m_previous;
};

// The size the reader gives, or an invalid one. A bitmap stored top down
// (the first line first) says so with a negative height, which Qt's reader
// passes on as it is.
QSize ownSize(QImageReader& reader)
{
    const QSize own = reader.size();
    if (own.height() < 0 && own.height() != std::numeric_limits<int>::min() && reader.format() == "bmp")
        return QSize(own.width(), -own.height());
    return own;
}

// A reader of exactly the given Qt format over the data, its picture's own
// size checked against the limits; `invalid` is thrown for a size it lacks.
class QtReader {
public:
    QtReader(const QByteArray& data, const char* format, Failure invalid)
        : m_reader(&m_buffer, format)
    {
        m_buffer.setData(data);
        m_buffer.open(QIODevice::ReadOnly);
        m_reader.setAutoDetectImageFormat(false);
        m_own = ownSize(m_reader);
        if (!m_own.isValid() || m_own.isEmpty())
            throw DecodeError { invalid, 0 };
        checkOwnSize(m_own);
    }
    QtReader(const QtReader&) = delete;
    QtReader& operator=(const QtReader&) = delete;

    QImageReader& reader() { return m_reader; }
    QSize size() const { return m_own; }

private:
    QBuffer m_buffer;
    QImageReader m_reader;
    QSize m_own;
};

// Reads one picture of the given Qt format, refusing anything else.
QImage readWithQt(const QByteArray& data, const char* format, Failure invalid)
{
    const AllocationLimit limit;
    QtReader qt(data, format, invalid);
    QImage image;
    if (!qt.reader().read(&image) || image.isNull())
        throw DecodeError { invalid, 0 };
    return image;
}

QSize sizeWithQt(const QByteArray& data, const char* format)
{
    return QtReader(data, format, Failure::NotValid).size();
}

// Pixels of the bottom-left pixel's colour become transparent, judged on the
// whole picture before any part of it is cut out or scaled.
QImage withTransparentKey(QImage part, QRgb key)
{
    part = part.convertToFormat(QImage::Format_ARGB32);
    key &= RGB_MASK;
    for (int y = 0; y < part.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(part.scanLine(y));
        for (int x = 0; x < part.width(); ++x)
            if ((line[x] & RGB_MASK) == key)
                line[x] = 0;
    }
    return part;
}

quint16 word(const uchar* at)
{
    return qFromLittleEndian<quint16>(at);
}
quint32 dword(const uchar* at)
{
    return qFromLittleEndian<quint32>(at);
}

struct IconEntry {
    QSize size;
    int bitCount = 0;
    quint32 bytes = 0;
    quint32 offset = 0;
};

// The icon image a desktop shows by default: the one nearest 32 × 32, the
// richest in colours among equals, the first among those.
IconEntry chooseIcon(const QByteArray& data)
{
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    const qint64 size = data.size();
    if (size < 6 || word(bytes) != 0 || word(bytes + 2) != 1 || word(bytes + 4) == 0)
        throw DecodeError { Failure::NotValid, 0 };
    const int count = word(bytes + 4);
    if (6 + 16 * qint64(count) > size)
        throw DecodeError { Failure::NotValid, 0 };
    IconEntry best;
    int bestDistance = -1;
    for (int i = 0; i < count; ++i) {
        const uchar* at = bytes + 6 + std::ptrdiff_t(16) * i;
        IconEntry entry;
        entry.size = QSize(at[0] ? at[0] : 256, at[1] ? at[1] : 256);
        entry.bitCount = word(at + 6);
        if (entry.bitCount == 0 && at[2] != 0)
            entry.bitCount = at[2] <= 2 ? 1 : at[2] <= 16 ? 4 : 8;
        entry.bytes = dword(at + 8);
        entry.offset = dword(at + 12);
        if (entry.bytes < 8 || qint64(entry.offset) + entry.bytes > size)
            continue;
        const int distance = std::abs(entry.size.width() - 32) + std::abs(entry.size.height() - 32);
        if (bestDistance < 0 || distance < bestDistance
            || (distance == bestDistance && entry.bitCount > best.bitCount)) {
            best = entry;
            bestDistance = distance;
        }
    }
    if (bestDistance < 0)
        throw DecodeError { Failure::NotValid, 0 };
    return best;
}

// The chosen image alone: a PNG as it is, a bitmap as a one-image icon file,
// so Qt's reader decodes nothing else.
QImage readIconEntry(const QByteArray& data, const IconEntry& entry)
{
    const QByteArray image = data.mid(entry.offset, entry.bytes);
    if (image.startsWith("\x89PNG\r\n\x1a\n"))
        return readWithQt(image, "png", Failure::NotValid);
    QByteArray single(22, '\0');
    auto* header = reinterpret_cast<uchar*>(single.data());
    qToLittleEndian<quint16>(1, header + 2);
    qToLittleEndian<quint16>(1, header + 4);
    header[6] = uchar(entry.size.width() & 0xff);
    header[7] = uchar(entry.size.height() & 0xff);
    qToLittleEndian<quint16>(1, header + 10);
    qToLittleEndian<quint16>(quint16(entry.bitCount), header + 12);
    qToLittleEndian<quint32>(entry.bytes, header + 14);
    qToLittleEndian<quint32>(22, header + 18);
    return readWithQt(single + image, "ico", Failure::NotValid);
}

} // namespace

QImage fitToFrame(const QImage& own, const Request& request)
{
    if (request.fit == Fit::OwnSize)
        return own.copy(visiblePart(own.size(), request.frame));
    if (own.size() == request.frame)
        return own;
    return own.scaled(request.frame, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

// The size as the header gives it, checked against the caps before Qt's
// reader, which refuses large bitmaps as if they were damaged.
void checkBitmapHeader(const QByteArray& data)
{
    const auto* bytes = reinterpret_cast<const uchar*>(data.constData());
    if (data.size() < 26 || bytes[0] != 'B' || bytes[1] != 'M')
        throw DecodeError { Failure::NotValid, 0 };
    const quint32 headerSize = dword(bytes + 14);
    if (headerSize == 12) {
        checkOwnSize(QSize(word(bytes + 18), word(bytes + 20)));
        return;
    }
    if (data.size() < 34)
        throw DecodeError { Failure::NotValid, 0 };
    const qint64 width = qFromLittleEndian<qint32>(bytes + 18);
    const qint64 height = std::abs(qint64(qFromLittleEndian<qint32>(bytes + 22)));
    if (width > PictureLimits::maxSide || height > PictureLimits::maxSide
        || width * height > PictureLimits::maxPixels)
        throw DecodeError { Failure::TooLarge, 0 };
    // Uncompressed pixels that the file cannot hold: refused before Qt's
    // reader makes room for the whole picture.
    const quint32 compression = dword(bytes + 30);
    const qint64 bitsPerPixel = word(bytes + 28);
    const qint64 stride = ((std::max<qint64>(width, 0) * bitsPerPixel + 31) / 32) * 4;
    if ((compression == 0 || compression == 3 || compression == 6)
        && dword(bytes + 10) + stride * height > data.size())
        throw DecodeError { Failure::NotValid, 0 };
}

QSize bitmapSize(const QByteArray& data)
{
    checkBitmapHeader(data);
    return sizeWithQt(data, "bmp");
}

QImage decodeBitmap(const QByteArray& data, const Request& request)
{
    checkBitmapHeader(data);
    const QImage own = readWithQt(data, "bmp", Failure::NotValid);
    if (request.transparency == BitmapTransparency::Opaque)
        return fitToFrame(own, request);
    const QRgb key = own.pixel(0, own.height() - 1);
    if (request.fit == Fit::OwnSize)
        return withTransparentKey(fitToFrame(own, request), key);
    return fitToFrame(withTransparentKey(own, key), request);
}

QSize iconSize(const QByteArray& data)
{
    return readIconEntry(data, chooseIcon(data)).size();
}

QImage decodeIcon(const QByteArray& data, const Request& request)
{
    return fitToFrame(readIconEntry(data, chooseIcon(data)), request);
}

} // namespace pictures
