// Our reading of large baseline JPEGs must give exactly the pixels that
// libjpeg-turbo gives for the same file and the same request, for every kind
// of file it reads, with any number of threads, and for damaged files too
// (where it declines and libjpeg-turbo decides).
#include "platform/JpegScan.h"
#include "platform/PictureDecoders.h"
#include "support/PictureFixtures.h"

#include <QTest>

#include <cstdio>
#include <cstdlib>

using namespace platform;
using namespace platform::pictures;
using testsupport::pictures::cameraJpeg;
using testsupport::pictures::JpegCoding;
using testsupport::pictures::photograph;

namespace {

// libjpeg-turbo's own decode at 1/1 or 1/8, warnings ignored; null if it fails.
QImage reference(const QByteArray& data, int denominator)
{
    return testsupport::pictures::libjpegDecode(data, denominator);
}

// Where two pictures differ by more than `tolerance` in a channel, for a
// readable failure.
QString firstDifference(const QImage& actual, const QImage& expected, int tolerance = 0)
{
    const auto near = [tolerance](QRgb a, QRgb b) {
        return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
            && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
    };
    if (actual.size() != expected.size())
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(actual.width())
            .arg(actual.height())
            .arg(expected.width())
            .arg(expected.height());
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if (!near(actual.pixel(x, y), expected.pixel(x, y)))
                return QStringLiteral("pixel (%1, %2) is %3, expected %4")
                    .arg(x)
                    .arg(y)
                    .arg(actual.pixel(x, y) & RGB_MASK, 6, 16)
                    .arg(expected.pixel(x, y) & RGB_MASK, 6, 16);
    return {};
}

const QSize frame(369, 297);

// The colour of a 4:2:0 picture at an eighth of its size is the mean of each
// quarter of a block, as libjpeg-turbo makes it, rounded on its own way.
constexpr int eighthTolerance = 2;

} // namespace

