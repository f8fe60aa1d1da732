// The desktop shell hook: the fake records every text; the real one refuses
// a text that is not a complete address.
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
    }
    void realShellRefusesPartialText()
    {
        QFETCH(QString, text);
        QVERIFY(!platform::shell().openText(text));
    }
};

QTEST_MAIN(TstShell)
#include "tst_shell.moc"
