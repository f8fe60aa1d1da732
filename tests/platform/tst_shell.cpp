// The desktop shell hook: the fake records every text and gives the answer
// it is told; the real one refuses a text that is not a complete address or
// a path that names no file, with the codes windows show.
#include "platform/Shell.h"

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
    }
    void realShellRefusesPartialText()
    {
        QFETCH(QString, text);
        QFETCH(int, code);
        const int answer = platform::shell().openText(text);
        QCOMPARE(answer, code);
        QVERIFY(!platform::shellSucceeded(answer));
    }
};

QTEST_MAIN(TstShell)
#include "tst_shell.moc"
