// Writes the fuzzers' seed corpora: make_seeds FOLDER writes FOLDER/<target>/.
#include "support/PictureFixtures.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QtEndian>

namespace fixtures = testsupport::picturefiles;

namespace {

void write(const QString& folder, const QString& name, const QByteArray& data)
{
    QDir().mkpath(folder);
    QFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2)
        return 2;
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QImage card = fixtures::card(QSize(40, 24));
    const QImage small = fixtures::card(QSize(16, 16));

    write(root + "/fuzz_bitmap", "rgb32.bmp", fixtures::bitmap(card));
    write(root + "/fuzz_bitmap", "indexed8.bmp",
        fixtures::bitmap(card.convertToFormat(QImage::Format_Indexed8)));
    write(root + "/fuzz_bitmap", "mono.bmp", fixtures::bitmap(card.convertToFormat(QImage::Format_Mono)));
    write(root + "/fuzz_bitmap", "rgb888.bmp", fixtures::bitmap(card.convertToFormat(QImage::Format_RGB888)));

    write(root + "/fuzz_jpeg", "baseline.jpg", fixtures::jpeg(card, 75));
    write(root + "/fuzz_jpeg", "progressive.jpg", fixtures::jpeg(card, 75, true));
    write(
        root + "/fuzz_jpeg", "grey.jpg", fixtures::jpeg(card.convertToFormat(QImage::Format_Grayscale8), 75));
    write(root + "/fuzz_jpeg", "wide.jpg", fixtures::jpeg(fixtures::card(QSize(400, 16)), 50));
    // Restart markers, 4:2:2 and tables of its own, for our reading of baseline files.
    write(root + "/fuzz_jpeg", "restarts.jpg",
        fixtures::cameraJpeg(fixtures::photograph(QSize(64, 48), 3), { false, 2, 2, 2, 75, false }));
    write(root + "/fuzz_jpeg", "sampled-2x1.jpg",
        fixtures::cameraJpeg(fixtures::photograph(QSize(48, 40), 4), { false, 2, 1, 0, 60, true }));

    write(root + "/fuzz_icon", "one.ico", fixtures::icon({ small }));
    write(root + "/fuzz_icon", "two.ico", fixtures::icon({ small, fixtures::card(QSize(32, 32)) }));
    QImage png(16, 16, QImage::Format_ARGB32);
    png.fill(QColor(10, 200, 30, 128));
    QByteArray pngIcon = fixtures::icon({ png });
    {
        QByteArray pngData;
        QBuffer buffer(&pngData);
        buffer.open(QIODevice::WriteOnly);
        png.save(&buffer, "PNG");
        pngIcon = pngIcon.left(22) + pngData;
        qToLittleEndian<quint32>(quint32(pngData.size()), pngIcon.data() + 14);
    }
    write(root + "/fuzz_icon", "png.ico", pngIcon);

    write(root + "/fuzz_emf", "rectangles.emf", fixtures::enhancedMetafile(QSize(40, 24), Qt::red));
    write(root + "/fuzz_emf", "wide.emf", fixtures::enhancedMetafile(QSize(500, 10), Qt::blue));
    write(root + "/fuzz_wmf", "rectangles.wmf", fixtures::windowsMetafile(QSize(40, 24), Qt::red));
    write(root + "/fuzz_wmf", "wide.wmf", fixtures::windowsMetafile(QSize(500, 10), Qt::blue));
    return 0;
}
