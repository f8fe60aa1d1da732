// huellario-metafile KIND WIDTH HEIGHT MODE PATH: draws one metafile for the
// program, which reads the result from standard output. KIND is emf or wmf;
// MODE is own, stretch or size. The reply is "HLRM", then own width, own
// height, image width and image height as 32-bit little-endian integers, then
// the image as premultiplied ARGB pixels, line by line. Exit code 0: drawn;
// 2: not a valid metafile; 3: over the size caps; 64: wrong arguments.
#include "pictures/metafile/MetafileRender.h"

#include <QFile>
#include <QGuiApplication>
#include <QtEndian>

#include <cstdio>
#include <cstring>
#include <sys/resource.h>

namespace {

// A runaway parse ends here rather than taking the machine's memory or time;
// a crash leaves no core file behind.
void limitResources()
{
#ifndef __SANITIZE_ADDRESS__
    // AddressSanitizer reserves terabytes of address space for itself, so the
    // sanitized test build leaves this one limit out.
    const rlimit memory { 1536ull << 20, 1536ull << 20 };
    setrlimit(RLIMIT_AS, &memory);
#endif
    const rlimit cpu { 10, 10 };
    setrlimit(RLIMIT_CPU, &cpu);
    const rlimit core { 0, 0 };
    setrlimit(RLIMIT_CORE, &core);
}

bool writeAll(const char* data, size_t size)
{
    return std::fwrite(data, 1, size, stdout) == size;
}

} // namespace

int main(int argc, char** argv)
{
    limitResources();
    if (argc != 6)
        return 64;
    using pictures::Fit;
    const QByteArray kind = argv[1];
    const QByteArray mode = argv[4];
    bool widthOk = false;
    bool heightOk = false;
    const int width = QByteArray(argv[2]).toInt(&widthOk);
    const int height = QByteArray(argv[3]).toInt(&heightOk);
    if ((kind != "emf" && kind != "wmf") || (mode != "own" && mode != "stretch" && mode != "size") || !widthOk
        || !heightOk || width < 1 || height < 1 || width > pictures::PictureLimits::maxFrameSide
        || height > pictures::PictureLimits::maxFrameSide)
        return 64;

    // Qt sees no argument of ours: a path is never taken for one of its options.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication application(qtArgc, argv);

    QFile file(QFile::decodeName(argv[5]));
    if (!file.open(QIODevice::ReadOnly) || file.size() > pictures::PictureLimits::maxFileBytes)
        return 2;
    const QByteArray data = file.read(pictures::PictureLimits::maxFileBytes);

    const pictures::Request request { QSize(width, height), mode == "stretch" ? Fit::Stretch : Fit::OwnSize,
        pictures::BitmapTransparency::Opaque };
    pictures::metafile::Rendered rendered;
    try {
        rendered = pictures::metafile::render(data,
            kind == "emf" ? pictures::metafile::Kind::Enhanced : pictures::metafile::Kind::Windows,
            mode == "size" ? nullptr : &request);
    } catch (const pictures::DecodeError& error) {
        return error.failure == pictures::Failure::TooLarge ? 3 : 2;
    } catch (...) {
        return 2;
    }

    const QImage& image = rendered.image;
    char header[20] = { 'H', 'L', 'R', 'M' };
    const qint32 fields[] = { rendered.own.width(), rendered.own.height(), image.width(), image.height() };
    for (int i = 0; i < 4; ++i)
        qToLittleEndian<qint32>(fields[i], header + 4 + std::ptrdiff_t(4) * i);
    if (!writeAll(header, sizeof header))
        return 2;
    for (int y = 0; y < image.height(); ++y)
        if (!writeAll(reinterpret_cast<const char*>(image.constScanLine(y)), size_t(image.width()) * 4))
            return 2;
    return std::fflush(stdout) == 0 ? 0 : 2;
}
