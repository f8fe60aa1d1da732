#include "support/PictureFixtures.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jpeglib.h>

namespace testsupport::picturefiles {

namespace {

// Little-endian record writer.
class Bytes {
public:
    Bytes& u16(quint32 value)
    {
        char bytes[2];
        qToLittleEndian<quint16>(quint16(value), bytes);
        m_data.append(bytes, 2);
        return *this;
    }
    Bytes& u32(quint32 value)
    {
        char bytes[4];
        qToLittleEndian<quint32>(value, bytes);
        m_data.append(bytes, 4);
        return *this;
    }
    Bytes& i32(qint32 value) { return u32(quint32(value)); }
    void setU32(qsizetype at, quint32 value) { qToLittleEndian<quint32>(value, m_data.data() + at); }
    void setU16(qsizetype at, quint32 value) { qToLittleEndian<quint16>(quint16(value), m_data.data() + at); }
    qsizetype size() const { return m_data.size(); }
    QByteArray& data() { return m_data; }

private:
    QByteArray m_data;
};

QByteArray written(const QImage& image, const char* format, int quality = -1, bool progressive = false)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return data;
}

quint32 colorRef(QColor color)
{
    return quint32(color.red()) | quint32(color.green()) << 8 | quint32(color.blue()) << 16;
}

} // namespace

QImage card(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    const int halfWidth = size.width() / 2;
    const int halfHeight = size.height() / 2;
    QPainter painter(&image);
    painter.fillRect(0, 0, halfWidth, halfHeight, Qt::red);
    painter.fillRect(halfWidth, 0, size.width() - halfWidth, halfHeight, Qt::green);
    painter.fillRect(0, halfHeight, halfWidth, size.height() - halfHeight, Qt::blue);
    painter.fillRect(halfWidth, halfHeight, size.width() - halfWidth, size.height() - halfHeight, Qt::yellow);
    return image;
}

QImage photograph(QSize size, quint32 seed)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient sky(0, 0, size.width(), size.height());
    sky.setColorAt(0, QColor(90, 140, 200));
    sky.setColorAt(1, QColor(200, 170, 120));
    painter.fillRect(image.rect(), sky);
    QRandomGenerator random(seed);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 400; ++i) {
        painter.setBrush(QColor::fromRgb(random.bounded(256), random.bounded(256), random.bounded(256)));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPointF(random.bounded(size.width()), random.bounded(size.height())),
            random.bounded(20, 300), random.bounded(20, 300));
    }
    painter.end();
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int grain = int(random.bounded(25)) - 12;
            const QRgb p = line[x];
            line[x] = qRgb(std::clamp(qRed(p) + grain, 0, 255), std::clamp(qGreen(p) + grain, 0, 255),
                std::clamp(qBlue(p) + grain, 0, 255));
        }
    }
    return image;
}

QByteArray cameraJpeg(const QImage& picture, const JpegCoding& coding)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    return cameraJpeg(
        image.size(),
        [&image](int y, QRgb* line) {
            std::memcpy(line, image.constScanLine(y), size_t(image.width()) * sizeof(QRgb));
        },
        coding);
}

QByteArray largeCardJpeg(QSize size)
{
    const int halfWidth = size.width() / 2;
    const int halfHeight = size.height() / 2;
    return cameraJpeg(size, [&](int y, QRgb* line) {
        const bool top = y < halfHeight;
        for (int x = 0; x < size.width(); ++x)
            line[x] = x < halfWidth ? (top ? qRgb(255, 0, 0) : qRgb(0, 0, 255))
                                    : (top ? qRgb(0, 255, 0) : qRgb(255, 255, 0));
    });
}

