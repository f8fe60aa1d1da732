// The question the program asks at start-up about a folder of an older
// format: declined, nothing changes and the program does not start;
// accepted, the folder is upgraded after a copy; a failed upgrade is shown
// and leaves the folder as it was; a current folder asks nothing.
#include "support/TempFolder.h"
#include "support/TestMain.h"

#include "Installer.h"
#include "app/FormatUpgrade.h"
#include "data/schema/Schema.h"
#include "platform/Dialogs.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

namespace {

int formatOf(const QString& file)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &statement, nullptr);
    const int version = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return version;
}

void setFormat(const QString& file, int version)
{
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(file).constData(), &db);
    sqlite3_exec(db, QByteArray("PRAGMA user_version = " + QByteArray::number(version)).constData(), nullptr,
        nullptr, nullptr);
    sqlite3_close(db);
}

} // namespace

class TestFormatUpgrade : public QObject {
    Q_OBJECT

    std::unique_ptr<testsupport::TempFolder> m_folder;
    std::unique_ptr<QTemporaryDir> m_home;
    QStringList m_asked;
    QStringList m_shown;
    bool m_answer = false;

    QString data() const { return m_folder->filePath(QStringLiteral("datos")); }
    QString copies() const { return m_home->filePath(QStringLiteral("huellario/copias")); }

    // The folder as the first release left it.
    void makeOlder()
    {
        for (const auto& def : schema::tables())
            setFormat(QDir(data()).filePath(def.fileName), 1);
    }
    QList<int> formats() const
    {
        QList<int> all;
        for (const auto& def : schema::tables())
            all << formatOf(QDir(data()).filePath(def.fileName));
        return all;
    }
    static QList<int> all(int version) { return QList<int>(int(schema::tables().size()), version); }

private slots:
    void init()
    {
        m_folder = std::make_unique<testsupport::TempFolder>();
        m_home = std::make_unique<QTemporaryDir>();
        qputenv("XDG_DATA_HOME", m_home->path().toLocal8Bit());
        QString log;
        QTextStream out(&log);
        QCOMPARE(setup::install({ data(), m_folder->aliasFile(), false }, out, out), 0);
        m_asked.clear();
        m_shown.clear();
        platform::setQuestionHook([this](const QString&, const QString& text) {
            m_asked << text;
            return m_answer;
        });
        platform::setMessageHook(
            [this](const QString&, const QString& text, platform::MessageIcon) { m_shown << text; });
    }
    void cleanup()
    {
        platform::setQuestionHook({});
        platform::setMessageHook({});
        m_folder.reset();
        m_home.reset();
    }

    void currentFolderAsksNothing()
    {
        QCOMPARE(app::offerFormatUpgrade(), app::UpgradeAnswer::Start);
        QVERIFY(m_asked.isEmpty());
        QCOMPARE(formats(), all(schema::currentFormat));
    }

    void declinedLeavesTheFolderAndEnds()
    {
        makeOlder();
        m_answer = false;
        QCOMPARE(app::offerFormatUpgrade(), app::UpgradeAnswer::Declined);
        QCOMPARE(m_asked.size(), 1);
        QVERIFY2(m_asked[0].contains(QDir::toNativeSeparators(data())), qPrintable(m_asked[0]));
        QVERIFY(m_asked[0].contains(QDir::toNativeSeparators(copies())));
        QVERIFY(m_asked[0].endsWith(QStringLiteral("¿Actualizar ahora?")));
        QCOMPARE(formats(), all(1));
        QVERIFY(!QFileInfo::exists(copies()));
    }

    void acceptedUpgradesAfterACopy()
    {
        makeOlder();
        m_answer = true;
        QCOMPARE(app::offerFormatUpgrade(), app::UpgradeAnswer::Start);
        QCOMPARE(formats(), all(schema::currentFormat));
        const QStringList made = QDir(copies()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(made.size(), 1);
        QVERIFY(made[0].endsWith(QStringLiteral("-antes-de-actualizar")));
        QCOMPARE(formatOf(QDir(copies()).filePath(made[0] + QStringLiteral("/FICMAES.DB"))), 1);
        QVERIFY(m_shown.isEmpty());
    }

    // No copy can be made (a file stands where its folder goes): the
    // message says so, the folder is as it was and the program does not start.
    void failedUpgradeIsShownAndChangesNothing()
    {
        makeOlder();
        QVERIFY(QDir().mkpath(m_home->filePath(QStringLiteral("huellario"))));
        QFile blocker(copies());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        m_answer = true;
        QCOMPARE(app::offerFormatUpgrade(), app::UpgradeAnswer::Failed);
        QCOMPARE(m_shown.size(), 1);
        QVERIFY2(m_shown[0].startsWith(
                     QStringLiteral("No se han actualizado las tablas; la carpeta sigue como estaba.")),
            qPrintable(m_shown[0]));
        QCOMPARE(formats(), all(1));
    }

    // A newer folder is for the data module to refuse by name.
    void newerFolderAsksNothing()
    {
        setFormat(QDir(data()).filePath(QStringLiteral("FICMAES.DB")), schema::currentFormat + 1);
        QCOMPARE(app::offerFormatUpgrade(), app::UpgradeAnswer::Start);
        QVERIFY(m_asked.isEmpty());
    }
};

HLR_TEST_MAIN(TestFormatUpgrade, ApplicationOnly)

#include "tst_formatupgrade.moc"
