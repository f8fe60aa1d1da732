// The desktop shell hook: the fake records every text; the real one refuses
// a text that is not a complete address, and opens a local file only when it
// is an existing picture.
#include "platform/Shell.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TstShell : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { platform::setShell(nullptr); }

    void fakeRecordsTexts()
    {
        auto fake = std::make_unique<platform::RecordingShell>();
        auto* recording = fake.get();
        platform::setShell(std::move(fake));
        QVERIFY(platform::shell().openText(QStringLiteral("mailto:clinica@example.org")));
        recording->setAnswer(false);
        QVERIFY(!platform::shell().openText(QStringLiteral("/home/foto.jpg")));
        QCOMPARE(recording->opened(),
            QStringList({ QStringLiteral("mailto:clinica@example.org"), QStringLiteral("/home/foto.jpg") }));
    }

    void realShellRefusesPartialText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("relative name") << QStringLiteral("foto.jpg");
        QTest::newRow("bare host") << QStringLiteral("www.example.org");
        QTest::newRow("a program") << QStringLiteral("/bin/sh");
        QTest::newRow("a program as a file address") << QStringLiteral("file:///bin/sh");
        QTest::newRow("a missing picture") << QStringLiteral("/no/existe/foto.jpg");
        QTest::newRow("a missing picture as a file address") << QStringLiteral("file:///no/existe/foto.jpg");
    }
    void realShellRefusesPartialText()
    {
        QFETCH(QString, text);
        QVERIFY(!platform::shell().openText(text));
    }

    // Only existing regular files with a picture extension are opened, judged
    // also on the file a symbolic link leads to.
    void pictureFileDecision_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("openable");
        for (const char* name : { "foto.bmp", "foto.jpg", "foto.jpeg", "foto.emf", "foto.wmf", "foto.ico",
                 "FOTO.JPG", "Foto.Jpeg", "con espacios y ñ.WMF", "#rara?.ico" })
            QTest::newRow(name) << QString::fromUtf8(name) << true;
        QTest::newRow("script") << "programa.sh" << false;
        QTest::newRow("desktop entry") << "lanzador.desktop" << false;
        QTest::newRow("no extension") << "programa" << false;
        QTest::newRow("picture extension inside the name") << "foto.jpg.sh" << false;
        QTest::newRow("folder named like a picture") << "carpeta.jpg" << false;
        QTest::newRow("missing") << "no-existe.jpg" << false;
        QTest::newRow("link to a script") << "enlace.jpg" << false;
        QTest::newRow("link to a picture") << "enlace-foto.bmp" << true;
    }
    void pictureFileDecision()
    {
        QFETCH(QString, name);
        QFETCH(bool, openable);
        QTemporaryDir dir;
        for (const char* file : { "foto.bmp", "foto.jpg", "foto.jpeg", "foto.emf", "foto.wmf", "foto.ico",
                 "FOTO.JPG", "Foto.Jpeg", "con espacios y ñ.WMF", "#rara?.ico", "programa.sh",
                 "lanzador.desktop", "programa", "foto.jpg.sh" }) {
            QFile created(dir.filePath(QString::fromUtf8(file)));
            QVERIFY(created.open(QIODevice::WriteOnly));
        }
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("carpeta.jpg")));
        QVERIFY(QFile::link(
            dir.filePath(QStringLiteral("programa.sh")), dir.filePath(QStringLiteral("enlace.jpg"))));
        QVERIFY(QFile::link(
            dir.filePath(QStringLiteral("foto.jpg")), dir.filePath(QStringLiteral("enlace-foto.bmp"))));
        QCOMPARE(platform::isOpenablePictureFile(dir.filePath(name)), openable);
        if (!openable) // the real shell refuses it without asking the desktop
            QVERIFY(!platform::shell().openText(dir.filePath(name)));
    }

    void relativePictureRefused() { QVERIFY(!platform::isOpenablePictureFile(QStringLiteral("foto.jpg"))); }
};

QTEST_MAIN(TstShell)
#include "tst_shell.moc"
