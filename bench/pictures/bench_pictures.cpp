// Showing a 12-megapixel JPEG in the album's 369 x 297 frame, stretched and at
// its own size, against libjpeg-turbo decoding the same file in full, in the
// same run. Prints the median times and the ratios (full / shown): shown cold,
// each time decoded afresh, and shown again from loadPicture()'s cache of
// recent results, as the album does on every data change of its table.
//   bench_pictures [--repeat N] [--size WIDTHxHEIGHT] [--keep FILE]   (21, 4000x3000)
// --keep also writes the JPEG to FILE, for a closer look.
#include "platform/Picture.h"
#include "platform/PictureDecoders.h"
#include "support/PictureFixtures.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include <jpeglib.h>

namespace {

// The baseline: read the file and let libjpeg-turbo decode every pixel.
QImage fullDecode(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return testsupport::pictures::libjpegDecode(file.readAll());
}

// libjpeg-turbo's own pass over the Huffman-coded data, every block of it.
QSize coefficientsOnly(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    const QByteArray data = file.readAll();
    jpeg_decompress_struct cinfo {};
    jpeg_error_mgr errors {};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(data.constData()), data.size());
    jpeg_read_header(&cinfo, TRUE);
    jpeg_read_coefficients(&cinfo);
    const QSize size(int(cinfo.image_width), int(cinfo.image_height));
    jpeg_destroy_decompress(&cinfo);
    return size;
}

// The median time of `run`, which answers the size of what it made.
double medianMilliseconds(int repeat, const std::function<QSize()>& run, QSize expected)
{
    std::vector<double> times;
    for (int i = 0; i < repeat; ++i) {
        QElapsedTimer timer;
        timer.start();
        const QSize made = run();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (made != expected) {
            std::fprintf(stderr, "unexpected picture size %dx%d\n", made.width(), made.height());
            std::exit(1);
        }
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    int repeat = 21;
    QSize size(4000, 3000);
    QString keep;
    for (int i = 1; i + 1 < argc; i += 2) {
        const QByteArray option = argv[i];
        const QByteArray value = argv[i + 1];
        if (option == "--repeat")
            repeat = std::max(1, value.toInt());
        else if (option == "--keep")
            keep = QString::fromLocal8Bit(value);
        else if (option == "--size" && value.contains('x'))
            size = QSize(value.split('x')[0].toInt(), value.split('x')[1].toInt());
    }
    const QSize frame(369, 297);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("foto.jpg"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)
            || file.write(testsupport::pictures::cameraJpeg(testsupport::pictures::photograph(size))) < 0)
            return 1;
        std::printf("%dx%d JPEG, %lld bytes, %d runs each, median times\n", size.width(), size.height(),
            file.size(), repeat);
    }

    if (!keep.isEmpty())
        QFile::copy(path, keep);

    // Warm the file cache and the libraries once before measuring.
    fullDecode(path);
    platform::loadPicture(path, frame, platform::Fit::Stretch);

    const double full = medianMilliseconds(
        repeat, [&] { return fullDecode(path).size(); }, size);
    // Cold: the cache forgotten before each run.
    const auto shown = [&](platform::Fit fit, bool cold) {
        if (cold)
            platform::pictures::clearCache();
        return platform::loadPicture(path, frame, fit).size();
    };
    const QSize ownFrame = frame.boundedTo(size);
    // An album's photographs are old files: none of them is hashed to be
    // told apart from a rewrite made just now (see "shown again" below).
    platform::pictures::setRacyMilliseconds(0);
    const double stretched = medianMilliseconds(
        repeat, [&] { return shown(platform::Fit::Stretch, true); }, frame);
    const double ownSize = medianMilliseconds(
        repeat, [&] { return shown(platform::Fit::OwnSize, true); }, ownFrame);
    // Shown again. A file changed in the last two seconds is served from the
    // cache only after its contents hash the same (a day's margin makes this
    // one such); an older photograph is checked by its times alone (a margin
    // of 0, whatever the age of this file).
    platform::pictures::setRacyMilliseconds(24 * 3600 * 1000);
    platform::pictures::clearCache();
    shown(platform::Fit::Stretch, false);
    const double hashed = medianMilliseconds(
        repeat, [&] { return shown(platform::Fit::Stretch, false); }, frame);
    platform::pictures::setRacyMilliseconds(0);
    platform::pictures::clearCache();
    shown(platform::Fit::Stretch, false);
    shown(platform::Fit::OwnSize, false);
    const int decodes = platform::pictures::decodeCount();
    const double cachedStretched = medianMilliseconds(
        repeat, [&] { return shown(platform::Fit::Stretch, false); }, frame);
    const double cachedOwnSize = medianMilliseconds(
        repeat, [&] { return shown(platform::Fit::OwnSize, false); }, ownFrame);
    if (platform::pictures::decodeCount() != decodes) {
        std::fprintf(stderr, "the cached picture was decoded again\n");
        return 1;
    }
    const double entropy = medianMilliseconds(
        repeat, [&] { return coefficientsOnly(path); }, size);
    std::printf("full decode (libjpeg-turbo)      %8.2f ms\n", full);
    std::printf("coefficients only                %8.2f ms   %.1fx faster (libjpeg-turbo's Huffman pass)\n",
        entropy, full / entropy);
    std::printf("shown stretched (cold)           %8.2f ms   %.1fx faster\n", stretched, full / stretched);
    std::printf("shown at own size (cold)         %8.2f ms   %.1fx faster\n", ownSize, full / ownSize);
    std::printf("shown again (cached), stretched  %8.3f ms   %.0fx faster\n", cachedStretched,
        full / cachedStretched);
    std::printf(
        "shown again (cached), own size   %8.3f ms   %.0fx faster\n", cachedOwnSize, full / cachedOwnSize);
    std::printf("shown again, file just changed   %8.3f ms   %.0fx faster (cached, contents hashed)\n",
        hashed, full / hashed);
    return 0;
}
