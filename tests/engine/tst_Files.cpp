// The data-file contract: table files written and read back, files that are
// missing, damaged or not ours, and the alias registry.
#include "EngineFixture.h"

#include "engine/AliasRegistry.h"

#include <QCryptographicHash>
#include <QFile>
#include <sqlite3.h>
#include <sys/stat.h>

using namespace enginetest;

class TestFiles : public QObject {
    Q_OBJECT
private slots:
    void roundTrip();
    void createdFileKeepsTheContract_data();
    void createdFileKeepsTheContract();
    void createRefusesAnExistingFile();
    void readsAFileWrittenByHand();
    void textCheckCountsCharacters();
    void badFiles_data();
    void badFiles();
    void badlyShapedFileIsNeverWritten_data();
    void badlyShapedFileIsNeverWritten();
    void aliasFile();
    void aliasRewriteKeepsOtherLines_data();
    void aliasRewriteKeepsOtherLines();
    void aliasRefusesFoldersItCannotHold();
    void aliasDefaultFile();
    void databaseOpenErrors();
};

namespace {

TableDef everyKind()
{
    return { QStringLiteral("TODO.DB"), QStringLiteral("TODO"),
        { counter("CONTADOR"), text("CODIGO", 7), date("FECHA"), time("HORA"), logical("HECHO"),
            memo("NOTAS"), text("NOMBRE \"raro\"", 50) },
        { { QStringLiteral("TODO_COD"), { { QStringLiteral("CODIGO"), TextOrder::Binary } } },
            { QStringLiteral("TODO_NOMBRE"),
                { { QStringLiteral("CODIGO"), TextOrder::Binary },
                    { QStringLiteral("NOMBRE \"raro\""), TextOrder::NoCase } } } } };
}

// Runs SQL straight on a file; returns SQLite's result code.
int execOn(const QString& path, const QString& sql)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(
        QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rc;
}

QByteArray digest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

} // namespace

void TestFiles::roundTrip()
{
    testsupport::TempFolder folder;
    createTableFile(folder.path(), everyKind());
    QCOMPARE(readTableDef(folder.filePath(QStringLiteral("TODO.DB"))), everyKind());
    for (const TableDef& def : { petsDef(), visitsDef(), speciesDef() }) {
        createTableFile(folder.path(), def);
        QCOMPARE(readTableDef(folder.filePath(def.fileName)), def);
    }
}

void TestFiles::createdFileKeepsTheContract_data()
{
    QTest::addColumn<QString>("values"); // for (CODIGO, FECHA, HORA, HECHO)
    QTest::addColumn<bool>("accepted");
    QTest::newRow("all null") << "NULL, NULL, NULL, NULL" << true;
    QTest::newRow("good values") << "'ABCDEFG', '2024-02-29', '23:59:59', 1" << true;
    QTest::newRow("text too long") << "'ABCDEFGH', NULL, NULL, NULL" << false;
    QTest::newRow("no such day") << "NULL, '2023-02-29', NULL, NULL" << false;
    QTest::newRow("date with time") << "NULL, '2024-02-01 10:00', NULL, NULL" << false;
    QTest::newRow("date other order") << "NULL, '01/02/2024', NULL, NULL" << false;
    QTest::newRow("no such hour") << "NULL, NULL, '24:00:00', NULL" << false;
    QTest::newRow("logical 2") << "NULL, NULL, NULL, 2" << false;
}

void TestFiles::createdFileKeepsTheContract()
{
    QFETCH(QString, values);
    QFETCH(bool, accepted);
    testsupport::TempFolder folder;
    createTableFile(folder.path(), everyKind());
    const QString path = folder.filePath(QStringLiteral("TODO.DB"));
    const int rc = execOn(
        path, QStringLiteral("INSERT INTO TODO (CODIGO, FECHA, HORA, HECHO) VALUES (%1)").arg(values));
    QCOMPARE(rc == SQLITE_OK, accepted);
}

