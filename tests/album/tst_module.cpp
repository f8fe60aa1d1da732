// The picture module as the program uses it: this process links the album
// but not the decoders, and exports for the module what the program exports,
// so a picture is decoded by the loaded module as in the program. A missing
// module is a clear error, and the program does not need libjpeg to start.
#include "album/PictureLoaders.h"
#include "engine/EngineError.h"
#include "support/PictureFixtures.h"
#include "support/ProgramLibraries.h"
#include "support/TestPaths.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TstAlbumModule : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString& name, const QByteArray& bytes)
    {
        QString path = m_dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void theProgramStartsWithoutLibjpeg()
    {
        const QStringList needed = testsupport::neededLibraries(QStringLiteral(HLR_BIN_DIR "/huellario"));
        QVERIFY2(needed.contains(QLatin1String("libQt6Widgets.so.6")), qPrintable(needed.join(' ')));
        QVERIFY2(needed.filter(QLatin1String("libjpeg")).isEmpty(), qPrintable(needed.join(' ')));
    }

    void aMissingModuleIsAClearErrorAndReadingAheadIsQuiet()
    {
        const QString missing = m_dir.filePath("falta/huellario-imagenes.so");
        album::setPicturesModule(missing);
        album::readAhead({ { m_dir.filePath("x.bmp"), QSize(10, 10) } });
        try {
            album::loadPicture(m_dir.filePath("x.bmp"), QSize(10, 10), pictures::Fit::OwnSize,
                pictures::BitmapTransparency::Opaque);
            QFAIL("no error");
        } catch (const engine::EngineError& error) {
            QCOMPARE(error.message(),
                QStringLiteral(
                    "No se pueden mostrar las fotografías: falta el módulo \"%1\". Vuelva a instalar "
                    "Huellario.")
                    .arg(missing));
        }
        album::setPicturesModule({});
    }

    void theModuleDecodesAJpegAndReportsABadOne()
    {
        const QImage card = testsupport::picturefiles::card(QSize(64, 48));
        const QString good = write("foto.jpg", testsupport::picturefiles::jpeg(card));
        const QImage shown = album::loadPicture(
            good, QSize(64, 48), pictures::Fit::Stretch, pictures::BitmapTransparency::Opaque);
        QCOMPARE(shown.size(), QSize(64, 48));
        // The picture's own colours, not a blank image: near libjpeg's own decode on average.
        const QImage reference
            = testsupport::picturefiles::libjpegDecode(testsupport::picturefiles::jpeg(card))
                  .convertToFormat(QImage::Format_RGB32);
        const QImage got = shown.convertToFormat(QImage::Format_RGB32);
        qint64 difference = 0;
        for (int y = 0; y < got.height(); ++y)
            for (int x = 0; x < got.width(); ++x) {
                const QRgb a = got.pixel(x, y), b = reference.pixel(x, y);
                difference
                    += qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b));
            }
        QVERIFY2(difference < qint64(64) * 48 * 6, qPrintable(QString::number(difference)));
        // The module's own error type reaches the album as the engine's.
        const QString bad = write("rota.jpg", "no es un JPEG");
        try {
            album::loadPicture(
                bad, QSize(64, 48), pictures::Fit::Stretch, pictures::BitmapTransparency::Opaque);
            QFAIL("no error");
        } catch (const engine::EngineError& error) {
            QVERIFY2(error.message().startsWith(QLatin1String("JPEG error #")), qPrintable(error.message()));
        }
    }
};

QTEST_MAIN(TstAlbumModule)
#include "tst_module.moc"
