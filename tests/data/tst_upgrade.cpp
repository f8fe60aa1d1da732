// Upgrading a data folder of the first release's format: the data comes over
// whole, names order as a Spanish reader expects, the stock sqlite3 client
// still checks the files, and an interruption at any point leaves the folder
// as it was or wholly upgraded.
#include "SqliteFile.h"
#include "support/TempFolder.h"
#include "support/TestPaths.h"

#include "data/ModGen.h"
#include "data/schema/Schema.h"
#include "data/schema/Upgrade.h"
#include "engine/AliasRegistry.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Table.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <map>

namespace {

// The first release's nine files, from the frozen statements, with a few
// records of each kind; names in capitals and small letters, with accents.
void writeFormatOne(const QString& folder)
{
    QFile sql(QStringLiteral(HLR_TEST_DATA_DIR "/format1.sql"));
    if (!sql.open(QIODevice::ReadOnly))
        qFatal("no format1.sql");
    const QStringList sections = QString::fromUtf8(sql.readAll()).split(QStringLiteral("-- FILE "));
    const std::map<QString, QStringList> rows {
        { QStringLiteral("FICMAES.DB"),
            { QStringLiteral(
                  "INSERT INTO FICMAES (CODIGO, NOM_FAMI, ESPECIE) VALUES ('0000001', 'LUNA', 'PERROS')"),
                QStringLiteral("INSERT INTO FICMAES (CODIGO, NOM_FAMI) VALUES ('0000002', 'Ñico')") } },
        { QStringLiteral("ESPECIES.db"), { QStringLiteral("INSERT INTO ESPECIES VALUES ('1', 'PERROS')") } },
        { QStringLiteral("RAZAS.DB"),
            { QStringLiteral(
                "INSERT INTO RAZAS (RAZA, ESPECIE) VALUES ('ÉPAGNEUL BRETÓN', '1'), ('AKITA', '1'), "
                "('ZWERGSPITZ', '1'), ('ÁRABE', '1'), ('BEAGLE', '1')") } },
        { QStringLiteral("ALBUM.DB"),
            { QStringLiteral("INSERT INTO ALBUM (CODIGO, CARPETA, DESCRIPCION, ADJUST) VALUES ('0000001', "
                             "'/fotos/luna.jpg', 'EN LA PLAYA', 1)") } },
        { QStringLiteral("SANIDAD.db"),
            { QStringLiteral("INSERT INTO SANIDAD (CODIGO, FECHA, DESCRIPCIO, CLINICA) VALUES "
                             "('0000001', '2024-03-01', 'VACUNACIÓN', 'ZOOVET'), "
                             "('0000001', '2024-01-10', 'ÁCAROS', 'CLÍNICA ÉLITE'), "
                             "('0000001', '2024-02-11', 'ÚLCERA', NULL), "
                             "('0000001', '2023-12-01', 'consulta', NULL), "
                             "('0000001', '2023-11-01', 'ESTERILIZACIÓN', NULL), "
                             "('0000002', '2024-04-04', 'REVISIÓN', NULL)") } },
        { QStringLiteral("VETERIN.DB"),
            { QStringLiteral(
                "INSERT INTO VETERIN (CLINICA, VETERINARIO, EMAIL) VALUES "
                "('CLÍNICA ÉLITE', 'DRA. NÚÑEZ', 'elite@clinica.example'), ('ZOOVET', 'DR. PÉREZ', NULL), "
                "('clinica minusculas', NULL, NULL), ('ÁGUILA REAL', NULL, NULL), "
                "('ÑANDÚ', NULL, NULL), ('NUTRIA', NULL, NULL), ('OSO', NULL, NULL)") } },
        { QStringLiteral("VACUNAS.db"),
            { QStringLiteral(
                "INSERT INTO VACUNAS (CODIGO, RABIA, FECHA_4) VALUES ('0000001', 1, '2024-05-05')") } },
        { QStringLiteral("AVISOS.DB"),
            { QStringLiteral("INSERT INTO AVISOS VALUES ('2024-06-01', '2024-06-30', 'DESPARASITAR', 'CADA "
                             "MES', NULL)") } },
        { QStringLiteral("INIAVIS.DB"), {} },
    };
    for (const QString& section : sections.mid(1)) {
        const qsizetype lineEnd = section.indexOf(QLatin1Char('\n'));
        const QString file = section.left(lineEnd).trimmed();
        SqliteFile db(QDir(folder).filePath(file), true, true);
        for (const QString& statement : section.mid(lineEnd).split(QLatin1Char(';'), Qt::SkipEmptyParts))
            if (!statement.trimmed().isEmpty() && !statement.trimmed().startsWith(QLatin1String("--")))
                db.exec(statement);
        for (const QString& statement : rows.at(file))
            db.exec(statement);
    }
}

// Every row of every table, by file, in stored order.
std::map<QString, std::vector<QVariantList>> contents(const QString& folder)
{
    std::map<QString, std::vector<QVariantList>> all;
    for (const engine::TableDef& def : schema::tables())
        all[def.fileName]
            = SqliteFile(QDir(folder).filePath(def.fileName))
                  .rows(QStringLiteral("SELECT * FROM \"%1\" ORDER BY rowid").arg(def.tableName));
    return all;
}

std::map<QString, int> versions(const QString& folder)
{
    std::map<QString, int> all;
    for (const engine::TableDef& def : schema::tables())
        all[def.fileName] = SqliteFile(QDir(folder).filePath(def.fileName))
                                .value(QStringLiteral("PRAGMA user_version"))
                                .toInt();
    return all;
}

// What the stock client says of a file.
QString clientCheck(const QString& path, const QString& sql)
{
    QProcess client;
    client.start(QStringLiteral(HLR_SQLITE3), { path, sql });
    client.waitForFinished(30000);
    return QString::fromUtf8(client.readAllStandardOutput()).trimmed();
}

// The reasons or names of a table in the order of its index, through the engine.
QStringList inOrder(
    const QString& aliasFile, const QString& fileName, const QString& index, const QString& field)
{
    qputenv("HLR_ALIASES", QFile::encodeName(aliasFile));
    engine::Database db(QStringLiteral("DbPrueba"), QStringLiteral("HLR10"));
    db.open();
    engine::Table table(db, QStringLiteral("Tabla"), fileName);
    table.setIndexName(index);
    table.open();
    QStringList values;
    for (const QVariantList& row : table.readRows(0, table.recordCount(), { field }))
        values << row.value(0).toString();
    return values;
}

QStringList hiddenFiles(const QString& folder)
{
    return QDir(folder)
        .entryList(QDir::Files | QDir::Hidden | QDir::System)
        .filter(QRegularExpression(QStringLiteral("^\\.")));
}

} // namespace