QByteArray cameraJpeg(QSize size, const std::function<void(int, QRgb*)>& row, const JpegCoding& coding)
{
    std::vector<QRgb> buffer(size_t(size.width()));
    jpeg_compress_struct cinfo {};
    jpeg_error_mgr errors {};
    cinfo.err = jpeg_std_error(&errors);
    // Tables of 16-bit values draw a caution on stderr; they are meant.
    errors.emit_message = [](j_common_ptr, int) {};
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long length = 0;
    jpeg_mem_dest(&cinfo, &out, &length);
    cinfo.image_width = JDIMENSION(size.width());
    cinfo.image_height = JDIMENSION(size.height());
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&cinfo);
    if (coding.grey) {
        jpeg_set_colorspace(&cinfo, JCS_GRAYSCALE);
    } else {
        cinfo.comp_info[0].h_samp_factor = coding.lumaH;
        cinfo.comp_info[0].v_samp_factor = coding.lumaV;
    }
    cinfo.restart_interval = unsigned(coding.restartInterval);
    cinfo.optimize_coding = coding.optimize ? TRUE : FALSE;
    jpeg_set_quality(&cinfo, coding.quality, coding.quality >= 25 ? TRUE : FALSE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        row(int(cinfo.next_scanline), buffer.data());
        auto* line = reinterpret_cast<JSAMPLE*>(buffer.data());
        jpeg_write_scanlines(&cinfo, &line, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray data(reinterpret_cast<const char*>(out), qsizetype(length));
    std::free(out);
    return data;
}

namespace {

struct QuietErrors {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

} // namespace

QImage libjpegDecode(const QByteArray& data, int denominator)
{
    jpeg_decompress_struct cinfo {};
    QuietErrors errors {};
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit
        = [](j_common_ptr c) { std::longjmp(reinterpret_cast<QuietErrors*>(c->err)->jump, 1); };
    errors.pub.emit_message = [](j_common_ptr, int) {};
    // Set after setjmp, so kept where longjmp cannot leave a stale copy.
    QImage* volatile image = nullptr;
    jpeg_create_decompress(&cinfo);
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        delete image;
        return {};
    }
    jpeg_mem_src(
        &cinfo, reinterpret_cast<const unsigned char*>(data.constData()), (unsigned long)data.size());
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_EXT_BGRX;
    cinfo.scale_num = 1;
    cinfo.scale_denom = unsigned(denominator);
    jpeg_start_decompress(&cinfo);
    image = new QImage(int(cinfo.output_width), int(cinfo.output_height), QImage::Format_RGB32);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPLE* line = image->scanLine(int(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &line, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    QImage result = std::move(*image);
    delete image;
    return result;
}

QByteArray bitmap(const QImage& image)
{
    return written(image, "bmp");
}

QByteArray jpeg(const QImage& image, int quality, bool progressive)
{
    return written(image, "jpg", quality, progressive);
}

QByteArray icon(const QList<QImage>& images)
{
    Bytes file;
    file.u16(0).u16(1).u16(quint32(images.size()));
    QList<QByteArray> bodies;
    for (const QImage& image : images) {
        // A 32-bit bitmap with its height doubled for the mask that follows it.
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        Bytes body;
        body.u32(40)
            .i32(argb.width())
            .i32(argb.height() * 2)
            .u16(1)
            .u16(32)
            .u32(0)
            .u32(0)
            .u32(0)
            .u32(0)
            .u32(0)
            .u32(0);
        for (int y = argb.height() - 1; y >= 0; --y)
            body.data().append(
                reinterpret_cast<const char*>(argb.constScanLine(y)), qsizetype(argb.width()) * 4);
        const int maskStride = ((argb.width() + 31) / 32) * 4;
        body.data().append(QByteArray(qsizetype(maskStride) * argb.height(), '\0'));
        bodies.append(body.data());
    }
    quint32 offset = 6 + 16 * quint32(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const QImage& image = images[i];
        file.data().append(char(image.width() >= 256 ? 0 : image.width()));
        file.data().append(char(image.height() >= 256 ? 0 : image.height()));
        file.data().append(char(0)).append(char(0));
        file.u16(1).u16(32).u32(quint32(bodies[i].size())).u32(offset);
        offset += quint32(bodies[i].size());
    }
    for (const QByteArray& body : bodies)
        file.data().append(body);
    return file.data();
}

QByteArray enhancedMetafile(QSize pixels, QColor fill)
{
    const auto hundredths = [](int value) { return qint32(std::lround(value * 2540.0 / 96.0)); };
    Bytes file;
    file.u32(1).u32(88);
    file.i32(0).i32(0).i32(pixels.width() - 1).i32(pixels.height() - 1); // bounds
    file.i32(0).i32(0).i32(hundredths(pixels.width())).i32(hundredths(pixels.height())); // frame
    file.u32(0x464D4520).u32(0x10000).u32(0).u32(0); // signature, version, bytes, records
    file.u16(3).u16(0).u32(0).u32(0).u32(0); // handles, reserved, description, palette
    file.i32(1024).i32(768).i32(271).i32(203); // reference device in pixels and millimetres
    // Window mapped 1:1 onto device pixels.
    file.u32(9).u32(16).i32(pixels.width()).i32(pixels.height()); // EMR_SETWINDOWEXTEX
    file.u32(10).u32(16).i32(0).i32(0); // EMR_SETWINDOWORGEX
    const auto brush = [&file](quint32 handle, QColor color) {
        file.u32(39).u32(24).u32(handle).u32(0).u32(colorRef(color)).u32(0); // EMR_CREATEBRUSHINDIRECT
        file.u32(37).u32(12).u32(handle); // EMR_SELECTOBJECT
    };
    brush(1, Qt::white);
    file.u32(43).u32(24).i32(0).i32(0).i32(pixels.width()).i32(pixels.height()); // EMR_RECTANGLE
    brush(2, fill);
    file.u32(43).u32(24).i32(pixels.width() / 2).i32(0).i32(pixels.width()).i32(pixels.height());
    file.u32(14).u32(20).u32(0).u32(16).u32(20); // EMR_EOF
    int records = 0;
    for (qsizetype at = 0; at < file.size(); ++records)
        at += qFromLittleEndian<quint32>(file.data().constData() + at + 4);
    file.setU32(48, quint32(file.size()));
    file.setU32(52, quint32(records));
    return file.data();
}

QByteArray windowsMetafile(QSize pixels, QColor fill)
{
    return windowsMetafile(pixels, QList<QColor> { Qt::white, fill });
}

QByteArray windowsMetafile(QSize pixels, const QList<QColor>& stripes, bool transparentMode)
{
    Bytes file;
    // Placeable header: 96 units per inch, so one unit is one pixel.
    file.u32(0x9AC6CDD7).u16(0).u16(0).u16(0).u16(quint32(pixels.width())).u16(quint32(pixels.height()));
    file.u16(96).u32(0).u16(0);
    quint16 checksum = 0;
    for (int i = 0; i < 10; ++i)
        checksum ^= qFromLittleEndian<quint16>(file.data().constData() + std::ptrdiff_t(2) * i);
    file.setU16(20, checksum);
    const qsizetype header = file.size();
    file.u16(1).u16(9).u16(0x0300).u32(0).u16(quint32(stripes.size())).u32(7).u16(0);
    file.u32(5).u16(0x020B).u16(0).u16(0); // SETWINDOWORG y, x
    file.u32(5).u16(0x020C).u16(quint32(pixels.height())).u16(quint32(pixels.width())); // SETWINDOWEXT
    const auto brush = [&file](QColor color, quint32 index) {
        file.u32(7).u16(0x02FC).u16(0).u32(colorRef(color)).u16(0); // CREATEBRUSHINDIRECT
        file.u32(4).u16(0x012D).u16(index); // SELECTOBJECT
    };
    if (transparentMode)
        file.u32(4).u16(0x0102).u16(1); // SETBKMODE TRANSPARENT
    for (int i = 0; i < stripes.size(); ++i) {
        brush(stripes[i], quint32(i));
        const int left = pixels.width() * i / int(stripes.size());
        file.u32(7) // RECTANGLE bottom, right, top, left
            .u16(0x041B)
            .u16(quint32(pixels.height()))
            .u16(quint32(pixels.width()))
            .u16(0)
            .u16(quint32(left));
    }
    file.u32(3).u16(0); // EOF
    file.setU32(header + 6, quint32((file.size() - header) / 2));
    return file.data();
}

} // namespace testsupport::picturefiles
