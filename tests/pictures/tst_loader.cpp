// Picture loading for the album: each format at its own size and stretched,
// the part a frame shows, the messages of damaged, missing and foreign files,
// the caps, and a metafile helper that hangs, crashes or talks nonsense.
#include "pictures/Picture.h"
#include "pictures/PictureDecoders.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Guarded.h"
#include "support/PictureFixtures.h"
#include "support/TestMain.h"
#include "support/TestPaths.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>

#include <jerror.h>
#include <jpeglib.h>

namespace fixtures = testsupport::picturefiles;
using pictures::Fit;

namespace {

const QSize albumFrame(369, 297);

bool near(QRgb a, QRgb b, int tolerance = 40)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
        && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// A picture whose every pixel differs from its neighbours, so a crop that is
// one pixel off shows.
QImage pattern(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb((x * 7) % 256, (y * 5) % 256, ((x + y) * 3) % 256));
    return image;
}

// The same uncompressed bitmap stored top down: its lines in the other order
// and a negative height, as the format allows.
QByteArray topDown(QByteArray bitmap)
{
    auto* bytes = reinterpret_cast<uchar*>(bitmap.data());
    const qsizetype offset = qFromLittleEndian<quint32>(bytes + 10);
    const int width = qFromLittleEndian<qint32>(bytes + 18);
    const int height = qFromLittleEndian<qint32>(bytes + 22);
    const int bits = qFromLittleEndian<quint16>(bytes + 28);
    const qsizetype stride = ((qsizetype(width) * bits + 31) / 32) * 4;
    QByteArray lines = bitmap.mid(offset, stride * height);
    for (int y = 0; y < height; ++y)
        std::memcpy(
            bytes + offset + y * stride, lines.constData() + (height - 1 - y) * stride, size_t(stride));
    qToLittleEndian<qint32>(-height, bytes + 22);
    return bitmap;
}

int largestDifference(const QImage& a, const QImage& b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({ largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                std::abs(qBlue(p) - qBlue(q)) });
        }
    return largest;
}

} // namespace