void TestFiles::createRefusesAnExistingFile()
{
    Folder f;
    const QString path = f.path(QStringLiteral("FICMAES.DB"));
    auto pets = f.pets();
    pets->open();
    add(*pets, { { "CODIGO", "A" } });
    pets->close();
    const QByteArray before = digest(path);
    QVERIFY(errorOf([&] { createTableFile(f.folder.path(), petsDef()); }).contains(path));
    QCOMPARE(digest(path), before);
}

void TestFiles::readsAFileWrittenByHand()
{
    testsupport::TempFolder folder;
    const QString path = folder.filePath(QStringLiteral("MANO.db"));
    QCOMPARE(execOn(path,
                 QStringLiteral("CREATE TABLE MANO (ID integer primary key autoincrement, CODIGO text check "
                                "(length(CODIGO)<=3),"
                                " F text check(F glob '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]'), [L] "
                                "integer check ([L] in (0,1)),"
                                " M text); CREATE INDEX MANO_C ON MANO(CODIGO collate nocase)")),
        SQLITE_OK);
    const TableDef def = readTableDef(path);
    QCOMPARE(def.tableName, QStringLiteral("MANO"));
    QCOMPARE(def.fields,
        (std::vector<FieldDef> { counter("ID"), text("CODIGO", 3), date("F"), logical("L"), memo("M") }));
    QCOMPARE(def.indexes.size(), size_t(1));
    QCOMPARE(
        def.indexes[0].fields, (std::vector<IndexField> { { QStringLiteral("CODIGO"), TextOrder::NoCase } }));
}

void TestFiles::textCheckCountsCharacters()
{
    // What the engine cuts to is what the file's check lets in.
    Folder f;
    const QString path = f.path(QStringLiteral("ESPECIES.db"));
    const auto insert = [&](const QString& text) {
        return execOn(path, QStringLiteral("INSERT INTO ESPECIES (DESCRIPCION) VALUES ('%1')").arg(text));
    };
    QCOMPARE(insert(QStringLiteral("😀").repeated(25)), SQLITE_OK);
    QCOMPARE(insert(QStringLiteral("ñ").repeated(25)), SQLITE_OK);
    QCOMPARE(insert(QStringLiteral("😀").repeated(26)), SQLITE_CONSTRAINT);
}

void TestFiles::badFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("expect"); // a word the message must hold besides the path
    QTest::newRow("missing") << "missing"
                             << "No existe";
    QTest::newRow("garbage") << "garbage"
                             << "dañado";
    QTest::newRow("empty file") << "empty"
                                << "no es una tabla";
    QTest::newRow("truncated") << "truncated"
                               << "dañado";
    QTest::newRow("read-only") << "readonly"
                               << "solo lectura";
    QTest::newRow("foreign SQLite file") << "foreign"
                                         << "no es una tabla";
    QTest::newRow("unknown column type") << "unknowntype"
                                         << "no es una tabla";
    QTest::newRow("declared field missing") << "lacksfield"
                                            << "falta el campo";
}