class TestUpgrade : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testsupport::TempFolder> m_folder;
    QString data() const { return m_folder->filePath(QStringLiteral("datos")); }
    QString copies() const { return m_folder->filePath(QStringLiteral("copias")); }

private slots:
    void init()
    {
        m_folder = std::make_unique<testsupport::TempFolder>();
        QVERIFY(QDir().mkpath(data()));
        writeFormatOne(data());
        engine::AliasRegistry(m_folder->aliasFile()).setFolder(QStringLiteral("HLR10"), data());
    }

    void upgradesAFolderWithItsData()
    {
        const auto before = contents(data());
        const schema::FolderFormat format = schema::folderFormat(data());
        QCOMPARE(format.oldest, 1);
        QCOMPARE(format.tables, 9);

        const schema::UpgradeResult result = schema::upgradeFolder(data(), copies());
        QCOMPARE(result.from, 1);
        QCOMPARE(result.to, schema::currentFormat);
        for (const auto& [file, version] : versions(data()))
            QCOMPARE(version, schema::currentFormat);
        QCOMPARE(contents(data()), before);
        QVERIFY(hiddenFiles(data()).isEmpty());

        // The copy is the folder as it was.
        QVERIFY(result.copy.startsWith(copies()));
        QCOMPARE(contents(result.copy), before);
        for (const auto& [file, version] : versions(result.copy))
            QCOMPARE(version, 0);

        // The stock client checks the new indexes and reads the tables.
        for (const engine::TableDef& def : schema::tables())
            QCOMPARE(
                clientCheck(QDir(data()).filePath(def.fileName), QStringLiteral("PRAGMA integrity_check")),
                QStringLiteral("ok"));
        QCOMPARE(clientCheck(QDir(data()).filePath(QStringLiteral("VETERIN.DB")),
                     QStringLiteral("SELECT count(*) FROM VETERIN")),
            QStringLiteral("7"));

        // Names and reasons now in the Spanish order.
        QCOMPARE(inOrder(m_folder->aliasFile(), QStringLiteral("SANIDAD.db"),
                     QStringLiteral("SANIDAD_CODIGO_DESCRIPCIO"), QStringLiteral("DESCRIPCIO")),
            (QStringList { "ÁCAROS", "consulta", "ESTERILIZACIÓN", "ÚLCERA", "VACUNACIÓN", "REVISIÓN" }));
        QCOMPARE(inOrder(m_folder->aliasFile(), QStringLiteral("VETERIN.DB"),
                     QStringLiteral("VETERIN_CLINICA"), QStringLiteral("CLINICA")),
            (QStringList {
                "ÁGUILA REAL", "CLÍNICA ÉLITE", "clinica minusculas", "NUTRIA", "ÑANDÚ", "OSO", "ZOOVET" }));
        QCOMPARE(inOrder(m_folder->aliasFile(), QStringLiteral("RAZAS.DB"), QStringLiteral("RAZAS_RAZA"),
                     QStringLiteral("RAZA")),
            (QStringList { "AKITA", "ÁRABE", "BEAGLE", "ÉPAGNEUL BRETÓN", "ZWERGSPITZ" }));

        // A second run finds nothing to do and makes no copy.
        const schema::UpgradeResult again = schema::upgradeFolder(data(), copies());
        QVERIFY(again.copy.isEmpty());
        QCOMPARE(QDir(copies()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
    }

    // The process is killed at every point an interruption could fall; the
    // folder is then settled, as the program and the setup tool do first.
    void interruptedAnywhereLeavesTheFolderOldOrNew()
    {
        const auto before = contents(data());
        const QString pristine = m_folder->filePath(QStringLiteral("original"));
        QVERIFY(QDir().mkpath(pristine));
        for (const engine::TableDef& def : schema::tables())
            QVERIFY(QFile::copy(QDir(data()).filePath(def.fileName), QDir(pristine).filePath(def.fileName)));

        int old = 0;
        int upgraded = 0;
        for (int point = 1;; ++point) {
            for (const engine::TableDef& def : schema::tables()) {
                QFile::remove(QDir(data()).filePath(def.fileName));
                QVERIFY(
                    QFile::copy(QDir(pristine).filePath(def.fileName), QDir(data()).filePath(def.fileName)));
            }
            QProcess child;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("HLR_TEST_UPGRADE_KILL"), QString::number(point));
            child.setProcessEnvironment(environment);
            child.start(
                QCoreApplication::applicationFilePath(), { QStringLiteral("--upgrade"), data(), copies() });
            QVERIFY(child.waitForFinished(60000));
            const bool killed = child.exitStatus() == QProcess::CrashExit;
            if (!killed)
                QCOMPARE(child.exitCode(), 0);

            schema::settleUpgrade(data());
            QVERIFY2(hiddenFiles(data()).isEmpty(), qPrintable(hiddenFiles(data()).join(QLatin1Char(' '))));
            const auto found = versions(data());
            const int first = found.begin()->second;
            for (const auto& [file, version] : found)
                QVERIFY2(version == first,
                    qPrintable(QStringLiteral("kill point %1: %2 at %3, %4 at %5")
                                   .arg(point)
                                   .arg(found.begin()->first)
                                   .arg(first)
                                   .arg(file)
                                   .arg(version)));
            QCOMPARE(contents(data()), before);
            (first == schema::currentFormat ? upgraded : old)++;
            if (!killed)
                break;
            // Whatever the interruption left, the next run finishes the work.
            if (first != schema::currentFormat) {
                schema::upgradeFolder(data(), copies());
                QCOMPARE(versions(data()).begin()->second, schema::currentFormat);
            }
        }
        qInfo("%d kill points: %d left the folder as it was, %d upgraded", old + upgraded - 1, old,
            upgraded - 1);
        QVERIFY(old > 9 && upgraded > 9);
    }

    // A table open in a program, or a file of a newer format: nothing moves.
    void busyOrNewerFolderIsLeftAlone()
    {
        const auto before = contents(data());
        {
            engine::Database db(QStringLiteral("DbPrueba"), QStringLiteral("HLR10"));
            qputenv("HLR_ALIASES", QFile::encodeName(m_folder->aliasFile()));
            db.open();
            engine::Table open(db, QStringLiteral("TablaAbierta"), QStringLiteral("AVISOS.DB"));
            open.open();
            try {
                schema::upgradeFolder(data(), copies());
                QFAIL("upgraded a folder with a table open");
            } catch (const engine::EngineError& error) {
                QVERIFY2(error.message().contains(QStringLiteral("ocupada")), qPrintable(error.message()));
            }
        }
        // A damaged file is named, and nothing copied.
        {
            QFile damaged(QDir(data()).filePath(QStringLiteral("INIAVIS.DB")));
            QVERIFY(damaged.open(QIODevice::ReadWrite));
            const QByteArray kept = damaged.readAll();
            damaged.seek(0);
            damaged.write("esto no es una tabla");
            damaged.close();
            try {
                schema::upgradeFolder(data(), copies());
                QFAIL("upgraded a folder with a damaged file");
            } catch (const engine::EngineError& error) {
                QVERIFY2(error.message().contains(QStringLiteral("INIAVIS.DB")), qPrintable(error.message()));
            }
            QVERIFY(!QDir(copies()).exists() || QDir(copies()).isEmpty());
            QVERIFY(damaged.open(QIODevice::WriteOnly));
            damaged.write(kept);
        }
        SqliteFile(QDir(data()).filePath(QStringLiteral("ALBUM.DB")), true)
            .exec(QStringLiteral("PRAGMA user_version = 9"));
        try {
            schema::upgradeFolder(data(), copies());
            QFAIL("upgraded a folder with a newer file");
        } catch (const engine::EngineError& error) {
            QVERIFY2(error.message().contains(QStringLiteral("ALBUM.DB"))
                    && error.message().contains(QStringLiteral("formato 9")),
                qPrintable(error.message()));
        }
        QCOMPARE(contents(data()), before);
        QVERIFY(hiddenFiles(data()).isEmpty());
        QCOMPARE(versions(data()).at(QStringLiteral("SANIDAD.db")), 0);
    }

    // The setup tool's --actualizar, on the folder HLR10 names.
    void setupToolUpgrades()
    {
        const auto before = contents(data());
        const auto run = [&](const QStringList& arguments) {
            QProcess tool;
            tool.start(QStringLiteral(HLR_BIN_DIR "/huellario-setup"), arguments);
            tool.waitForFinished(60000);
            return std::pair { tool.exitCode(),
                QString::fromUtf8(tool.readAllStandardOutput() + tool.readAllStandardError()) };
        };
        const QStringList arguments { QStringLiteral("--actualizar"), QStringLiteral("--aliases"),
            m_folder->aliasFile() };
        const auto [code, said] = run(arguments);
        QCOMPARE(code, 0);
        QVERIFY2(said.contains(QStringLiteral("actualizadas del formato 1 al %1").arg(schema::currentFormat)),
            qPrintable(said));
        QCOMPARE(versions(data()).at(QStringLiteral("FICMAES.DB")), schema::currentFormat);
        QCOMPARE(contents(data()), before);
        const auto [again, saidAgain] = run(arguments);
        QCOMPARE(again, 0);
        QVERIFY2(saidAgain.contains(QStringLiteral("no hay nada que actualizar")), qPrintable(saidAgain));
        const auto [missing, saidMissing] = run({ QStringLiteral("--actualizar"), QStringLiteral("--dir"),
            m_folder->filePath(QStringLiteral("nada")) });
        QCOMPARE(missing, 3);
        QVERIFY2(
            saidMissing.contains(QStringLiteral("No existe la carpeta de datos")), qPrintable(saidMissing));
    }

    // The program's data module opens only a folder of its own format.
    void dataModuleRefusesOtherFormats()
    {
        qputenv("HLR_ALIASES", QFile::encodeName(m_folder->aliasFile()));
        try {
            TModuloGeneral module;
            QFAIL("opened a folder of the first format");
        } catch (const engine::EngineError& error) {
            QVERIFY2(error.message().contains(QStringLiteral("versión anterior"))
                    && error.message().contains(QStringLiteral("huellario-setup --actualizar")),
                qPrintable(error.message()));
        }
        schema::upgradeFolder(data(), copies());
        {
            TModuloGeneral module;
        }
        SqliteFile(QDir(data()).filePath(QStringLiteral("VACUNAS.db")), true)
            .exec(QStringLiteral("PRAGMA user_version = 3"));
        try {
            TModuloGeneral module;
            QFAIL("opened a folder of a newer format");
        } catch (const engine::EngineError& error) {
            QVERIFY2(error.message().contains(QStringLiteral("VACUNAS.db"))
                    && error.message().contains(QStringLiteral("más reciente")),
                qPrintable(error.message()));
        }
    }
};

int main(int argc, char** argv)
{
    // The child of the interruption test: one upgrade, killed where the
    // environment says.
    if (argc == 4 && qstrcmp(argv[1], "--upgrade") == 0) {
        QCoreApplication application(argc, argv);
        try {
            schema::upgradeFolder(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
            return 0;
        } catch (const engine::EngineError& error) {
            std::fprintf(stderr, "%s\n", qPrintable(error.message()));
            return 3;
        }
    }
    QApplication application(argc, argv);
    TestUpgrade test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_upgrade.moc"
