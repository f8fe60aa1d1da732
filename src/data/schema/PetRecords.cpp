#include "data/schema/PetRecords.h"

#include "data/schema/FolderFiles.h"
#include "data/schema/Schema.h"
#include "engine/EngineError.h"
#include "engine/FieldDef.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>

#include <sqlite3.h>

namespace schema {

namespace {

using engine::EngineError;

const QString kPets = QStringLiteral("FICMAES");
const QString kChildren[] = { QStringLiteral("SANIDAD"), QStringLiteral("VACUNAS"), QStringLiteral("ALBUM") };

// Where a power cut or a kill could fall (HLR_TEST_PET_KILL=N in the tests).
void checkpoint()
{
    static files::KillPoints points("HLR_TEST_PET_KILL");
    points.reached();
}

// One table file, opened for the length of a step.
class TableFile {
public:
    TableFile(const QString& path, int flags)
        : m_path(path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, flags, nullptr) != SQLITE_OK)
            fail();
        sqlite3_busy_timeout(m_db, 5000);
    }
    ~TableFile() { sqlite3_close_v2(m_db); }
    TableFile(const TableFile&) = delete;
    TableFile& operator=(const TableFile&) = delete;

    sqlite3* db() const { return m_db; }

    void exec(const QByteArray& statement)
    {
        if (sqlite3_exec(m_db, statement.constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            fail();
    }

    [[noreturn]] void fail() const
    {
        throw EngineError(QStringLiteral("No se puede leer o escribir el archivo de tabla %1: %2")
                              .arg(m_path, QString::fromUtf8(sqlite3_errmsg(m_db))));
    }

private:
    QString m_path;
    sqlite3* m_db = nullptr;
};

QString pathOf(const QString& folder, const QString& tableName)
{
    return QDir(folder).filePath(table(tableName).fileName);
}

} // namespace

std::vector<QStringList> readTableRows(
    const QString& folder, const QString& tableName, const QByteArray& sql, const QString& code)
{
    TableFile file(pathOf(folder, tableName), SQLITE_OPEN_READONLY);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(file.db(), sql.constData(), -1, &statement, nullptr) != SQLITE_OK)
        file.fail();
    const auto finish = qScopeGuard([statement] { sqlite3_finalize(statement); });
    const QByteArray utf8 = code.toUtf8();
    sqlite3_bind_text(statement, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    std::vector<QStringList> rows;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        QStringList row;
        for (int c = 0; c < sqlite3_column_count(statement); ++c)
            row << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, c)));
        rows.push_back(row);
    }
    if (rc != SQLITE_DONE)
        file.fail();
    return rows;
}

PetRecordCounts countPetRecords(const QString& folder, const QString& code)
{
    int counts[3] = {};
    for (int i = 0; i < 3; ++i)
        counts[i] = readTableRows(folder, kChildren[i],
            "SELECT COUNT(*) FROM \"" + kChildren[i].toUtf8() + "\" WHERE CODIGO = ?1", code)
                        .front()
                        .value(0)
                        .toInt();
    return { counts[0], counts[1], counts[2] };
}

std::vector<std::pair<QString, int>> removeOrphanRecords(const QString& folder)
{
    checkpoint();
    std::vector<std::pair<QString, int>> removed;
    const QString pets = pathOf(folder, kPets);
    for (const QString& name : kChildren) {
        TableFile file(pathOf(folder, name), SQLITE_OPEN_READWRITE);
        // The pets' file only read; a record without a code is left alone.
        const QByteArray attach
            = "ATTACH DATABASE '" + QFile::encodeName(pets).replace("'", "''") + "' AS pets";
        const QByteArray remove = "DELETE FROM main.\"" + name.toUtf8()
            + "\" WHERE CODIGO IS NOT NULL AND CODIGO NOT IN "
              "(SELECT CODIGO FROM pets.FICMAES WHERE CODIGO IS NOT NULL)";
        file.exec("PRAGMA synchronous = EXTRA");
        file.exec(attach);
        file.exec("BEGIN IMMEDIATE");
        try {
            file.exec(remove);
        } catch (const EngineError&) {
            sqlite3_exec(file.db(), "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
        const int count = sqlite3_changes(file.db());
        try {
            file.exec("COMMIT");
        } catch (const EngineError&) {
            sqlite3_exec(file.db(), "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
        checkpoint();
        if (count > 0)
            removed.emplace_back(table(name).fileName, count);
    }
    return removed;
}

} // namespace schema