void TestFiles::badFiles()
{
    QFETCH(QString, kind);
    QFETCH(QString, expect);
    Folder f;
    const QString path = f.path(QStringLiteral("SANIDAD.db"));
    QFile::remove(path);
    if (kind == QLatin1String("garbage")) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        QByteArray junk(8192, '\0');
        for (int i = 0; i < junk.size(); ++i)
            junk[i] = char((i * 7919 + 13) % 251);
        out.write(junk);
    } else if (kind == QLatin1String("empty")) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
    } else if (kind == QLatin1String("truncated") || kind == QLatin1String("readonly")) {
        createTableFile(f.folder.path(), visitsDef());
        auto visits = f.visits(QStringLiteral("Relleno"));
        visits->open();
        visits->disableControls();
        for (int i = 0; i < 150; ++i)
            add(*visits,
                { { "CODIGO", QString::number(i % 7) },
                    { "DESCRIPCIO", QStringLiteral("visita número %1").arg(i) } });
        visits->close();
        if (kind == QLatin1String("truncated"))
            QVERIFY(QFile::resize(path, QFileInfo(path).size() / 2));
        else
            QVERIFY(::chmod(QFile::encodeName(path).constData(), 0444) == 0);
    } else if (kind == QLatin1String("foreign")) {
        QCOMPARE(execOn(path,
                     QStringLiteral("CREATE TABLE agenda (nombre TEXT, telefono TEXT); "
                                    "INSERT INTO agenda VALUES ('Ana', '555')")),
            SQLITE_OK);
    } else if (kind == QLatin1String("unknowntype")) {
        QCOMPARE(
            execOn(path, QStringLiteral("CREATE TABLE SANIDAD (CODIGO BLOB, DESCRIPCIO TEXT)")), SQLITE_OK);
    } else if (kind == QLatin1String("lacksfield")) {
        QCOMPARE(
            execOn(path, QStringLiteral("CREATE TABLE SANIDAD (CODIGO TEXT CHECK(length(CODIGO) <= 7))")),
            SQLITE_OK);
    }
    const QByteArray before = digest(path);

    Table visits(f.db, QStringLiteral("TablaSanidad"), QStringLiteral("SANIDAD.db"));
    for (const FieldDef& field : visitsDef().fields)
        visits.addField(field);
    const QString error = errorOf([&] { visits.open(); });
    QVERIFY2(error.contains(path) && error.contains(expect), qPrintable(error));
    QVERIFY(!visits.active());
    QCOMPARE(QFileInfo::exists(path), kind != QLatin1String("missing")); // never created
    QCOMPARE(digest(path), before);
    // Nothing left beside it either.
    QVERIFY(!QFileInfo::exists(path + QStringLiteral("-journal")));
    QVERIFY(!QFileInfo::exists(path + QStringLiteral("-wal")));
    // Reading the definition back refuses what is not a table file at all.
    if (QStringList { "missing", "garbage", "empty", "foreign", "unknowntype" }.contains(kind))
        QVERIFY(errorOf([&] { readTableDef(path); }).contains(path));
}

void TestFiles::badlyShapedFileIsNeverWritten_data()
{
    QTest::addColumn<QString>("create"); // the table as some other program left it
    QTest::addColumn<QString>("operation");
    const QString lacksDate = QStringLiteral(
        "CREATE TABLE SANIDAD (CONTADOR INTEGER PRIMARY KEY AUTOINCREMENT, CODIGO TEXT CHECK(length(CODIGO) "
        "<= 7), DESCRIPCIO TEXT CHECK(length(DESCRIPCIO) <= 50))");
    const QString dateAsLogical = QStringLiteral(
        "CREATE TABLE SANIDAD (CONTADOR INTEGER PRIMARY KEY AUTOINCREMENT, CODIGO TEXT CHECK(length(CODIGO) "
        "<= 7), FECHA INTEGER CHECK(FECHA IN (0, 1)), DESCRIPCIO TEXT CHECK(length(DESCRIPCIO) <= 50))");
    const QString walLacksDate = QStringLiteral("PRAGMA journal_mode = WAL; ") + lacksDate;
    for (const char* operation : { "open", "empty", "empty exclusive" }) {
        QTest::addRow("field missing, %s", operation) << lacksDate << operation;
        QTest::addRow("field of another kind, %s", operation) << dateAsLogical << operation;
        QTest::addRow("write-ahead log, field missing, %s", operation) << walLacksDate << operation;
    }
}

void TestFiles::badlyShapedFileIsNeverWritten()
{
    QFETCH(QString, create);
    QFETCH(QString, operation);
    Folder f;
    const QString path = f.path(QStringLiteral("SANIDAD.db"));
    QFile::remove(path);
    QCOMPARE(execOn(path,
                 create
                     + QStringLiteral("; INSERT INTO SANIDAD (CODIGO, DESCRIPCIO) VALUES ('A', 'una'), ('B', "
                                      "'dos')")),
        SQLITE_OK);
    const QByteArray before = digest(path);

    Table visits(f.db, QStringLiteral("TablaSanidad"), QStringLiteral("SANIDAD.db"));
    for (const FieldDef& field : visitsDef().fields)
        visits.addField(field);
    visits.setExclusive(operation == QLatin1String("empty exclusive"));
    const QString error = errorOf([&] {
        if (operation == QLatin1String("open"))
            visits.open();
        else
            visits.emptyTable();
    });
    QVERIFY2(error.contains(path) && error.contains(QStringLiteral("FECHA")), qPrintable(error));
    QVERIFY(!visits.active());
    QCOMPARE(digest(path), before);
    QVERIFY(!QFileInfo::exists(path + QStringLiteral("-journal")));
}

