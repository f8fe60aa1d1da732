// JPEG through libjpeg-turbo, decoding only what the frame shows: scaled down
// by the decoder for a stretched picture, cropped and skipped at its own size.
#include "pictures/PictureDecoders.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

namespace pictures {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    jpeg_progress_mgr progress;
    std::jmp_buf jump;
    DecodeError error;
};

ErrorManager& manager(j_common_ptr cinfo)
{
    return *reinterpret_cast<ErrorManager*>(cinfo->err);
}

[[noreturn]] void onError(j_common_ptr cinfo)
{
    ErrorManager& self = manager(cinfo);
    self.error = { Failure::NotValid, self.pub.msg_code };
    std::longjmp(self.jump, 1);
}

// Warnings (a truncated file, corrupt data) are not errors: the picture shows
// what could be decoded, as the original decoder did. Nothing goes to stderr.
void onMessage(j_common_ptr, int) { }

// Each scan of a progressive file costs a pass over the whole picture; a
// hostile file can hold thousands of them.
void onProgress(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    const auto* decompress = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (decompress->input_scan_number > PictureLimits::maxJpegScans) {
        ErrorManager& self = manager(cinfo);
        self.error = { Failure::TooComplex, 0 };
        std::longjmp(self.jump, 1);
    }
}

// The memory of the coefficient buffer that a multi-scan file needs whatever
// part of it is shown.
qint64 coefficientBytes(const jpeg_decompress_struct& cinfo)
{
    qint64 total = 0;
    for (int i = 0; i < cinfo.num_components; ++i) {
        const jpeg_component_info& component = cinfo.comp_info[i];
        const qint64 blocksWide
            = (qint64(cinfo.image_width) * component.h_samp_factor + qint64(8) * cinfo.max_h_samp_factor - 1)
            / (qint64(8) * cinfo.max_h_samp_factor);
        const qint64 blocksHigh
            = (qint64(cinfo.image_height) * component.v_samp_factor + qint64(8) * cinfo.max_v_samp_factor - 1)
            / (qint64(8) * cinfo.max_v_samp_factor);
        total += (blocksWide + component.h_samp_factor) * (blocksHigh + component.v_samp_factor)
            * qint64(sizeof(JBLOCK));
    }
    return total;
}

// The smallest of libjpeg's scalings (n/8) whose output still covers the
// frame, or already has four times the frame's pixels: a picture far longer
// than the frame in one direction and shorter in the other (a panorama, or a
// hostile header) would otherwise be decoded whole only to be shrunk.
int scaleNumerator(QSize own, QSize frame)
{
    const qint64 enough = 4 * qint64(frame.width()) * frame.height();
    for (int numerator = 1; numerator < 8; ++numerator) {
        const qint64 width = (qint64(own.width()) * numerator + 7) / 8;
        const qint64 height = (qint64(own.height()) * numerator + 7) / 8;
        if ((width >= frame.width() && height >= frame.height()) || width * height >= enough)
            return numerator;
    }
    return 8;
}

constexpr qint64 allocationBytes = qint64(PictureLimits::maxAllocationMiB) * 1024 * 1024;

// Adobe writes CMYK inverted, which is what nearly every CMYK JPEG is.
void cmykToRgb(const JSAMPLE* in, QRgb* out, int width)
{
    for (int x = 0; x < width; ++x, in += 4) {
        const int k = in[3];
        out[x] = qRgb(in[0] * k / 255, in[1] * k / 255, in[2] * k / 255);
    }
}