class TstJpegScan : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { jpegscan::setThreads(0); }

    void sameAsLibjpeg_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("grey");
        QTest::addColumn<int>("lumaH");
        QTest::addColumn<int>("lumaV");
        QTest::addColumn<int>("restarts");
        QTest::addColumn<int>("quality");
        QTest::addColumn<bool>("optimize");
        QTest::addColumn<int>("threads");
        QTest::addColumn<bool>("eighthRead");
        // Sizes not a whole number of MCUs, so the padding blocks count.
        QTest::newRow("4:2:0, one thread")
            << QSize(1203, 907) << false << 2 << 2 << 0 << 90 << false << 1 << true;
        QTest::newRow("4:2:0, two threads")
            << QSize(1203, 907) << false << 2 << 2 << 0 << 90 << false << 2 << true;
        QTest::newRow("4:2:0, four threads")
            << QSize(1203, 907) << false << 2 << 2 << 0 << 95 << false << 4 << true;
        QTest::newRow("4:2:2") << QSize(999, 701) << false << 2 << 1 << 0 << 85 << false << 2 << true;
        QTest::newRow("4:4:4") << QSize(801, 603) << false << 1 << 1 << 0 << 90 << false << 3 << true;
        QTest::newRow("4:1:1") << QSize(1001, 500) << false << 4 << 1 << 0 << 90 << false << 2 << false;
        QTest::newRow("grey") << QSize(1111, 777) << true << 1 << 1 << 0 << 90 << false << 2 << true;
        QTest::newRow("own Huffman tables")
            << QSize(1203, 907) << false << 2 << 2 << 0 << 90 << true << 2 << true;
        QTest::newRow("restart markers")
            << QSize(1203, 907) << false << 2 << 2 << 7 << 90 << false << 1 << true;
        QTest::newRow("restart markers, threads")
            << QSize(1203, 907) << false << 2 << 2 << 5 << 90 << false << 4 << true;
        // Readers start at restart markers; where one stops inside an MCU,
        // the next MCU may begin with a restart it has passed.
        for (const int interval : { 1, 2, 3 })
            for (const int threads : { 3, 4 })
                QTest::newRow(qPrintable(
                    QStringLiteral("restart every %1 MCUs, %2 threads").arg(interval).arg(threads)))
                    << QSize(1203, 907) << false << 2 << 2 << interval << 90 << false << threads << true;
        QTest::newRow("restart every MCU, grey")
            << QSize(640, 480) << true << 1 << 1 << 1 << 80 << false << 2 << true;
        QTest::newRow("16-bit quantisation")
            << QSize(700, 500) << false << 2 << 2 << 0 << 10 << false << 2 << true;
        QTest::newRow("narrower than the frame")
            << QSize(300, 900) << false << 2 << 2 << 0 << 90 << false << 2 << true;
    }
    void sameAsLibjpeg()
    {
        QFETCH(QSize, size);
        QFETCH(bool, grey);
        QFETCH(int, lumaH);
        QFETCH(int, lumaV);
        QFETCH(int, restarts);
        QFETCH(int, quality);
        QFETCH(bool, optimize);
        QFETCH(int, threads);
        QFETCH(bool, eighthRead);
        jpegscan::setThreads(threads);
        const QByteArray data = cameraJpeg(
            photograph(size, quint32(size.width())), { grey, lumaH, lumaV, restarts, quality, optimize });

        const std::optional<QImage> eighth = jpegscan::eighthScale(data);
        QCOMPARE(bool(eighth), eighthRead);
        if (eighth) {
            const QString eighthDifference = firstDifference(*eighth, reference(data, 8), eighthTolerance);
            QVERIFY2(eighthDifference.isEmpty(), qPrintable(eighthDifference));
        }

        // At its own size the frame shows the middle, read through a region.
        const QImage whole = reference(data, 1);
        const QRect shown = visiblePart(size, frame);
        const QImage ownSize = decodeJpeg(data, { frame, Fit::OwnSize, BitmapTransparency::Opaque });
        const QString ownDifference = firstDifference(ownSize, whole.copy(shown));
        QVERIFY2(ownDifference.isEmpty(), qPrintable(ownDifference));
        const std::optional<jpegscan::Region> region = jpegscan::region(data, shown, 16);
        QVERIFY(region);
        QVERIFY(region->pixels.contains(shown));
    }

    // A photograph large enough to be shown stretched from its eighth.
    void stretchedFromTheEighth()
    {
        const QByteArray data = cameraJpeg(photograph(QSize(3000, 2400), 3));
        const QImage expected
            = reference(data, 8).scaled(frame, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        for (const int threads : { 1, 2 }) {
            jpegscan::setThreads(threads);
            const QImage stretched = decodeJpeg(data, { frame, Fit::Stretch, BitmapTransparency::Opaque });
            const QString difference = firstDifference(stretched, expected, eighthTolerance);
            QVERIFY2(difference.isEmpty(), qPrintable(difference));
        }
    }

    // Files it does not read are left to libjpeg-turbo, which shows them as
    // before.
    void declinesWhatItDoesNotRead_data()
    {
        QTest::addColumn<QByteArray>("data");
        const QImage picture = photograph(QSize(800, 600), 5);
        QTest::newRow("progressive") << testsupport::pictures::jpeg(picture, 90, true);
        QTest::newRow("not a JPEG") << QByteArray("BM not at all");
        QTest::newRow("empty") << QByteArray();
    }
    void declinesWhatItDoesNotRead()
    {
        QFETCH(QByteArray, data);
        QVERIFY(!jpegscan::eighthScale(data));
        QVERIFY(!jpegscan::region(data, QRect(10, 10, 100, 100), 16));
    }

    // Damage anywhere: the scan either reads the data exactly as libjpeg-turbo
    // does, or declines so that libjpeg-turbo reads it; a damaged file is shown
    // as libjpeg-turbo shows it, or refused as it refuses it.
    void damagedAsLibjpegShowsIt_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("threads");
        for (const int restarts : { 0, 6 }) {
            const QByteArray good = cameraJpeg(
                photograph(QSize(1203, 907), 11), JpegCoding { false, 2, 2, restarts, 90, false });
            const QString kind = restarts ? QStringLiteral(" (restart markers)") : QString();
            const auto row = [&](const QString& name, QByteArray data) {
                for (const int threads : { 1, 3 })
                    QTest::newRow(qPrintable(name + kind + QStringLiteral(", %1 thread(s)").arg(threads)))
                        << data << threads;
            };
            row(QStringLiteral("cut at 60%"), good.left(good.size() * 6 / 10));
            row(QStringLiteral("cut before the end marker"), good.left(good.size() - 2));
            for (const int percent : { 30, 55, 80 }) {
                QByteArray flipped = good;
                const int at = int(flipped.size() * percent / 100);
                flipped[at] = char(flipped[at] ^ 0x5A);
                if (uchar(flipped[at]) == 0xFF || uchar(flipped[at - 1]) == 0xFF)
                    flipped[at] = char(0x11);
                row(QStringLiteral("byte changed at %1%").arg(percent), flipped);
            }
            QByteArray marker = good;
            marker.insert(marker.size() / 2, QByteArray("\xFF\xD9", 2));
            row(QStringLiteral("end marker in the middle"), marker);
            QByteArray zeros = good;
            zeros.replace(zeros.size() / 3, 4000, QByteArray(4000, '\0'));
            row(QStringLiteral("run of zeros"), zeros);
            if (restarts) {
                const int first = good.indexOf(QByteArray("\xFF\xD3", 2), 700);
                QByteArray renumbered = good;
                renumbered[first + 1] = char(0xD5);
                row(QStringLiteral("restart marker out of order"), renumbered);
                QByteArray removed = good;
                removed.remove(first, 2);
                row(QStringLiteral("restart marker missing"), removed);
            }
        }
    }
    void damagedAsLibjpegShowsIt()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, threads);
        jpegscan::setThreads(threads);
        const std::optional<QImage> eighth = jpegscan::eighthScale(data);
        if (eighth) {
            const QString difference = firstDifference(*eighth, reference(data, 8), eighthTolerance);
            QVERIFY2(difference.isEmpty(), qPrintable(difference));
        }
        const QImage whole = reference(data, 1);
        const QSize own = whole.isNull() ? QSize() : whole.size();
        try {
            const QImage ownSize = decodeJpeg(data, { frame, Fit::OwnSize, BitmapTransparency::Opaque });
            QVERIFY2(!whole.isNull(), "shown although libjpeg refuses it");
            const QString difference = firstDifference(ownSize, whole.copy(visiblePart(own, frame)));
            QVERIFY2(difference.isEmpty(), qPrintable(difference));
        } catch (const DecodeError&) {
            QVERIFY2(whole.isNull(), "refused although libjpeg shows it");
        }
    }
};

QTEST_MAIN(TstJpegScan)
#include "tst_jpegscan.moc"