void TestFiles::aliasFile()
{
    testsupport::TempFolder folder(QStringLiteral("OTRO"));
    const QString file = folder.filePath(QStringLiteral("sub/alias.conf"));
    AliasRegistry registry(file);
    QVERIFY(!registry.folderOf(QStringLiteral("HLR10")));
    registry.setFolder(QStringLiteral("HLR10"), QStringLiteral("/datos/con, coma y 100%"));
    registry.setFolder(QStringLiteral("OTRO"), QStringLiteral("/otro"));
    registry.setFolder(QStringLiteral("HLR10"), QStringLiteral("/datos/nuevo, sitio"));
    QCOMPARE(registry.folderOf(QStringLiteral("HLR10")),
        std::optional<QString>(QStringLiteral("/datos/nuevo, sitio")));
    QCOMPARE(registry.folderOf(QStringLiteral("hlr10")),
        std::optional<QString>(QStringLiteral("/datos/nuevo, sitio")));
    QCOMPARE(registry.folderOf(QStringLiteral("OTRO")), std::optional<QString>(QStringLiteral("/otro")));
    QFile in(file);
    QVERIFY(in.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(in.readAll()),
        QStringLiteral("[HLR10]\npath=/datos/nuevo, sitio\n\n[OTRO]\npath=/otro\n"));
}

void TestFiles::aliasRewriteKeepsOtherLines_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    // "\xe9" is a Latin-1 letter another program wrote: not UTF-8.
    QTest::newRow("entry replaced") << QByteArray(
        "# mis datos\n[OTRO]\npath=/d\xe9p\xf4t\n\n[HLR10]\npath=/viejo\n"
        "color=verde\n\n\n")
                                    << QByteArray(
                                           "# mis datos\n[OTRO]\npath=/d\xe9p\xf4t\n\n[HLR10]\npath=/nuevo\n"
                                           "color=verde\n\n\n");
    QTest::newRow("CRLF lines") << QByteArray("[OTRO]\r\npath=/d\xe9p\r\n[hlr10]\r\n  PATH = /viejo \r\n")
                                << QByteArray("[OTRO]\r\npath=/d\xe9p\r\n[hlr10]\r\npath=/nuevo\r\n");
    QTest::newRow("no final line break")
        << QByteArray("[HLR10]\npath=/viejo") << QByteArray("[HLR10]\npath=/nuevo");
    QTest::newRow("section without path")
        << QByteArray("[HLR10]\ncolor=verde\n[OTRO]\npath=/d\xe9p\n")
        << QByteArray("[HLR10]\npath=/nuevo\ncolor=verde\n[OTRO]\npath=/d\xe9p\n");
    QTest::newRow("alias added") << QByteArray("[OTRO]\npath=/d\xe9p\n")
                                 << QByteArray("[OTRO]\npath=/d\xe9p\n\n[HLR10]\npath=/nuevo\n");
}

void TestFiles::aliasRewriteKeepsOtherLines()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    testsupport::TempFolder folder(QStringLiteral("OTRO"));
    const QString file = folder.filePath(QStringLiteral("alias.conf"));
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(before);
    out.close();
    AliasRegistry(file).setFolder(QStringLiteral("HLR10"), QStringLiteral("/nuevo"));
    QFile in(file);
    QVERIFY(in.open(QIODevice::ReadOnly));
    QCOMPARE(in.readAll(), after);
    QCOMPARE(AliasRegistry(file).folderOf(QStringLiteral("HLR10")),
        std::optional<QString>(QStringLiteral("/nuevo")));
}