// One decoder for one picture. Everything that longjmp may skip over is plain
// data: the image and the line buffer belong to the caller or to libjpeg.
class Decoder {
public:
    explicit Decoder(const QByteArray& data)
        : m_data(data)
    {
        cinfo.err = jpeg_std_error(&errors.pub);
        errors.pub.error_exit = onError;
        errors.pub.emit_message = onMessage;
        errors.progress.progress_monitor = onProgress;
    }
    ~Decoder()
    {
        if (m_created)
            jpeg_destroy_decompress(&cinfo);
    }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // These call libjpeg, so they run only once the caller's setjmp is armed.
    void readHeader()
    {
        jpeg_create_decompress(&cinfo);
        m_created = true;
        cinfo.progress = &errors.progress;
        cinfo.mem->max_memory_to_use = long(allocationBytes);
        jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(m_data.constData()),
            static_cast<unsigned long>(m_data.size()));
        jpeg_read_header(&cinfo, TRUE);
        own = QSize(int(cinfo.image_width), int(cinfo.image_height));
        // Only what the frame shows is decoded, so a phone's 200-megapixel
        // photograph is no burden; a file of several scans is the exception:
        // all of it is decoded, every coefficient kept until the last scan,
        // so it keeps the limits of a picture decoded whole.
        const qint64 eighthPixels = ((qint64(own.width()) + 7) / 8) * ((qint64(own.height()) + 7) / 8);
        const bool whole = jpeg_has_multiple_scans(&cinfo);
        if (own.width() > PictureLimits::maxSide || own.height() > PictureLimits::maxSide
            || eighthPixels > PictureLimits::maxDecodedPixels
            || (whole
                && (qint64(own.width()) * own.height() > PictureLimits::maxPixels
                    || coefficientBytes(cinfo) > allocationBytes)))
            fail(Failure::TooLarge);
        cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
        cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    }

    void decode(const Request& request, QImage& image)
    {
        if (request.fit == Fit::Stretch) {
            cinfo.scale_num = unsigned(scaleNumerator(own, request.frame));
            cinfo.scale_denom = 8;
        }
        jpeg_start_decompress(&cinfo);
        QRect wanted(0, 0, int(cinfo.output_width), int(cinfo.output_height));
        if (request.fit == Fit::OwnSize) {
            wanted = visiblePart(wanted.size(), request.frame);
            // One column more on each side than shown: at the edges of a crop
            // the colour is upsampled without its neighbours.
            const int from = std::max(0, wanted.x() - 1);
            const int to = std::min(int(cinfo.output_width), wanted.right() + 2);
            JDIMENSION left = JDIMENSION(from);
            JDIMENSION width = JDIMENSION(to - from);
            if (width < cinfo.output_width)
                jpeg_crop_scanline(&cinfo, &left, &width); // widens to whole blocks
            cropLeft = wanted.x() - int(left);
            for (JDIMENSION skipped = 0; skipped < JDIMENSION(wanted.y());)
                skipped += jpeg_skip_scanlines(&cinfo, JDIMENSION(wanted.y()) - skipped);
        }
        if (qint64(wanted.width()) * wanted.height() > PictureLimits::maxDecodedPixels)
            fail(Failure::TooLarge);
        image = QImage(wanted.size(), QImage::Format_RGB32);
        if (image.isNull())
            fail(Failure::TooLarge);
        JSAMPARRAY line = (*cinfo.mem->alloc_sarray)(
            reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, cinfo.output_width * 4, 1);
        for (int y = 0; y < wanted.height(); ++y) {
            if (request.cancelled && request.cancelled->load(std::memory_order_relaxed))
                fail(Failure::Cancelled);
            if (jpeg_read_scanlines(&cinfo, line, 1) != 1)
                std::memset(line[0], 0x80, size_t(cinfo.output_width) * 4);
            auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
            if (cmyk)
                cmykToRgb(line[0] + std::ptrdiff_t(cropLeft) * 4, out, wanted.width());
            else
                std::memcpy(out, line[0] + std::ptrdiff_t(cropLeft) * 4, size_t(wanted.width()) * 4);
        }
        // The lines below the frame are never read, so the decode is abandoned
        // rather than finished.
        jpeg_abort_decompress(&cinfo);
    }

    [[noreturn]] void fail(Failure failure)
    {
        errors.error = { failure, 0 };
        std::longjmp(errors.jump, 1);
    }

    jpeg_decompress_struct cinfo {};
    ErrorManager errors {};
    QSize own;
    bool cmyk = false;
    int cropLeft = 0;

private:
    const QByteArray& m_data;
    bool m_created = false;
};

} // namespace

QSize jpegSize(const QByteArray& data)
{
    Decoder decoder(data);
    if (setjmp(decoder.errors.jump))
        throw decoder.errors.error;
    decoder.readHeader();
    return decoder.own;
}

QImage decodeJpeg(const QByteArray& data, const Request& request)
{
    QImage image;
    {
        Decoder decoder(data);
        if (setjmp(decoder.errors.jump))
            throw decoder.errors.error;
        decoder.readHeader();
        decoder.decode(request, image);
    }
    return request.fit == Fit::Stretch ? fitToFrame(image, request) : image;
}

} // namespace pictures