class TstPicture : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void cleanup()
    {
        pictures::setMetafileHelper({});
        pictures::setRacyMilliseconds(pictures::defaultRacyMilliseconds);
    }

    // Every format from a fixture, with the colours expected at the corners
    // of a 200 × 100 picture.
    void formats_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QSize>("own");
        QTest::addColumn<QRgb>("topLeft");
        QTest::addColumn<QRgb>("bottomRight");
        const QImage card = fixtures::card(QSize(200, 100));
        const QRgb red = qRgb(255, 0, 0);
        const QRgb yellow = qRgb(255, 255, 0);
        const QRgb white = qRgb(255, 255, 255);
        const QRgb magenta = qRgb(255, 0, 255);
        QTest::newRow("bmp") << "foto.bmp" << fixtures::bitmap(card) << QSize(200, 100) << red << yellow;
        QTest::newRow("top-down bmp")
            << "arriba.bmp" << topDown(fixtures::bitmap(card)) << QSize(200, 100) << red << yellow;
        QTest::newRow("top-down bmp, 8-bit palette")
            << "paleta.bmp" << topDown(fixtures::bitmap(card.convertToFormat(QImage::Format_Indexed8)))
            << QSize(200, 100) << red << yellow;
        QTest::newRow("top-down bmp, 32-bit with alpha")
            << "alfa.bmp" << topDown(fixtures::bitmap(card.convertToFormat(QImage::Format_ARGB32)))
            << QSize(200, 100) << red << yellow;
        QTest::newRow("jpg") << "foto.jpg" << fixtures::jpeg(card) << QSize(200, 100) << red << yellow;
        QTest::newRow("JPEG upper case")
            << "FOTO.JPEG" << fixtures::jpeg(card) << QSize(200, 100) << red << yellow;
        QTest::newRow("progressive jpeg")
            << "foto.Jpg" << fixtures::jpeg(card, 90, true) << QSize(200, 100) << red << yellow;
        const QImage grey = card.convertToFormat(QImage::Format_Grayscale8);
        QTest::newRow("grey jpeg") << "gris.jpg" << fixtures::jpeg(grey) << QSize(200, 100)
                                   << grey.pixel(0, 0) << grey.pixel(199, 99);
        QTest::newRow("ico") << "icono.ico" << fixtures::icon({ card }) << QSize(200, 100) << red << yellow;
        QTest::newRow("emf") << "dibujo.emf" << fixtures::enhancedMetafile(QSize(200, 100), magenta)
                             << QSize(200, 100) << white << magenta;
        // An offset to a description of no length, which libemf2svg would read
        // past the end of the file.
        QByteArray looseDescription = fixtures::enhancedMetafile(QSize(200, 100), magenta);
        qToLittleEndian<quint32>(quint32(looseDescription.size() - 4), looseDescription.data() + 64);
        QTest::newRow("emf with a loose description offset")
            << "suelta.emf" << looseDescription << QSize(200, 100) << white << magenta;
        QTest::newRow("WMF") << "dibujo.WMF" << fixtures::windowsMetafile(QSize(200, 100), magenta)
                             << QSize(200, 100) << white << magenta;
    }
    void formats()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, data);
        QFETCH(QSize, own);
        QFETCH(QRgb, topLeft);
        QFETCH(QRgb, bottomRight);
        const QString path = write(name, data);

        QCOMPARE(pictures::pictureSize(path), own);

        const QImage whole = pictures::loadPicture(path, albumFrame, Fit::OwnSize);
        QCOMPARE(whole.size(), own);
        QVERIFY2(near(whole.pixel(4, 4), topLeft), qPrintable(QString::number(whole.pixel(4, 4), 16)));
        QVERIFY(near(whole.pixel(own.width() - 5, own.height() - 5), bottomRight));

        const QImage stretched = pictures::loadPicture(path, albumFrame, Fit::Stretch);
        QCOMPARE(stretched.size(), albumFrame);
        QVERIFY(near(stretched.pixel(8, 8), topLeft));
        QVERIFY(near(stretched.pixel(albumFrame.width() - 9, albumFrame.height() - 9), bottomRight));

        // A frame smaller than the picture shows its centre: 100 × 50 from (50, 25).
        const QImage centre = pictures::loadPicture(path, QSize(100, 50), Fit::OwnSize);
        QCOMPARE(centre.size(), QSize(100, 50));
        QVERIFY(near(centre.pixel(2, 2), topLeft));
        QVERIFY(near(centre.pixel(97, 47), bottomRight));
    }

    // The crop and skip of a JPEG at its own size land on the same pixels as a
    // full decode, whatever the offsets inside the JPEG's blocks.
    void jpegPartMatchesFullDecode_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("progressive");
        QTest::newRow("odd offsets") << QSize(1003, 777) << false;
        QTest::newRow("offsets on block edges") << QSize(369 + 64, 297 + 64) << false;
        QTest::newRow("narrower than the frame") << QSize(300, 900) << false;
        QTest::newRow("progressive") << QSize(1003, 777) << true;
    }
    void jpegPartMatchesFullDecode()
    {
        QFETCH(QSize, size);
        QFETCH(bool, progressive);
        const QByteArray data = fixtures::jpeg(pattern(size), 95, progressive);
        const QString path = write(QStringLiteral("patron.jpg"), data);
        const QImage full = pictures::decodeJpeg(
            data, { QSize(4096, 4096), Fit::OwnSize, pictures::BitmapTransparency::Opaque });
        QCOMPARE(full.size(), size);
        const QImage part = pictures::loadPicture(path, albumFrame, Fit::OwnSize);
        const QRect visible = pictures::visiblePart(size, albumFrame);
        QCOMPARE(part.size(), visible.size());
        const int difference = largestDifference(part, full.copy(visible));
        QVERIFY2(difference <= 2, qPrintable(QString::number(difference)));
    }

    void stretchedJpegIsDecodedAtTheFramesResolution()
    {
        const QByteArray data = fixtures::jpeg(fixtures::card(QSize(3000, 2000)));
        const QImage stretched = pictures::decodeJpeg(
            data, { QSize(369, 297), Fit::Stretch, pictures::BitmapTransparency::Opaque });
        QCOMPARE(stretched.size(), QSize(369, 297));
        QVERIFY(near(stretched.pixel(5, 5), qRgb(255, 0, 0)));
        QVERIFY(near(stretched.pixel(363, 5), qRgb(0, 255, 0)));
        QVERIFY(near(stretched.pixel(5, 291), qRgb(0, 0, 255)));
    }

    // A phone's photograph of 108 megapixels shows: stretched it is read at an
    // eighth of its size, at its own size only the frame's part is.
    void largePhotographShows()
    {
        const QString path = write(QStringLiteral("movil.jpg"), fixtures::largeCardJpeg(QSize(12000, 9000)));
        QCOMPARE(pictures::pictureSize(path), QSize(12000, 9000));
        const QImage stretched = pictures::loadPicture(path, albumFrame, Fit::Stretch);
        QCOMPARE(stretched.size(), albumFrame);
        QVERIFY(near(stretched.pixel(5, 5), qRgb(255, 0, 0)));
        QVERIFY(near(stretched.pixel(363, 5), qRgb(0, 255, 0)));
        QVERIFY(near(stretched.pixel(5, 291), qRgb(0, 0, 255)));
        QVERIFY(near(stretched.pixel(363, 291), qRgb(255, 255, 0)));
        const QImage centre = pictures::loadPicture(path, albumFrame, Fit::OwnSize);
        QCOMPARE(centre.size(), albumFrame);
        QVERIFY(near(centre.pixel(5, 5), qRgb(255, 0, 0)));
        QVERIFY(near(centre.pixel(363, 291), qRgb(255, 255, 0)));
    }

    // Files that once made a decoder of ours write out of bounds, or took
    // seconds and hundreds of megabytes (every seed of the JPEG fuzzer):
    // each shows something or gives the album's message, never more.
    void hostileJpegs()
    {
        const QDir corpus(QStringLiteral(HLR_FUZZ_CORPUS_DIR "/fuzz_jpeg"));
        const QStringList files = corpus.entryList(QDir::Files);
        QVERIFY(files.contains(QStringLiteral("huffman-table-overflow.jpg")));
        for (const QString& name : files) {
            const QString path = corpus.filePath(name);
            for (const Fit fit : { Fit::OwnSize, Fit::Stretch }) {
                for (const QSize frame : { albumFrame, QSize(7, 5) }) {
                    try {
                        const QImage image = pictures::loadPicture(path, frame, fit);
                        QVERIFY2(!image.isNull(), qPrintable(name));
                    } catch (const pictures::PictureError& error) {
                        QVERIFY2(error.message().startsWith(QStringLiteral("JPEG error #"))
                                || error.message().contains(QStringLiteral("demasiado")),
                            qPrintable(name + QStringLiteral(": ") + error.message()));
                    }
                }
            }
        }
    }

    // A decode no longer wanted stops, and its half is never kept.
    void cancelledJpegDecode()
    {
        const QByteArray data = fixtures::jpeg(fixtures::card(QSize(800, 600)));
        std::atomic<bool> cancelled { true };
        try {
            pictures::decodeJpeg(
                data, { albumFrame, Fit::OwnSize, pictures::BitmapTransparency::Opaque, &cancelled });
            QFAIL("a cancelled decode went on");
        } catch (const pictures::DecodeError& error) {
            QCOMPARE(int(error.failure), int(pictures::Failure::Cancelled));
        }
    }

    // Pictures read ahead are then shown from the cache; a newer list replaces
    // the older, and failures wait to be shown.
    void readAheadFillsTheCache()
    {
        pictures::setRacyMilliseconds(0);
        pictures::clearCache();
        const QString next
            = write(QStringLiteral("siguiente.jpg"), fixtures::jpeg(fixtures::photograph(QSize(1600, 1200))));
        const QString previous
            = write(QStringLiteral("anterior.bmp"), fixtures::bitmap(fixtures::card(QSize(400, 300))));
        const QString missing = m_dir.filePath(QStringLiteral("no-esta.jpg"));
        using pictures::BitmapTransparency;
        pictures::readAhead({ { missing, albumFrame, Fit::Stretch, BitmapTransparency::BottomLeftPixel },
            { next, albumFrame, Fit::Stretch, BitmapTransparency::BottomLeftPixel },
            { previous, albumFrame, Fit::OwnSize, BitmapTransparency::BottomLeftPixel } });
        pictures::waitForReadAhead();
        const int before = pictures::decodeCount();
        const QImage shown
            = pictures::loadPicture(next, albumFrame, Fit::Stretch, BitmapTransparency::BottomLeftPixel);
        QCOMPARE(shown.size(), albumFrame);
        QCOMPARE(
            pictures::loadPicture(previous, albumFrame, Fit::OwnSize, BitmapTransparency::BottomLeftPixel)
                .size(),
            QSize(369, 297));
        QCOMPARE(pictures::decodeCount(), before);
        expectError([&] { pictures::loadPicture(missing, albumFrame, Fit::Stretch); },
            QStringLiteral("Cannot open file \"%1\". %2").arg(missing, systemReason(ENOENT)));

        // The list moved on before the first was done: what it wants now is
        // ready, and whatever was abandoned shows whole when asked for.
        pictures::clearCache();
        pictures::readAhead({ { next, albumFrame, Fit::OwnSize, BitmapTransparency::Opaque },
            { next, QSize(200, 100), Fit::Stretch, BitmapTransparency::Opaque } });
        pictures::readAhead({ { previous, albumFrame, Fit::Stretch, BitmapTransparency::Opaque } });
        pictures::waitForReadAhead();
        const int after = pictures::decodeCount();
        QCOMPARE(pictures::loadPicture(previous, albumFrame, Fit::Stretch).size(), albumFrame);
        QCOMPARE(pictures::decodeCount(), after);
        const QImage own = pictures::loadPicture(next, albumFrame, Fit::OwnSize);
        const QImage reference
            = fixtures::libjpegDecode(fixtures::jpeg(fixtures::photograph(QSize(1600, 1200))));
        QCOMPARE(
            largestDifference(own, reference.copy(pictures::visiblePart(reference.size(), albumFrame))), 0);
    }

    // A metafile's colours are its own, also those no colour name has, and a
    // solid brush fills opaquely in either background mode.
    void metafileColoursAreExact_data()
    {
        QTest::addColumn<bool>("transparentMode");
        QTest::newRow("opaque background mode") << false;
        QTest::newRow("transparent background mode") << true;
    }
    void metafileColoursAreExact()
    {
        QFETCH(bool, transparentMode);
        const QList<QColor> colours { QColor(255, 255, 160), QColor(220, 30, 30), QColor(0, 0, 200),
            QColor(123, 45, 67), QColor(1, 254, 3), QColor(250, 250, 250) };
        const QString path = write(QStringLiteral("franjas.wmf"),
            fixtures::windowsMetafile(QSize(120, 20), colours, transparentMode));
        for (const Fit fit : { Fit::OwnSize, Fit::Stretch }) {
            const QImage image = pictures::loadPicture(path, QSize(120, 20), fit);
            QCOMPARE(image.size(), QSize(120, 20));
            for (int i = 0; i < colours.size(); ++i)
                QCOMPARE(image.pixelColor(i * 20 + 10, 10), colours[i]);
        }
    }

    // The bottom-left pixel's colour is judged on the whole bitmap, also when
    // only its centre is shown or it is stretched.
    void bitmapTransparency()
    {
        const QString path
            = write(QStringLiteral("clave.bmp"), fixtures::bitmap(fixtures::card(QSize(200, 100))));
        for (const Fit fit : { Fit::OwnSize, Fit::Stretch }) {
            const QImage opaque = pictures::loadPicture(path, QSize(100, 50), fit);
            QCOMPARE(qAlpha(opaque.pixel(2, 47)), 255);
            const QImage keyed = pictures::loadPicture(
                path, QSize(100, 50), fit, pictures::BitmapTransparency::BottomLeftPixel);
            QCOMPARE(qAlpha(keyed.pixel(2, 47)), 0); // blue quarter
            QCOMPARE(qAlpha(keyed.pixel(2, 2)), 255); // red quarter
            QVERIFY(near(keyed.pixel(2, 2), qRgb(255, 0, 0)));
        }
    }

    // Of several icon images the one nearest 32 × 32 is shown, the richest in
    // colours among equals.
    void iconImageChosen()
    {
        QImage small(16, 16, QImage::Format_ARGB32);
        small.fill(Qt::red);
        QImage standard(32, 32, QImage::Format_ARGB32);
        standard.fill(Qt::green);
        QImage large(48, 48, QImage::Format_ARGB32);
        large.fill(Qt::blue);
        const QString path = write(QStringLiteral("varios.ico"), fixtures::icon({ small, large, standard }));
        QCOMPARE(pictures::pictureSize(path), QSize(32, 32));
        const QImage shown = pictures::loadPicture(path, albumFrame, Fit::OwnSize);
        QCOMPARE(shown.size(), QSize(32, 32));
        QVERIFY(near(shown.pixel(16, 16), qRgb(0, 255, 0)));
    }

    void messages_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("message");
        const QImage card = fixtures::card(QSize(40, 30));
        QByteArray png;
        {
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            card.save(&buffer, "PNG");
        }
        QByteArray truncatedBitmap = fixtures::bitmap(card).left(40);
        QByteArray badIcon = fixtures::icon({ card });
        badIcon[2] = 7; // neither icon nor cursor
        QByteArray iconPastEnd = fixtures::icon({ card });
        iconPastEnd.chop(200);
        QByteArray badEmf = fixtures::enhancedMetafile(QSize(40, 30), Qt::red);
        badEmf[40] = 'X'; // signature
        const QByteArray badWmf = QByteArray(64, '\x7f');
        QByteArray emfRecordPastEnd = fixtures::enhancedMetafile(QSize(40, 30), Qt::red);
        qToLittleEndian<quint32>(4096, emfRecordPastEnd.data() + 88 + 4); // the first record after the header
        QByteArray emfWithoutEnd = fixtures::enhancedMetafile(QSize(40, 30), Qt::red);
        emfWithoutEnd.chop(20);

        QTest::newRow("unknown extension") << "foto.png" << png << "Unknown picture file extension (.png)";
        QTest::newRow("extension keeps its case")
            << "FOTO.GIF" << png << "Unknown picture file extension (.GIF)";
        QTest::newRow("no extension") << "foto" << png << "Unknown picture file extension (.)";
        QTest::newRow("png named bmp") << "foto.bmp" << png << "Bitmap image is not valid";
        QTest::newRow("truncated bitmap") << "corta.bmp" << truncatedBitmap << "Bitmap image is not valid";
        QByteArray claimsMore = fixtures::bitmap(card);
        qToLittleEndian<qint32>(9000, claimsMore.data() + 18); // 9000 × 30 pixels in a 5 kB file
        QTest::newRow("bitmap claiming more than it holds")
            << "falsa.bmp" << claimsMore << "Bitmap image is not valid";
        QTest::newRow("empty bitmap") << "vacia.bmp" << QByteArray() << "Bitmap image is not valid";
        QTest::newRow("jpeg without its start")
            << "foto.jpg" << fixtures::jpeg(card).mid(2) << QStringLiteral("JPEG error #%1").arg(JERR_NO_SOI);
        QTest::newRow("empty jpeg") << "vacia.jpeg" << QByteArray()
                                    << QStringLiteral("JPEG error #%1").arg(JERR_INPUT_EMPTY);
        QTest::newRow("icon of a wrong type") << "mal.ico" << badIcon << "Icon image is not valid";
        QTest::newRow("icon image past the end") << "corto.ico" << iconPastEnd << "Icon image is not valid";
        QTest::newRow("emf without signature") << "mal.emf" << badEmf << "Metafile is not valid";
        QTest::newRow("emf record past the end")
            << "larga.emf" << emfRecordPastEnd << "Metafile is not valid";
        QTest::newRow("emf without its end record")
            << "sinfin.emf" << emfWithoutEnd << "Metafile is not valid";
        QTest::newRow("wmf of noise") << "mal.wmf" << badWmf << "Metafile is not valid";
        QTest::newRow("empty wmf") << "vacio.wmf" << QByteArray() << "Metafile is not valid";
    }
    void messages()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, data);
        QFETCH(QString, message);
        const QString path = write(name, data);
        expectError([&] { pictures::loadPicture(path, albumFrame, Fit::OwnSize); }, message);
        expectError([&] { pictures::pictureSize(path); }, message);
    }

    // A truncated JPEG shows what it holds: libjpeg only warns.
    void truncatedJpegShowsWhatItHas()
    {
        const QByteArray data = fixtures::jpeg(fixtures::card(QSize(200, 100)));
        const QString path = write(QStringLiteral("corta.jpg"), data.left(data.size() * 2 / 3));
        const QImage shown = pictures::loadPicture(path, albumFrame, Fit::OwnSize);
        QCOMPARE(shown.size(), QSize(200, 100));
        QVERIFY(near(shown.pixel(4, 4), qRgb(255, 0, 0)));
    }

    void filesThatCannotBeOpened()
    {
        const QString missing = m_dir.filePath(QStringLiteral("no-existe.jpg"));
        expectError([&] { pictures::loadPicture(missing, albumFrame, Fit::OwnSize); },
            QStringLiteral("Cannot open file \"%1\". %2").arg(missing, systemReason(ENOENT)));
        // The extension is judged before the file is looked for.
        expectError([&] { pictures::loadPicture(m_dir.filePath("no-existe.txt"), albumFrame, Fit::OwnSize); },
            QStringLiteral("Unknown picture file extension (.txt)"));
        const QString missingMetafile = m_dir.filePath(QStringLiteral("no-existe.emf"));
        expectError([&] { pictures::loadPicture(missingMetafile, albumFrame, Fit::Stretch); },
            QStringLiteral("Cannot open file \"%1\". %2").arg(missingMetafile, systemReason(ENOENT)));

        const QString folder = m_dir.filePath(QStringLiteral("carpeta.bmp"));
        QVERIFY(QDir().mkpath(folder));
        expectError([&] { pictures::loadPicture(folder, albumFrame, Fit::OwnSize); },
            QStringLiteral("Cannot open file \"%1\". %2").arg(folder, systemReason(EISDIR)));

        // A FIFO named like a picture must not hold the program.
        const QString fifo = m_dir.filePath(QStringLiteral("tuberia.jpg"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        expectError([&] { pictures::loadPicture(fifo, albumFrame, Fit::OwnSize); },
            QStringLiteral("Cannot open file \"%1\". No es un fichero normal").arg(fifo));
    }

    // Over the caps: a clear message, and nothing decoded or read in full.
    void caps_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("data");
        QByteArray wideBitmap = fixtures::bitmap(fixtures::card(QSize(4, 4)));
        qToLittleEndian<qint32>(70000, wideBitmap.data() + 18);
        QByteArray hugeBitmap = fixtures::bitmap(fixtures::card(QSize(4, 4)));
        qToLittleEndian<qint32>(20000, hugeBitmap.data() + 18);
        qToLittleEndian<qint32>(20000, hugeBitmap.data() + 22);
        QTest::newRow("bitmap too wide") << "ancha.bmp" << wideBitmap;
        QTest::newRow("bitmap of 400 megapixels") << "enorme.bmp" << hugeBitmap;
        QTest::newRow("jpeg of 4 gigapixels") << "enorme.jpg" << jpegClaiming(65000, 65000);
        // Even an eighth of it is more than one picture may decode.
        QTest::newRow("jpeg of 1.2 gigapixels") << "grande.jpg" << jpegClaiming(40000, 30000);
        // Decoded whole, as every progressive file is: the whole picture's cap.
        QTest::newRow("progressive jpeg of 120 megapixels")
            << "progresiva.jpg" << jpegClaiming(12000, 10000, true);
        QTest::newRow("emf of a kilometre")
            << "enorme.emf"
            << fixtures::enhancedMetafile(QSize(40, 30), Qt::red).replace(32, 4, "\x00\xe1\xf5\x05", 4);
    }
    void caps()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, data);
        const QString path = write(name, data);
        const QString message
            = QStringLiteral("La imagen \"%1\" es demasiado grande para mostrarla").arg(path);
        expectError([&] { pictures::loadPicture(path, albumFrame, Fit::Stretch); }, message);
        expectError([&] { pictures::pictureSize(path); }, message);
    }

    void fileSizeCap()
    {
        const QString path = m_dir.filePath(QStringLiteral("gigante.bmp"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(pictures::PictureLimits::maxFileBytes + 1)); // sparse: nothing written
        file.close();
        expectError([&] { pictures::loadPicture(path, albumFrame, Fit::OwnSize); },
            QStringLiteral("La imagen \"%1\" es demasiado grande para mostrarla").arg(path));
    }

    // A progressive JPEG of more scans than any encoder writes.
    void jpegScanCap()
    {
        QByteArray data = fixtures::jpeg(fixtures::card(QSize(16, 16)), 90, true);
        const qsizetype sos = data.indexOf("\xff\xda");
        const qsizetype eoi = data.lastIndexOf("\xff\xd9");
        QVERIFY(sos > 0 && eoi > sos);
        // The first scan is DC; repeating a later AC refinement-free scan
        // stays a decodable file with ever more scans.
        const qsizetype second = data.indexOf("\xff\xda", sos + 2);
        const qsizetype third = data.indexOf("\xff\xda", second + 2);
        QVERIFY(second > 0 && third > second);
        const QByteArray scan = data.mid(second, third - second);
        QByteArray many = data.left(third);
        for (int i = 0; i < pictures::PictureLimits::maxJpegScans + 10; ++i)
            many += scan;
        many += data.mid(third);
        const QString path = write(QStringLiteral("escaneos.jpg"), many);
        expectError([&] { pictures::loadPicture(path, albumFrame, Fit::Stretch); },
            QStringLiteral("La imagen \"%1\" es demasiado compleja para mostrarla").arg(path));
    }

    void frameOutOfRange()
    {
        const QString path = write(QStringLiteral("foto.bmp"), fixtures::bitmap(fixtures::card(QSize(4, 4))));
        QVERIFY_THROWS_EXCEPTION(
            std::invalid_argument, pictures::loadPicture(path, QSize(0, 10), Fit::Stretch));
        QVERIFY_THROWS_EXCEPTION(
            std::invalid_argument, pictures::loadPicture(path, QSize(5000, 10), Fit::Stretch));
    }

    // Whatever the metafile helper does, the program gets "Metafile is not
    // valid" in good time and goes on.
    void metafileHelperFailures_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QString>("message");
        QTest::newRow("crashes") << QByteArray("kill -SEGV $$\n") << "Metafile is not valid";
        QTest::newRow("hangs") << QByteArray("exec sleep 30\n") << "Metafile is not valid";
        QTest::newRow("floods its output") << QByteArray("exec cat /dev/zero\n") << "Metafile is not valid";
        QTest::newRow("talks nonsense")
            << QByteArray("printf 'HLRM\\001\\000\\000\\000'\n") << "Metafile is not valid";
        QTest::newRow("claims a larger image") << QByteArray(
            "printf 'HLRM\\001\\000\\000\\000\\001\\000\\000\\000\\377\\177\\000\\000\\001\\000\\000\\000'\n")
                                               << "Metafile is not valid";
    }
    void metafileHelperFailures()
    {
        QFETCH(QByteArray, script);
        QFETCH(QString, message);
        const QString helper = write(QStringLiteral("helper.sh"), "#!/bin/sh\n" + script);
        QFile::setPermissions(helper, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        pictures::setMetafileHelper(helper);
        const QString path
            = write(QStringLiteral("dibujo.wmf"), fixtures::windowsMetafile(QSize(40, 30), Qt::red));
        QElapsedTimer timer;
        timer.start();
        expectError([&] { pictures::loadPicture(path, albumFrame, Fit::OwnSize); }, message);
        QVERIFY(timer.elapsed() < pictures::PictureLimits::metafileMilliseconds + 3000);
    }

    void metafileHelperMissing()
    {
        const QString helper = m_dir.filePath(QStringLiteral("no-hay-ayudante"));
        pictures::setMetafileHelper(helper);
        const QString path
            = write(QStringLiteral("dibujo.emf"), fixtures::enhancedMetafile(QSize(40, 30), Qt::red));
        expectError([&] { pictures::loadPicture(path, albumFrame, Fit::OwnSize); },
            QStringLiteral("No se encuentra el programa auxiliar \"%1\"").arg(helper));
    }

    // The helper beside the program in the build tree, in libexec/huellario
    // of an installation of any prefix.
    void metafileHelperFoundInstalled()
    {
        QTemporaryDir prefix;
        QVERIFY(prefix.isValid());
        const QDir root(prefix.path());
        QVERIFY(root.mkpath(QStringLiteral("bin")) && root.mkpath(QStringLiteral("libexec/huellario")));
        const QString bin = root.filePath(QStringLiteral("bin"));
        const QString beside = root.filePath(QStringLiteral("bin/huellario-metafile"));
        QCOMPARE(pictures::metafileHelperIn(bin), beside);
        const QString installed = root.filePath(QStringLiteral("libexec/huellario/huellario-metafile"));
        QVERIFY(QFile(installed).open(QIODevice::WriteOnly));
        QCOMPARE(pictures::metafileHelperIn(bin), installed);
        QVERIFY(QFile(beside).open(QIODevice::WriteOnly));
        QCOMPARE(pictures::metafileHelperIn(bin), beside);
    }

    // The cache of recent results: a picture asked for again is not decoded
    // again, whatever path leads to the same file. "recent" files are
    // checked by their contents, the others by their times alone.
    void cacheServesTheSamePictureAgain_data()
    {
        QTest::addColumn<int>("racyMilliseconds");
        QTest::newRow("recently written") << pictures::defaultRacyMilliseconds;
        QTest::newRow("older") << 0;
    }
    void cacheServesTheSamePictureAgain()
    {
        QFETCH(int, racyMilliseconds);
        pictures::setRacyMilliseconds(racyMilliseconds);
        pictures::clearCache();
        const QString path
            = write(QStringLiteral("repetida.jpg"), fixtures::jpeg(fixtures::card(QSize(800, 600))));
        const QString link = m_dir.filePath(QStringLiteral("enlace.jpg"));
        QFile::remove(link);
        QVERIFY(QFile::link(path, link));
        const int before = pictures::decodeCount();

        const QImage first = pictures::loadPicture(path, albumFrame, Fit::Stretch);
        QCOMPARE(pictures::decodeCount(), before + 1);
        QCOMPARE(pictures::loadPicture(path, albumFrame, Fit::Stretch), first);
        QCOMPARE(pictures::loadPicture(link, albumFrame, Fit::Stretch), first);
        QCOMPARE(pictures::decodeCount(), before + 1);

        QCOMPARE(pictures::pictureSize(path), QSize(800, 600));
        QCOMPARE(pictures::pictureSize(link), QSize(800, 600));
        QCOMPARE(pictures::decodeCount(), before + 2);
    }

    // Each frame, fit and transparency is a picture of its own.
    void cacheKeepsEachRequestApart()
    {
        pictures::clearCache();
        QImage card = fixtures::card(QSize(200, 100));
        card.setPixel(0, 99, qRgb(1, 2, 3));
        const QString path = write(QStringLiteral("peticiones.bmp"), fixtures::bitmap(card));
        const int before = pictures::decodeCount();
        const auto load = [&path](QSize frame, Fit fit, pictures::BitmapTransparency transparency) {
            return pictures::loadPicture(path, frame, fit, transparency);
        };
        using pictures::BitmapTransparency;
        for (int round = 0; round < 2; ++round) {
            QCOMPARE(load(albumFrame, Fit::Stretch, BitmapTransparency::Opaque).size(), albumFrame);
            QCOMPARE(load(QSize(100, 80), Fit::Stretch, BitmapTransparency::Opaque).size(), QSize(100, 80));
            QCOMPARE(load(QSize(100, 80), Fit::OwnSize, BitmapTransparency::Opaque).size(), QSize(100, 80));
            QCOMPARE(load(albumFrame, Fit::OwnSize, BitmapTransparency::Opaque).size(), QSize(200, 100));
            QCOMPARE(
                qAlpha(load(albumFrame, Fit::OwnSize, BitmapTransparency::BottomLeftPixel).pixel(0, 99)), 0);
            QCOMPARE(qAlpha(load(albumFrame, Fit::OwnSize, BitmapTransparency::Opaque).pixel(0, 99)), 255);
            QCOMPARE(pictures::decodeCount(), before + 5);
        }
    }

    // A file replaced after it was shown shows its new contents, however it
    // was replaced.
    void cacheSeesAReplacedFile_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("racyMilliseconds");
        for (const QString& how : { QStringLiteral("rewritten, other size"),
                 QStringLiteral("rewritten, same size, times set back"), QStringLiteral("renamed over") }) {
            QTest::newRow(qPrintable(how + QStringLiteral(", recently written")))
                << how << pictures::defaultRacyMilliseconds;
            QTest::newRow(qPrintable(how + QStringLiteral(", older"))) << how << 0;
        }
    }
    void cacheSeesAReplacedFile()
    {
        QFETCH(QString, how);
        QFETCH(int, racyMilliseconds);
        pictures::setRacyMilliseconds(racyMilliseconds);
        const auto filled = [](QSize size, QRgb colour) {
            QImage image(size, QImage::Format_RGB32);
            image.fill(colour);
            return fixtures::bitmap(image);
        };
        const QString path = write(QStringLiteral("cambiante.bmp"), filled(QSize(60, 40), qRgb(255, 0, 0)));
        QCOMPARE(pictures::loadPicture(path, albumFrame, Fit::Stretch).pixel(5, 5), qRgb(255, 0, 0));
        struct stat old { };
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &old), 0);
        // Past the step of the file system's clock, so that times can tell
        // the versions apart where the contents are not looked at.
        QTest::qSleep(30);

        if (how.startsWith(QStringLiteral("rewritten, other size"))) {
            write(QStringLiteral("cambiante.bmp"), filled(QSize(61, 40), qRgb(0, 0, 255)));
        } else if (how.startsWith(QStringLiteral("rewritten, same size"))) {
            write(QStringLiteral("cambiante.bmp"), filled(QSize(60, 40), qRgb(0, 0, 255)));
            const timespec times[2] = { old.st_atim, old.st_mtim };
            QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
            struct stat now { };
            QCOMPARE(::stat(QFile::encodeName(path).constData(), &now), 0);
            QCOMPARE(now.st_size, old.st_size);
            QCOMPARE(now.st_ino, old.st_ino);
            QCOMPARE(now.st_mtim.tv_nsec, old.st_mtim.tv_nsec);
        } else {
            const QString other = write(QStringLiteral("otra.bmp"), filled(QSize(60, 40), qRgb(0, 0, 255)));
            QCOMPARE(::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData()), 0);
        }
        QCOMPARE(pictures::loadPicture(path, albumFrame, Fit::Stretch).pixel(5, 5), qRgb(0, 0, 255));
    }

    // A file removed after it was shown is missing, as without the cache;
    // failures are decoded again each time.
    void cacheKeepsNoFailures()
    {
        pictures::setRacyMilliseconds(0);
        const QString path
            = write(QStringLiteral("borrada.jpg"), fixtures::jpeg(fixtures::card(QSize(64, 48))));
        QCOMPARE(pictures::loadPicture(path, albumFrame, Fit::OwnSize).size(), QSize(64, 48));
        QVERIFY(QFile::remove(path));
        const QString missing = QStringLiteral("Cannot open file \"%1\". %2").arg(path, systemReason(ENOENT));
        expectError([&] { pictures::loadPicture(path, albumFrame, Fit::OwnSize); }, missing);
        expectError([&] { pictures::pictureSize(path); }, missing);

        const QString broken = write(QStringLiteral("rota.jpg"), QByteArray("\xff\xd8\xff\xe0 nada", 9));
        const int before = pictures::decodeCount();
        for (int i = 0; i < 2; ++i)
            QVERIFY_THROWS_EXCEPTION(
                pictures::PictureError, pictures::loadPicture(broken, albumFrame, Fit::OwnSize));
        QCOMPARE(pictures::decodeCount(), before + 2);
    }

    // The oldest results go first once the entries or bytes are over their
    // caps; a result larger than the byte cap alone is not kept.
    void cacheEvictsTheOldest()
    {
        pictures::clearCache();
        const QString path
            = write(QStringLiteral("muchas.jpg"), fixtures::jpeg(fixtures::card(QSize(64, 48))));
        int expected = pictures::decodeCount();
        const auto load = [&](QSize frame, bool decoded) {
            pictures::loadPicture(path, frame, Fit::Stretch);
            expected += decoded ? 1 : 0;
            QCOMPARE(pictures::decodeCount(), expected);
        };

        // Two results of 9 MB and 7.84 MB are over 16 MiB together.
        load(QSize(1500, 1500), true);
        load(QSize(1400, 1400), true);
        load(QSize(1400, 1400), false);
        load(QSize(1500, 1500), true);

        pictures::clearCache();
        for (int i = 0; i < pictures::cacheEntries; ++i)
            load(QSize(10 + i, 10), true);
        load(QSize(10, 10), false); // now the most recently used
        load(QSize(100, 10), true); // pushes out 11 × 10
        load(QSize(10, 10), false);
        load(QSize(11, 10), true);

        // 64 MiB is never kept, and pushes nothing out.
        load(QSize(4096, 4096), true);
        load(QSize(4096, 4096), true);
        load(QSize(11, 10), false);
    }

    // A metafile's result is kept once its file is old enough to trust its
    // times, since its contents are not read here.
    void cacheKeepsOlderMetafiles_data()
    {
        QTest::addColumn<int>("racyMilliseconds");
        QTest::addColumn<int>("decodes");
        QTest::newRow("recently written") << pictures::defaultRacyMilliseconds << 2;
        QTest::newRow("older") << 0 << 1;
    }
    void cacheKeepsOlderMetafiles()
    {
        QFETCH(int, racyMilliseconds);
        QFETCH(int, decodes);
        pictures::setRacyMilliseconds(racyMilliseconds);
        const QString path
            = write(QStringLiteral("guardado.wmf"), fixtures::windowsMetafile(QSize(40, 30), Qt::red));
        const int before = pictures::decodeCount();
        for (int i = 0; i < 2; ++i)
            QCOMPARE(pictures::loadPicture(path, albumFrame, Fit::OwnSize).size(), QSize(40, 30));
        QCOMPARE(pictures::decodeCount(), before + decodes);
    }

    // The error reaches the application's handler with its exact text.
    void shownByTheErrorHandler()
    {
        QStringList shown;
        platform::setMessageHook(
            [&shown](const QString&, const QString& text, platform::MessageIcon) { shown.append(text); });
        const QString missing = m_dir.filePath(QStringLiteral("perdida.bmp"));
        QPushButton button;
        connect(&button, &QPushButton::clicked, &button,
            platform::guard([&] { pictures::loadPicture(missing, albumFrame, Fit::OwnSize); }));
        QTest::mouseClick(&button, Qt::LeftButton);
        platform::setMessageHook({});
        QCOMPARE(shown,
            QStringList {
                QStringLiteral("Cannot open file \"%1\". %2.").arg(missing, systemReason(ENOENT)) });
    }

private:
    QString write(const QString& name, const QByteArray& data)
    {
        QString path = m_dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    template <typename Action> void expectError(Action action, const QString& message)
    {
        try {
            action();
            QFAIL(qPrintable("no error, expected: " + message));
        } catch (const pictures::PictureError& error) {
            QCOMPARE(error.message(), message);
        }
    }

    // A baseline (or progressive) JPEG header claiming the given size, with
    // no picture data.
    static QByteArray jpegClaiming(int width, int height, bool progressive = false)
    {
        QByteArray data = fixtures::jpeg(fixtures::card(QSize(16, 16)), 90, progressive);
        const qsizetype sof = data.indexOf(progressive ? "\xff\xc2" : "\xff\xc0");
        qToBigEndian<quint16>(quint16(height), data.data() + sof + 5);
        qToBigEndian<quint16>(quint16(width), data.data() + sof + 7);
        return data;
    }

    QTemporaryDir m_dir;
};

HLR_TEST_MAIN(TstPicture, ApplicationOnly)

#include "tst_loader.moc"
