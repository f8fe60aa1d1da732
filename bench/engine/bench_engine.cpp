// Times the table engine on a 100,000-visit health table against the same
// work done straight through the SQLite C API in the same run, as ratios.
#include "../common/BenchTables.h"
#include "engine/AliasRegistry.h"
#include "engine/DataSource.h"
#include "engine/Database.h"
#include "engine/FieldDef.h"
#include "engine/SchemaSql.h"
#include "engine/Table.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <sqlite3.h>
#include <vector>

using namespace engine;

namespace {

// The health table's index: the pet, then the reason in the Spanish order.
const QByteArray kReasonKey = engine::schema::spanishKeySql(QStringLiteral("DESCRIPCIO")).toUtf8();
const QByteArray kOrder = " ORDER BY CODIGO, " + kReasonKey + ", rowid";
const char* kColumns = "CONTADOR, CODIGO, FECHA, DESCRIPCIO, OBSERVA1, OBSERVA2, MEDICACION, VETERINARIO, "
                       "TRATAMIENTO, PROX_VISITA, CLINICA";

void check(int rc, sqlite3* db)
{
    if (rc != SQLITE_OK && rc != SQLITE_ROW && rc != SQLITE_DONE) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

// The baseline's connection, opened as the engine opens its files.
struct Direct {
    sqlite3* db = nullptr;
    explicit Direct(const QByteArray& path)
    {
        check(
            sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr), db);
        sqlite3_busy_timeout(db, 5000);
        exec("PRAGMA journal_mode"); // read only: the file already uses the rollback journal
        exec("PRAGMA synchronous = EXTRA");
    }
    ~Direct() { sqlite3_close_v2(db); }
    void exec(const char* sql) { check(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), db); }
    sqlite3_stmt* prepare(const char* sql)
    {
        sqlite3_stmt* stmt = nullptr;
        check(sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr), db);
        return stmt;
    }
    // Reads every column of the current row, as a program showing it would.
    static size_t readAll(sqlite3_stmt* stmt)
    {
        size_t bytes = 0;
        for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
            sqlite3_column_text(stmt, i);
            bytes += size_t(sqlite3_column_bytes(stmt, i));
        }
        return bytes;
    }
    void row(sqlite3_stmt* select, qint64 rowid)
    {
        sqlite3_bind_int64(select, 1, rowid);
        if (sqlite3_step(select) == SQLITE_ROW)
            readAll(select);
        sqlite3_reset(select);
    }
};

