// Showing a 12-megapixel JPEG in the album's 369 x 297 frame, stretched and at
// its own size, against libjpeg-turbo decoding the same file in full, in the
// same run. Prints the median times and the ratios (full / shown): shown cold,
// each time decoded afresh; a move to the next photograph once the album has
// read it ahead; and shown again from loadPicture()'s cache of recent
// results, as the album does on every data change of its table.
//   bench_pictures [--repeat N] [--size WIDTHxHEIGHT] [--keep FILE]   (21, 4000x3000)
// --keep also writes the JPEG to FILE, for a closer look.
#include "pictures/Picture.h"
#include "pictures/PictureDecoders.h"
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
    return testsupport::picturefiles::libjpegDecode(file.readAll());
}

// libjpeg-turbo's own decode at an eighth of the size, its cheapest.
QImage eighthDecode(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return testsupport::picturefiles::libjpegDecode(file.readAll(), 8);
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
    const QString nextPath = dir.filePath(QStringLiteral("siguiente.jpg"));
    for (const auto& [name, seed] : { std::pair { path, 17u }, std::pair { nextPath, 23u } }) {
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly)
            || file.write(
                   testsupport::picturefiles::cameraJpeg(testsupport::picturefiles::photograph(size, seed)))
                < 0)
            return 1;
        if (seed == 17u)
            std::printf("%dx%d JPEG, %lld bytes, %d runs each, median times\n", size.width(), size.height(),
                file.size(), repeat);
    }

    if (!keep.isEmpty())
        QFile::copy(path, keep);

    // Warm the file cache and the libraries once before measuring.
    fullDecode(path);
    pictures::loadPicture(path, frame, pictures::Fit::Stretch);

    const double full = medianMilliseconds(
        repeat, [&] { return fullDecode(path).size(); }, size);
    // Cold: the cache forgotten before each run.
    const auto shown = [&](pictures::Fit fit, bool cold) {
        if (cold)
            pictures::clearCache();
        return pictures::loadPicture(path, frame, fit).size();
    };
    const QSize ownFrame = frame.boundedTo(size);
    // An album's photographs are old files: none of them is hashed to be
    // told apart from a rewrite made just now (see "shown again" below).
    pictures::setRacyMilliseconds(0);
    const double stretched = medianMilliseconds(
        repeat, [&] { return shown(pictures::Fit::Stretch, true); }, frame);
    const double ownSize = medianMilliseconds(
        repeat, [&] { return shown(pictures::Fit::OwnSize, true); }, ownFrame);
    // Shown again. A file changed in the last two seconds is served from the
    // cache only after its contents hash the same (a day's margin makes this
    // one such); an older photograph is checked by its times alone (a margin
    // of 0, whatever the age of this file).
    pictures::setRacyMilliseconds(24 * 3600 * 1000);
    pictures::clearCache();
    shown(pictures::Fit::Stretch, false);
    const double hashed = medianMilliseconds(
        repeat, [&] { return shown(pictures::Fit::Stretch, false); }, frame);
    pictures::setRacyMilliseconds(0);
    pictures::clearCache();
    shown(pictures::Fit::Stretch, false);
    shown(pictures::Fit::OwnSize, false);
    const int decodes = pictures::decodeCount();
    const double cachedStretched = medianMilliseconds(
        repeat, [&] { return shown(pictures::Fit::Stretch, false); }, frame);
    const double cachedOwnSize = medianMilliseconds(
        repeat, [&] { return shown(pictures::Fit::OwnSize, false); }, ownFrame);
    if (pictures::decodeCount() != decodes) {
        std::fprintf(stderr, "the cached picture was decoded again\n");
        return 1;
    }
    // The album shows a photograph and reads its neighbour ahead; the user's
    // move to it comes later, here once the read-ahead is done. Only the move
    // itself is timed.
    std::vector<double> moveTimes;
    medianMilliseconds(
        repeat,
        [&] {
            pictures::clearCache();
            shown(pictures::Fit::Stretch, false);
            pictures::readAhead({ { nextPath, frame, pictures::Fit::Stretch } });
            pictures::waitForReadAhead();
            QElapsedTimer timer;
            timer.start();
            const QSize made = pictures::loadPicture(nextPath, frame, pictures::Fit::Stretch).size();
            moveTimes.push_back(double(timer.nsecsElapsed()) / 1e6);
            return made;
        },
        frame);
    std::sort(moveTimes.begin(), moveTimes.end());
    const double move = moveTimes[moveTimes.size() / 2];
    const double entropy = medianMilliseconds(
        repeat, [&] { return coefficientsOnly(path); }, size);
    const double eighth = medianMilliseconds(
        repeat, [&] { return eighthDecode(path).size(); },
        QSize((size.width() + 7) / 8, (size.height() + 7) / 8));
    std::printf("full decode (libjpeg-turbo)      %8.2f ms\n", full);
    std::printf("coefficients only                %8.2f ms   %.1fx faster (libjpeg-turbo's Huffman pass)\n",
        entropy, full / entropy);
    std::printf("eighth scale (libjpeg-turbo)     %8.2f ms   %.1fx faster\n", eighth, full / eighth);
    std::printf("shown stretched (cold)           %8.2f ms   %.1fx faster\n", stretched, full / stretched);
    std::printf("shown at own size (cold)         %8.2f ms   %.1fx faster\n", ownSize, full / ownSize);
    std::printf("move to the next, read ahead     %8.3f ms   %.0fx faster; goal under 16 ms: %s\n", move,
        full / move, move < 16 ? "met" : "NOT met");
    std::printf("shown again (cached), stretched  %8.3f ms   %.0fx faster\n", cachedStretched,
        full / cachedStretched);
    std::printf(
        "shown again (cached), own size   %8.3f ms   %.0fx faster\n", cachedOwnSize, full / cachedOwnSize);
    std::printf("shown again, file just changed   %8.3f ms   %.0fx faster (cached, contents hashed)\n",
        hashed, full / hashed);
    return 0;
}
