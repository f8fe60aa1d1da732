// The program's entry without a display: one clear line and a non-zero exit
// instead of Qt's abort.
#include <QProcess>
#include <QTest>

class TstMain : public QObject {
    Q_OBJECT
private slots:
    void noDisplaySaysSo()
    {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
            environment.remove(QString::fromLatin1(name));
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(HLR_PROGRAM), {});
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QVERIFY(program.exitCode() != 0);
        const QString said = QString::fromLocal8Bit(program.readAllStandardError());
        QCOMPARE(said.count(QLatin1Char('\n')), 1);
        QVERIFY2(said.contains(QStringLiteral("pantalla")), qPrintable(said));
        QVERIFY2(said.contains(QStringLiteral("xvfb-run -a")), qPrintable(said));
    }
};

QTEST_MAIN(TstMain)
#include "tst_main.moc"
