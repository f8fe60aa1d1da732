// The desktop shell hook: the fake records every text and gives the answer
// it is told; the real one refuses a text that is not a complete address or
// a path that names no file, with the codes windows show, and opens a local
// file only when it is an existing picture.
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
        QCOMPARE(
            platform::shell().openText(QStringLiteral("mailto:clinica@example.org")), platform::kShellOpened);
        recording->setAnswer(platform::kShellNoHandler);
        QCOMPARE(platform::shell().openText(QStringLiteral("/home/foto.jpg")), platform::kShellNoHandler);
        QCOMPARE(recording->opened(),
            QStringList({ QStringLiteral("mailto:clinica@example.org"), QStringLiteral("/home/foto.jpg") }));
    }

    void realShellRefusesPartialText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::newRow("empty") << QString() << platform::kShellNoHandler;
        QTest::newRow("relative name") << QStringLiteral("foto.jpg") << platform::kShellNoHandler;
        QTest::newRow("bare host") << QStringLiteral("www.example.org") << platform::kShellNoHandler;
        QTest::newRow("missing file")
            << QStringLiteral("/no/existe/foto.jpg") << platform::kShellFileNotFound;
        QTest::newRow("a program") << QStringLiteral("/bin/sh") << platform::kShellNoHandler;
        QTest::newRow("a program as a file address")
            << QStringLiteral("file:///bin/sh") << platform::kShellNoHandler;
        QTest::newRow("a missing picture as a file address")
            << QStringLiteral("file:///no/existe/foto.jpg") << platform::kShellFileNotFound;
    }
    void realShellRefusesPartialText()
    {
        QFETCH(QString, text);
        QFETCH(int, code);
        const int answer = platform::shell().openText(text);
        QCOMPARE(answer, code);
        QVERIFY(!platform::shellSucceeded(answer));
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
            QVERIFY(!platform::shellSucceeded(platform::shell().openText(dir.filePath(name))));
    }

    void relativePictureRefused() { QVERIFY(!platform::isOpenablePictureFile(QStringLiteral("foto.jpg"))); }
};

QTEST_MAIN(TstShell)
#include "tst_shell.moc"