void TestFiles::aliasRefusesFoldersItCannotHold()
{
    testsupport::TempFolder folder(QStringLiteral("OTRO"));
    const QString file = folder.filePath(QStringLiteral("alias.conf"));
    AliasRegistry registry(file);
    registry.setFolder(QStringLiteral("HLR10"), QStringLiteral("/datos"));
    QFile in(file);
    QVERIFY(in.open(QIODevice::ReadOnly));
    const QByteArray before = in.readAll();
    for (const QString& bad :
        { QStringLiteral("/datos "), QStringLiteral("/datos\n"), QStringLiteral("/da\ntos"),
            QStringLiteral("/datos\r"), QStringLiteral("\t/datos"), QString() }) {
        QVERIFY2(!AliasRegistry::canHold(bad), qPrintable(bad));
        QVERIFY2(errorOf([&] { registry.setFolder(QStringLiteral("HLR10"), bad); }).contains(file),
            qPrintable(bad));
        QVERIFY(in.seek(0));
        QCOMPARE(in.readAll(), before);
    }
    // Blanks and other characters inside the name read back as written.
    for (const QString& good :
        { QStringLiteral("/mis datos/ perro"), QStringLiteral("/da\ttos"), QStringLiteral("/da\rtos") }) {
        QVERIFY(AliasRegistry::canHold(good));
        registry.setFolder(QStringLiteral("HLR10"), good);
        QCOMPARE(registry.folderOf(QStringLiteral("HLR10")), std::optional<QString>(good));
    }
}

void TestFiles::aliasDefaultFile()
{
    const QByteArray aliases = qgetenv("HLR_ALIASES");
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    qputenv("HLR_ALIASES", "/a/b.conf");
    QCOMPARE(AliasRegistry::defaultFile(), QStringLiteral("/a/b.conf"));
    qunsetenv("HLR_ALIASES");
    qputenv("XDG_CONFIG_HOME", "/xdg");
    QCOMPARE(AliasRegistry::defaultFile(), QStringLiteral("/xdg/huellario/aliases.conf"));
    qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(
        AliasRegistry::defaultFile(), QDir::homePath() + QStringLiteral("/.config/huellario/aliases.conf"));
    qputenv("HLR_ALIASES", aliases);
    qputenv("XDG_CONFIG_HOME", config);
}

void TestFiles::databaseOpenErrors()
{
    testsupport::TempFolder folder(QStringLiteral("OTRO"));
    Database missingAlias(QStringLiteral("DbGeneral"), QStringLiteral("HLR10"));
    QVERIFY(errorOf([&] { missingAlias.open(); }).contains(QStringLiteral("HLR10")));
    QVERIFY(!missingAlias.connected());

    AliasRegistry().setFolder(QStringLiteral("HLR10"), folder.filePath(QStringLiteral("no-existe")));
    Database missingFolder(QStringLiteral("DbGeneral"), QStringLiteral("HLR10"));
    QVERIFY(errorOf([&] { missingFolder.open(); }).contains(folder.filePath(QStringLiteral("no-existe"))));

    AliasRegistry().setFolder(QStringLiteral("HLR10"), folder.path());
    Database good(QStringLiteral("DbGeneral"), QStringLiteral("HLR10"));
    good.open();
    QVERIFY(good.connected());
    QCOMPARE(good.filePath(QStringLiteral("FICMAES.DB")), folder.filePath(QStringLiteral("FICMAES.DB")));
    // A table file that is missing is an error naming it, and is not created.
    Table pets(good, QStringLiteral("TablaMascotas"), QStringLiteral("FICMAES.DB"));
    QVERIFY(errorOf([&] { pets.open(); }).contains(folder.filePath(QStringLiteral("FICMAES.DB"))));
    QVERIFY(!QFileInfo::exists(folder.filePath(QStringLiteral("FICMAES.DB"))));
}

QTEST_MAIN(TestFiles)
#include "tst_Files.moc"
