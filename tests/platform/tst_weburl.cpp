// Web texts from the tables: http and https addresses go as they are, a host
// name without a scheme as an http address, and nothing else ever reaches the
// desktop, so a stored path or another scheme cannot open a file or a program.
#include "platform/Shell.h"
#include "platform/WebUrl.h"

#include <QTest>

class TstWebUrl : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { platform::setShell(nullptr); }

    void accepted_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("url");
        QTest::newRow("http") << "http://www.clinica.es"
                              << "http://www.clinica.es";
        QTest::newRow("https with path and query") << "https://clinica.es/citas?dia=3#hoy"
                                                   << "https://clinica.es/citas?dia=3#hoy";
        QTest::newRow("scheme in capitals") << "HTTPS://Clinica.ES/Citas"
                                            << "https://clinica.es/Citas";
        QTest::newRow("bare host") << "www.clinica.es"
                                   << "http://www.clinica.es";
        QTest::newRow("about window link") << "www.huellario.example"
                                           << "http://www.huellario.example";
        QTest::newRow("host and path, case kept") << "clinica.es/Citas"
                                                  << "http://clinica.es/Citas";
        QTest::newRow("host and port") << "www.clinica.es:8080/x"
                                       << "http://www.clinica.es:8080/x";
        QTest::newRow("localhost and port") << "localhost:8080"
                                            << "http://localhost:8080";
        QTest::newRow("numeric host") << "192.168.1.20/agenda"
                                      << "http://192.168.1.20/agenda";
        QTest::newRow("accented host") << "www.clínica.es"
                                       << "http://www.xn--clnica-4va.es";
        QTest::newRow("user in an http address") << "http://ana@clinica.es"
                                                 << "http://ana@clinica.es";
    }
    void accepted()
    {
        QFETCH(QString, text);
        QFETCH(QString, url);
        const QUrl result = platform::webUrlFor(text);
        QVERIFY2(result.isValid(), qPrintable(text));
        QCOMPARE(result.toString(QUrl::FullyEncoded), url);
    }

    void refused_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("program path") << "/usr/bin/xterm";
        QTest::newRow("file address") << "file:///etc/passwd";
        QTest::newRow("file address, capitals") << "FILE:///usr/bin/xterm";
        QTest::newRow("relative path") << "./lanzar.sh";
        QTest::newRow("parent path") << "../bin/sh";
        QTest::newRow("home path") << "~/virus.desktop";
        QTest::newRow("scheme-relative") << "//servidor/recurso";
        QTest::newRow("windows program") << "C:\\Windows\\calc.exe";
        QTest::newRow("drive letter") << "c:/windows/calc.exe";
        QTest::newRow("network share") << "\\\\servidor\\recurso";
        QTest::newRow("smb") << "smb://servidor/recurso";
        QTest::newRow("javascript") << "javascript:alert(1)";
        QTest::newRow("data") << "data:text/html,<b>x</b>";
        QTest::newRow("mailto") << "mailto:ana@clinica.es";
        QTest::newRow("ftp") << "ftp://clinica.es";
        QTest::newRow("inner blank") << "www.clinica .es";
        QTest::newRow("outer blank") << " www.clinica.es";
        QTest::newRow("tab") << "www.clinica.es\t";
        QTest::newRow("line break") << "http://clinica.es/\nfile:///etc/passwd";
        QTest::newRow("nul") << QString::fromUtf16(u"www.clinica.es\u0000x", 16);
        QTest::newRow("invisible format character") << QString::fromUtf16(u"www.clin\u200Bica.es");
        QTest::newRow("word without dot") << "clinica";
        QTest::newRow("mail address without scheme") << "ana@clinica.es";
        QTest::newRow("http without host") << "http:///etc/passwd";
        QTest::newRow("http without slashes") << "http:clinica.es";
        QTest::newRow("port that is no number") << "www.clinica.es:ab";
        QTest::newRow("empty label") << "www..clinica.es";
        QTest::newRow("leading dot") << ".clinica.es";
    }
    void refused()
    {
        QFETCH(QString, text);
        QVERIFY2(!platform::webUrlFor(text).isValid(), qPrintable(platform::webUrlFor(text).toString()));
    }

    void desktopShellRefusesWhatIsNoWebAddress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("program") << "/usr/bin/xterm";
        QTest::newRow("file") << "file:///usr/bin/xterm";
        QTest::newRow("javascript") << "javascript:alert(1)";
    }
    void desktopShellRefusesWhatIsNoWebAddress()
    {
        // The desktop's own shell: a refused text is never handed on.
        QFETCH(QString, text);
        QCOMPARE(platform::shell().openWebAddress(text), platform::kShellNoHandler);
    }

    void otherShellsTakeTheTextUnchanged()
    {
        auto fake = std::make_unique<platform::RecordingShell>();
        auto* recording = fake.get();
        platform::setShell(std::move(fake));
        platform::shell().openWebAddress(QStringLiteral("www.Clinica.es"));
        platform::shell().openWebAddress(QString());
        QCOMPARE(recording->opened(), QStringList({ QStringLiteral("www.Clinica.es"), QString() }));
    }
};

QTEST_MAIN(TstWebUrl)
#include "tst_weburl.moc"