void fill(const QString& folder, int visits)
{
    createTableFile(folder, bench::sanidad());
    createTableFile(folder, bench::mascotas());
    Direct s(QFile::encodeName(folder + QStringLiteral("/SANIDAD.db")));
    s.exec("BEGIN");
    sqlite3_stmt* ins = s.prepare("INSERT INTO SANIDAD (CODIGO, FECHA, DESCRIPCIO, OBSERVA1, VETERINARIO, "
                                  "TRATAMIENTO, PROX_VISITA, CLINICA) VALUES (?1, ?2, ?3, 'Sin novedad', "
                                  "'Dra. García', 'Ninguno', ?2, 'Clínica Central')");
    // A tenth of the visits among 100 pets, the rest all for one pet.
    const int small = visits / 10;
    for (int i = 0; i < visits; ++i) {
        const QByteArray code = i < small
            ? QByteArray("P") + QByteArray::number(1 + i % 100).rightJustified(3, '0')
            : QByteArray("TODOS");
        const QByteArray day = QByteArray("20") + QByteArray::number(10 + i % 14) + "-0"
            + QByteArray::number(1 + i % 9) + "-1" + QByteArray::number(i % 9);
        const QByteArray reason = (i % 3 ? QByteArray("Revisión ") : QByteArray("vacuna "))
            + QByteArray::number(i * 7919 % visits);
        sqlite3_bind_text(ins, 1, code.constData(), int(code.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(ins, 2, day.constData(), int(day.size()), SQLITE_TRANSIENT);
        sqlite3_bind_text(ins, 3, reason.constData(), int(reason.size()), SQLITE_TRANSIENT);
        check(sqlite3_step(ins), s.db);
        sqlite3_reset(ins);
    }
    sqlite3_finalize(ins);
    s.exec("COMMIT");
    Direct m(QFile::encodeName(folder + QStringLiteral("/FICMAES.DB")));
    m.exec("BEGIN");
    for (int p = 1; p <= 100; ++p)
        m.exec(QStringLiteral("INSERT INTO FICMAES (CODIGO, NOM_FAMI) VALUES ('P%1', 'Mascota %1')")
                   .arg(p, 3, 10, QLatin1Char('0'))
                   .toUtf8()
                   .constData());
    m.exec("INSERT INTO FICMAES (CODIGO, NOM_FAMI) VALUES ('TODOS', 'La que las tiene todas')");
    m.exec("COMMIT");
}

double millis(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Result {
    const char* name;
    double baseline;
    double engine;
    double goal;
};
std::vector<Result> g_results;

// Runs both sides in turns and keeps the median of each.
void compare(const char* name, int repeat, double goal, const std::function<void()>& baseline,
    const std::function<void()>& engineSide)
{
    std::vector<double> b, e;
    for (int i = 0; i < repeat; ++i) {
        b.push_back(millis(baseline));
        e.push_back(millis(engineSide));
    }
    g_results.push_back({ name, median(b), median(e), goal });
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int visits = 100000;
    int repeat = 7;
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "--visits") == 0)
            visits = std::max(1000, atoi(argv[i + 1]));
        if (qstrcmp(argv[i], "--repeat") == 0)
            repeat = std::max(1, atoi(argv[i + 1]));
    }
    QTemporaryDir dir;
    // HLR_BENCH_KEEP=1 leaves the generated folder behind for a closer look.
    dir.setAutoRemove(qEnvironmentVariableIsEmpty("HLR_BENCH_KEEP"));
    qputenv("HLR_ALIASES", QFile::encodeName(dir.filePath(QStringLiteral("aliases.conf"))));
    AliasRegistry().setFolder(QStringLiteral("HLR10"), dir.path());
    std::printf("Filling a health table with %d visits in %s...\n", visits, qPrintable(dir.path()));
    fill(dir.path(), visits);
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("SANIDAD.db")));
    const QByteArray keysSql = "SELECT CODIGO, " + kReasonKey + ", rowid FROM SANIDAD WHERE 1" + kOrder;
    const QByteArray rowSql = QByteArray("SELECT ") + kColumns + " FROM SANIDAD WHERE rowid = ?1";

    Database db(QStringLiteral("DbGeneral"), QStringLiteral("HLR10"));
    db.open();

    // The rowids in index order, for the baseline's own stepping.
    std::vector<qint64> order;
    {
        Direct d(path);
        sqlite3_stmt* keys = d.prepare(keysSql.constData());
        while (sqlite3_step(keys) == SQLITE_ROW)
            order.push_back(sqlite3_column_int64(keys, 2));
        sqlite3_finalize(keys);
    }

    // Open and first: the file's checks, the ordered keys, the first record.
    compare(
        "open and first", repeat, 2.0,
        [&] {
            Direct d(path);
            sqlite3_stmt* schema
                = d.prepare("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = 'SANIDAD'");
            sqlite3_step(schema);
            sqlite3_finalize(schema);
            // The ordered keys, kept as the rowids a cursor needs.
            sqlite3_stmt* keys = d.prepare(keysSql.constData());
            std::vector<qint64> rowids;
            size_t bytes = 0;
            while (sqlite3_step(keys) == SQLITE_ROW) {
                sqlite3_column_text(keys, 0);
                sqlite3_column_text(keys, 1);
                bytes += size_t(sqlite3_column_bytes(keys, 0) + sqlite3_column_bytes(keys, 1));
                rowids.push_back(sqlite3_column_int64(keys, 2));
            }
            sqlite3_finalize(keys);
            const qint64 first = rowids.empty() ? -1 : rowids.front();
            sqlite3_stmt* row = d.prepare(rowSql.constData());
            d.row(row, first);
            sqlite3_finalize(row);
        },
        [&] {
            Table t(db, QStringLiteral("TablaSanidad"), QStringLiteral("SANIDAD.db"));
            t.setIndexFieldNames(QStringLiteral("CODIGO"));
            t.open();
        });

    Table visitsTable(db, QStringLiteral("TablaSanidad"), QStringLiteral("SANIDAD.db"));
    visitsTable.setIndexFieldNames(QStringLiteral("CODIGO"));
    visitsTable.open();
    Direct direct(path);
    sqlite3_stmt* row = direct.prepare(rowSql.constData());

    // A full pass in order against one ordered SELECT reading every column,
    // the best plain SQLite does for the same rows.
    compare(
        "next through all (vs one ordered SELECT)", std::max(1, repeat / 2), 1.5,
        [&] {
            sqlite3_stmt* all
                = direct.prepare((QByteArray("SELECT ") + kColumns + " FROM SANIDAD" + kOrder).constData());
            while (sqlite3_step(all) == SQLITE_ROW)
                Direct::readAll(all);
            sqlite3_finalize(all);
        },
        [&] {
            visitsTable.first();
            while (!visitsTable.eof())
                visitsTable.next();
        });

    compare(
        "last (x1000)", repeat, 2.0,
        [&] {
            for (int i = 0; i < 1000; ++i)
                direct.row(row, i % 2 ? order.back() : order.front());
        },
        [&] {
            for (int i = 0; i < 1000; ++i)
                i % 2 ? visitsTable.last() : visitsTable.first();
        });

    // Find nearest: straight SQL seeks the index for the first key at or after.
    sqlite3_stmt* nearest = direct.prepare(
        (QByteArray("SELECT ") + kColumns + " FROM SANIDAD WHERE (CODIGO, " + kReasonKey + ") >= (?1, "
            + engine::schema::spanishKeySql(QStringLiteral("?2")).toUtf8() + ")" + kOrder + " LIMIT 1")
            .constData());
    compare(
        "find nearest (x1000)", repeat, 2.0,
        [&] {
            for (int i = 0; i < 1000; ++i) {
                const QByteArray code
                    = QByteArray("P") + QByteArray::number(1 + i % 100).rightJustified(3, '0');
                const QByteArray reason = QByteArray("revisión ") + QByteArray::number(i);
                sqlite3_bind_text(nearest, 1, code.constData(), int(code.size()), SQLITE_TRANSIENT);
                sqlite3_bind_text(nearest, 2, reason.constData(), int(reason.size()), SQLITE_TRANSIENT);
                if (sqlite3_step(nearest) == SQLITE_ROW)
                    Direct::readAll(nearest);
                sqlite3_reset(nearest);
            }
        },
        [&] {
            for (int i = 0; i < 1000; ++i)
                visitsTable.findNearest({ QStringLiteral("P%1").arg(1 + i % 100, 3, 10, QLatin1Char('0')),
                    QStringLiteral("revisión %1").arg(i) });
        });

    // Edit and post one record: read it, then in one transaction check it is
    // unchanged and store it, then read back its key and values.
    sqlite3_stmt* begin = direct.prepare("BEGIN IMMEDIATE");
    sqlite3_stmt* commit = direct.prepare("COMMIT");
    sqlite3_stmt* update
        = direct.prepare("UPDATE SANIDAD SET CODIGO = ?2, FECHA = ?3, DESCRIPCIO = ?4, OBSERVA1 = ?5, "
                         "OBSERVA2 = ?6, MEDICACION = ?7, VETERINARIO = ?8, TRATAMIENTO = ?9, "
                         "PROX_VISITA = ?10, CLINICA = ?11 WHERE rowid = ?1");
    sqlite3_stmt* one
        = direct.prepare("SELECT CODIGO, DESCRIPCIO, rowid FROM SANIDAD WHERE 1 AND rowid = ?3");
    auto step = [&](sqlite3_stmt* s) {
        check(sqlite3_step(s), direct.db);
        sqlite3_reset(s);
    };
    int edits = 0;
    compare(
        "edit and post", repeat * 3, 1.5,
        [&] {
            const qint64 rowid = order[size_t(order.size() / 3)];
            direct.row(row, rowid);
            step(begin);
            direct.row(row, rowid);
            sqlite3_bind_int64(update, 1, rowid);
            sqlite3_bind_text(update, 2, "P050", -1, SQLITE_STATIC);
            const QByteArray reason = QByteArray("editada ") + QByteArray::number(++edits);
            sqlite3_bind_text(update, 4, reason.constData(), -1, SQLITE_TRANSIENT);
            step(update);
            step(commit);
            sqlite3_bind_int64(one, 3, rowid);
            step(one);
            direct.row(row, rowid);
        },
        [&] {
            visitsTable.moveToRow(visitsTable.recordCount() / 2);
            visitsTable.edit();
            visitsTable.field(QStringLiteral("DESCRIPCIO"))
                .setAsString(QStringLiteral("cambiada %1").arg(++edits));
            visitsTable.post();
        });

    sqlite3_stmt* insert
        = direct.prepare("INSERT INTO SANIDAD (CODIGO, FECHA, DESCRIPCIO, OBSERVA1, OBSERVA2, "
                         "MEDICACION, VETERINARIO, TRATAMIENTO, PROX_VISITA, CLINICA) "
                         "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
    compare(
        "append and post", repeat * 3, 1.5,
        [&] {
            step(begin);
            sqlite3_bind_text(insert, 1, "P007", -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 2, "2024-05-01", -1, SQLITE_STATIC);
            sqlite3_bind_text(insert, 3, "nueva visita", -1, SQLITE_STATIC);
            step(insert);
            const qint64 rowid = sqlite3_last_insert_rowid(direct.db);
            step(commit);
            sqlite3_bind_int64(one, 3, rowid);
            step(one);
            direct.row(row, rowid);
        },
        [&] {
            visitsTable.append();
            visitsTable.field(QStringLiteral("CODIGO")).setAsString(QStringLiteral("P007"));
            visitsTable.field(QStringLiteral("FECHA")).setAsDate(QDate(2024, 5, 1));
            visitsTable.field(QStringLiteral("DESCRIPCIO")).setAsString(QStringLiteral("nueva visita"));
            visitsTable.post();
        });
    visitsTable.close();

    // Change of master record: the master's next record, then the detail's
    // visits of that pet in order and its first one.
    Table pets(db, QStringLiteral("TablaMascotas"), QStringLiteral("FICMAES.DB"));
    pets.setIndexName(QStringLiteral("CODIGO"));
    DataSource petsSource(QStringLiteral("SourceMascotas"), pets);
    Table detail(db, QStringLiteral("TablaSanidad"), QStringLiteral("SANIDAD.db"));
    detail.setIndexFieldNames(QStringLiteral("CODIGO"));
    detail.setMasterSource(&petsSource, QStringLiteral("CODIGO"));
    pets.open();
    detail.open();
    Direct masterDirect(QFile::encodeName(dir.filePath(QStringLiteral("FICMAES.DB"))));
    sqlite3_stmt* petRow
        = masterDirect.prepare("SELECT CONTADOR, CODIGO, NOM_FAMI FROM FICMAES WHERE rowid = ?1");
    sqlite3_stmt* detailKeys = direct.prepare(
        ("SELECT CODIGO, " + kReasonKey + ", rowid FROM SANIDAD WHERE 1 AND CODIGO = ?2" + kOrder)
            .constData());
    auto directMaster = [&](qint64 petRowid, const char* code) {
        masterDirect.row(petRow, petRowid);
        sqlite3_bind_text(detailKeys, 2, code, -1, SQLITE_STATIC);
        std::vector<qint64> rowids;
        size_t bytes = 0;
        while (sqlite3_step(detailKeys) == SQLITE_ROW) {
            sqlite3_column_text(detailKeys, 0);
            sqlite3_column_text(detailKeys, 1);
            bytes += size_t(sqlite3_column_bytes(detailKeys, 0) + sqlite3_column_bytes(detailKeys, 1));
            rowids.push_back(sqlite3_column_int64(detailKeys, 2));
        }
        sqlite3_reset(detailKeys);
        const qint64 first = rowids.empty() ? -1 : rowids.front();
        if (first >= 0)
            direct.row(row, first);
    };
    compare(
        "master change, pet of ~100 visits (x101)", repeat, 2.0,
        [&] {
            for (int p = 1; p <= 100; ++p)
                directMaster(p, QByteArray("P" + QByteArray::number(p).rightJustified(3, '0')).constData());
            directMaster(1, "P001");
        },
        [&] {
            pets.first();
            for (int p = 1; p < 100; ++p)
                pets.next();
            pets.first();
        });
    compare(
        "master change to the pet with 90% of visits", repeat, 2.0, [&] { directMaster(101, "TODOS"); },
        [&] {
            pets.last();
            pets.first(); // back, a small set, so each turn reads the big one again
        });

    std::printf("\n%-46s %12s %12s %7s %6s\n", "operation", "SQLite ms", "engine ms", "ratio", "goal");
    bool ok = true;
    for (const Result& r : g_results) {
        const double ratio = r.engine / r.baseline;
        ok = ok && ratio <= r.goal;
        std::printf("%-46s %12.3f %12.3f %7.2f %6.1f%s\n", r.name, r.baseline, r.engine, ratio, r.goal,
            ratio <= r.goal ? "" : "  over the goal");
    }
    std::printf("\n%d visits; medians of alternating runs.\n", visits);
    Q_UNUSED(ok);
    return 0;
}
