// The program's read-only files are found beside the executable in the build
// tree and under share/huellario of an installation of any prefix.
#include "platform/ProgramFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestProgramFiles : public QObject {
    Q_OBJECT
private slots:
    void foundBesideOrInstalled_data()
    {
        QTest::addColumn<bool>("beside");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("build tree") << true << false << "bin/HLR20.HLP";
        QTest::newRow("installed") << false << true << "share/huellario/HLR20.HLP";
        QTest::newRow("beside wins") << true << true << "bin/HLR20.HLP";
        // A missing file is named where the program looked first.
        QTest::newRow("missing") << false << false << "bin/HLR20.HLP";
    }
    void foundBesideOrInstalled()
    {
        QFETCH(bool, beside);
        QFETCH(bool, installed);
        QFETCH(QString, expected);
        QTemporaryDir prefix;
        QVERIFY(prefix.isValid());
        const QDir root(prefix.path());
        QVERIFY(root.mkpath(QStringLiteral("bin")) && root.mkpath(QStringLiteral("share/huellario")));
        const auto touch = [&](const QString& path) {
            QFile file(root.filePath(path));
            QVERIFY(file.open(QIODevice::WriteOnly));
        };
        if (beside)
            touch(QStringLiteral("bin/HLR20.HLP"));
        if (installed)
            touch(QStringLiteral("share/huellario/HLR20.HLP"));
        QCOMPARE(platform::programDataFile(QStringLiteral("HLR20.HLP"), root.filePath(QStringLiteral("bin"))),
            root.filePath(expected));
    }
};

QTEST_MAIN(TestProgramFiles)
#include "tst_programfiles.moc"
