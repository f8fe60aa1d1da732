// The data installation tool, run as a process: the files and their schema,
// the initial contents, the alias entry, the refusal to overwrite and
// --if-missing.
#include "FailureWindow.h"
#include "SqliteFile.h"
#include "support/TestPaths.h"

#include "engine/FieldDef.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QStringList kFiles
    = { QStringLiteral("FICMAES.DB"), QStringLiteral("ESPECIES.db"), QStringLiteral("RAZAS.DB"),
          QStringLiteral("ALBUM.DB"), QStringLiteral("SANIDAD.db"), QStringLiteral("VETERIN.DB"),
          QStringLiteral("VACUNAS.db"), QStringLiteral("AVISOS.DB"), QStringLiteral("INIAVIS.DB") };

QString describe(const engine::FieldDef& f)
{
    switch (f.kind) {
    case engine::FieldKind::Text:
        return QStringLiteral("%1 text(%2)").arg(f.name).arg(f.size);
    case engine::FieldKind::Date:
        return f.name + QStringLiteral(" date");
    case engine::FieldKind::Time:
        return f.name + QStringLiteral(" time");
    case engine::FieldKind::Logical:
        return f.name + QStringLiteral(" logical");
    case engine::FieldKind::Counter:
        return f.name + QStringLiteral(" counter");
    case engine::FieldKind::Memo:
        return f.name + QStringLiteral(" memo");
    }
    return {};
}

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray contentsOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestSetup : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_tmp;

    QString path(const QString& name) const { return m_tmp->filePath(name); }
    QString aliasFile() const { return path(QStringLiteral("config/aliases.conf")); }
    QString defaultFolder() const { return path(QStringLiteral("xdg-data/huellario")); }

    Run run(const QStringList& args) const
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HLR_ALIASES"), aliasFile());
        env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("xdg-data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("xdg-config")));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(m_tmp->path());
        p.start(QStringLiteral(HLR_BIN_DIR "/huellario-setup"), args);
        if (!p.waitForFinished(60000))
            return {};
        return { p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError()) };
    }

    QString registeredFolder() const
    {
        return QSettings(aliasFile(), QSettings::IniFormat).value(QStringLiteral("HLR10/path")).toString();
    }

    void registerFolder(const QString& folder) const
    {
        QSettings s(aliasFile(), QSettings::IniFormat);
        s.setValue(QStringLiteral("HLR10/path"), folder);
    }

    // Installs into the default folder and fails the test if that fails.
    QString installDefault()
    {
        const Run r = run({});
        if (r.exitCode != 0)
            qWarning() << r.err;
        return r.exitCode == 0 ? defaultFolder() : QString();
    }

private slots:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
    }

    void installsTheNineFilesAndTheAlias()
    {
        const Run r = run({});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        QVERIFY(!r.out.isEmpty());

        // Only the nine files: no staging folder or journal is left behind.
        QStringList expected = kFiles;
        expected.sort();
        QStringList actual = filesIn(defaultFolder());
        actual.sort();
        QCOMPARE(actual, expected);

        QCOMPARE(registeredFolder(), defaultFolder());
    }

    void schemaOfEveryTable_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("fields");

        QTest::newRow("FICMAES.DB")
            << "FICMAES.DB"
            << QStringList { "CONTADOR counter", "CODIGO text(7)", "SEXO text(1)", "GRUPO text(5)",
                   "FEC_NAC date", "CRIADOR text(40)", "PROPIETARI text(40)", "N_LOE text(25)",
                   "TATUAJE text(8)", "MEMORIA memo", "PADRE text(40)", "PADRE_L text(23)",
                   "ABO_PAD text(40)", "ABO_PAD_L text(23)", "ABA_PAD text(40)", "ABA_PAD_L text(23)",
                   "BO_ABO_P text(40)", "BO_ABO_P_L text(23)", "BA_ABO_P text(40)", "BA_ABO_P_L text(23)",
                   "BO_ABA_P text(40)", "BO_ABA_P_L text(23)", "BA_ABA_P text(40)", "BA_ABA_P_L text(23)",
                   "MADRE text(40)", "MADRE_L text(23)", "ABO_MAD text(40)", "ABO_MAD_L text(23)",
                   "ABA_MAD text(40)", "ABA_MAD_L text(23)", "BO_ABO_M text(40)", "BO_ABO_M_L text(23)",
                   "BA_ABO_M text(40)", "BA_ABO_M_L text(23)", "BO_ABA_M text(40)", "BO_ABA_M_L text(23)",
                   "BA_ABA_M text(40)", "BA_ABA_M_L text(23)", "DEFINE1 text(40)", "DEFINE2 text(40)",
                   "ESPECIE text(25)", "RAZA text(30)", "COLOR text(50)", "NOM_OFICIA text(50)",
                   "NOM_FAMI text(50)", "PELO text(50)", "CHIP text(30)", "GRANDE logical", "MEDIANO logical",
                   "PEQUENO logical" };
        QTest::newRow("ESPECIES.db") << "ESPECIES.db"
                                     << QStringList { "CODIGO text(1)", "DESCRIPCION text(25)" };
        QTest::newRow("RAZAS.DB") << "RAZAS.DB"
                                  << QStringList { "CONTADOR counter", "RAZA text(30)", "ESPECIE text(1)" };
        QTest::newRow("ALBUM.DB") << "ALBUM.DB"
                                  << QStringList { "CONTADOR counter", "CODIGO text(7)", "CARPETA text(100)",
                                         "DESCRIPCION text(50)", "ADJUST logical" };
        QTest::newRow("SANIDAD.db") << "SANIDAD.db"
                                    << QStringList { "CONTADOR counter", "CODIGO text(7)", "FECHA date",
                                           "DESCRIPCIO text(50)", "OBSERVA1 text(50)", "OBSERVA2 text(50)",
                                           "MEDICACION text(50)", "VETERINARIO text(50)",
                                           "TRATAMIENTO text(50)", "PROX_VISITA date", "CLINICA text(50)" };
        QTest::newRow("VETERIN.DB") << "VETERIN.DB"
                                    << QStringList { "CONTADOR counter", "CLINICA text(50)",
                                           "VETERINARIO text(50)", "DOMICILIO text(50)", "LOCALIDAD text(50)",
                                           "TELF1 text(15)", "TELF2 text(15)", "NIF text(15)",
                                           "OBSERV1 text(50)", "OBSERV2 text(50)", "CODPOSTAL text(15)",
                                           "PROVINCIA text(40)", "MOVIL text(15)", "EMAIL text(50)",
                                           "WEB text(50)" };
        QTest::newRow("VACUNAS.db") << "VACUNAS.db"
                                    << QStringList { "CODIGO text(7)", "MOQUILLO_TRIVALENTE logical",
                                           "PARVOVIROSI_LEUCEMIA logical", "POLIVALENTE_LEUCEMIA logical",
                                           "RABIA logical", "OTRAS logical", "OTRAS2 logical", "FECHA_1 date",
                                           "FECHA_2 date", "FECHA_3 date", "FECHA_4 date", "FECHA_5 date",
                                           "FECHA_6 date" };
        QTest::newRow("AVISOS.DB") << "AVISOS.DB"
                                   << QStringList { "INICIO date", "FIN date", "CONCEPTO text(50)",
                                          "OBSERVA1 text(50)", "OBSERVA2 text(50)" };
        // The stored table carries CONTADOR besides the declared fields.
        QTest::newRow("INIAVIS.DB") << "INIAVIS.DB"
                                    << QStringList { "CONTADOR counter", "TIPO text(5)", "INICIO date",
                                           "FINAL date", "NOMBRE_CONCEPTO text(50)", "HORA_INI time",
                                           "HORA_FIN time" };
    }

    void schemaOfEveryTable()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, fields);
        const QString folder = installDefault();
        QVERIFY(!folder.isEmpty());
        const QString filePath = QDir(folder).filePath(file);

        // As the engine reads it back: names, kinds and sizes in order.
        const engine::TableDef def = engine::readTableDef(filePath);
        QCOMPARE(def.fileName, file);
        QCOMPARE(def.tableName, QFileInfo(file).baseName());
        QStringList actual;
        for (const engine::FieldDef& f : def.fields)
            actual << describe(f);
        QCOMPARE(actual, fields);

        // As the sqlite3 client sees it: one table named after the file,
        // with the columns in the same order.
        const SqliteFile db(filePath);
        const auto tables = db.rows(
            QStringLiteral("SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%'"));
        QCOMPARE(int(tables.size()), 1);
        QCOMPARE(tables.front().front().toString(), def.tableName);
        QStringList columns;
        for (const QVariantList& row :
            db.rows(QStringLiteral("PRAGMA table_info(\"%1\")").arg(def.tableName)))
            columns << row.at(1).toString();
        QStringList expectedNames;
        for (const QString& f : fields)
            expectedNames << f.section(QLatin1Char(' '), 0, 0);
        QCOMPARE(columns, expectedNames);
    }

    void indexes_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("name"); // empty where any name will do
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("spanish"); // key fields in the Spanish order

        QTest::newRow("FICMAES.DB") << "FICMAES.DB"
                                    << "CODIGO" << QStringList { "CODIGO" } << QStringList {};
        QTest::newRow("VACUNAS.db") << "VACUNAS.db"
                                    << "VACUNAS_COD" << QStringList { "CODIGO" } << QStringList {};
        QTest::newRow("ESPECIES.db") << "ESPECIES.db"
                                     << "" << QStringList { "CODIGO" } << QStringList {};
        QTest::newRow("RAZAS.DB") << "RAZAS.DB"
                                  << "" << QStringList { "RAZA" } << QStringList { "RAZA" };
        QTest::newRow("ALBUM.DB") << "ALBUM.DB"
                                  << "" << QStringList { "CODIGO" } << QStringList {};
        QTest::newRow("VETERIN.DB") << "VETERIN.DB"
                                    << "" << QStringList { "CLINICA" } << QStringList { "CLINICA" };
        QTest::newRow("AVISOS.DB") << "AVISOS.DB"
                                   << "" << QStringList { "INICIO" } << QStringList {};
        QTest::newRow("INIAVIS.DB") << "INIAVIS.DB"
                                    << "" << QStringList { "CONTADOR" } << QStringList {};
        QTest::newRow("SANIDAD.db") << "SANIDAD.db"
                                    << "" << QStringList { "CODIGO", "DESCRIPCIO" }
                                    << QStringList { "DESCRIPCIO" };
    }

    void indexes()
    {
        QFETCH(QString, file);
        QFETCH(QString, name);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, spanish);
        const QString folder = installDefault();
        QVERIFY(!folder.isEmpty());
        const QString filePath = QDir(folder).filePath(file);

        const engine::TableDef def = engine::readTableDef(filePath);
        const engine::IndexDef* found = nullptr;
        for (const engine::IndexDef& index : def.indexes) {
            QStringList indexFields;
            for (const engine::IndexField& f : index.fields)
                indexFields << f.field;
            if (indexFields == fields && (name.isEmpty() || index.name == name))
                found = &index;
        }
        QVERIFY2(found, qPrintable(QStringLiteral("no index on %1").arg(fields.join(QLatin1Char(',')))));
        for (const engine::IndexField& f : found->fields)
            QCOMPARE(f.order == engine::TextOrder::Spanish, spanish.contains(f.field));
        QCOMPARE(def.formatVersion, 2);

        // The index is a real SQLite index: a plain column, or the Spanish
        // key computed from it (an expression, which SQLite names -2).
        const SqliteFile db(filePath);
        int columns = 0;
        int expressions = 0;
        for (const QVariantList& row :
            db.rows(QStringLiteral("PRAGMA index_xinfo(\"%1\")").arg(found->name))) {
            if (row.at(5).toLongLong() != 1) // key columns only
                continue;
            ++columns;
            if (row.at(1).toLongLong() == -2)
                ++expressions;
            else
                QVERIFY(!spanish.contains(row.at(2).toString()));
        }
        QCOMPARE(columns, fields.size());
        QCOMPARE(expressions, spanish.size());
    }

    void initialContents()
    {
        const QString folder = installDefault();
        QVERIFY(!folder.isEmpty());

        const SqliteFile especies(QDir(folder).filePath(QStringLiteral("ESPECIES.db")));
        QHash<QString, QString> codeOf; // description -> code
        for (const QVariantList& row :
            especies.rows(QStringLiteral("SELECT CODIGO, DESCRIPCION FROM ESPECIES"))) {
            const QString code = row.at(0).toString();
            QCOMPARE(code.size(), 1);
            QVERIFY2(code.at(0).isLetter(), qPrintable(code));
            QVERIFY2(!codeOf.values().contains(code), qPrintable(QStringLiteral("code %1 twice").arg(code)));
            codeOf.insert(row.at(1).toString(), code);
        }
        for (const char* species : { "PERROS", "GATOS", "AVES", "ROEDORES", "REPTILES", "PECES", "OTROS" })
            QVERIFY2(codeOf.contains(QLatin1String(species)), species);

        const SqliteFile razas(QDir(folder).filePath(QStringLiteral("RAZAS.DB")));
        QHash<QString, QString> speciesOf; // breed -> code
        int dogsAndCats = 0;
        const auto breeds = razas.rows(QStringLiteral("SELECT RAZA, ESPECIE, CONTADOR FROM RAZAS"));
        QVERIFY2(breeds.size() >= 150, qPrintable(QString::number(breeds.size())));
        for (const QVariantList& row : breeds) {
            const QString breed = row.at(0).toString();
            QVERIFY2(!breed.isEmpty() && breed.size() <= 30, qPrintable(breed));
            QCOMPARE(breed, breed.toUpper());
            QCOMPARE(breed, breed.trimmed());
            QVERIFY2(!speciesOf.contains(breed), qPrintable(QStringLiteral("%1 twice").arg(breed)));
            QVERIFY2(codeOf.values().contains(row.at(1).toString()), qPrintable(breed));
            QVERIFY(row.at(2).toLongLong() > 0); // the counter was assigned
            speciesOf.insert(breed, row.at(1).toString());
            if (row.at(1) == codeOf.value(QStringLiteral("PERROS"))
                || row.at(1) == codeOf.value(QStringLiteral("GATOS")))
                ++dogsAndCats;
        }
        QVERIFY2(dogsAndCats * 2 > int(breeds.size()), "mostly dogs and cats");
        const QList<QPair<QString, QString>> samples
            = { { QStringLiteral("PASTOR ALEMAN"), QStringLiteral("PERROS") },
                  { QStringLiteral("GALGO ESPAÑOL"), QStringLiteral("PERROS") },
                  { QStringLiteral("PERSA"), QStringLiteral("GATOS") },
                  { QStringLiteral("SIAMES"), QStringLiteral("GATOS") },
                  { QStringLiteral("CANARIO"), QStringLiteral("AVES") },
                  { QStringLiteral("AGAPORNIS"), QStringLiteral("AVES") },
                  { QStringLiteral("HAMSTER SIRIO"), QStringLiteral("ROEDORES") } };
        for (const auto& [breed, species] : samples)
            QVERIFY2(speciesOf.value(breed) == codeOf.value(species), qPrintable(breed));

        const SqliteFile pets(QDir(folder).filePath(QStringLiteral("FICMAES.DB")));
        const auto petRows
            = pets.rows(QStringLiteral("SELECT CODIGO, NOM_FAMI, NOM_OFICIA FROM FICMAES ORDER BY CODIGO"));
        QCOMPARE(int(petRows.size()), 2);
        QCOMPARE(petRows[0].at(0).toString(), QStringLiteral("0000001"));
        QCOMPARE(petRows[1].at(0).toString(), QStringLiteral("0000002"));
        for (const QVariantList& row : petRows) {
            QVERIFY(row.at(1).isNull()); // an empty text is stored as NULL
            QVERIFY(row.at(2).isNull());
        }

        for (const char* empty : { "ALBUM", "SANIDAD", "VETERIN", "VACUNAS", "AVISOS", "INIAVIS" }) {
            const QString file
                = kFiles.filter(QRegularExpression(QStringLiteral("^%1\\.").arg(QLatin1String(empty))))
                      .value(0);
            const SqliteFile db(QDir(folder).filePath(file));
            QCOMPARE(
                db.value(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(empty))).toLongLong(),
                0);
        }
    }

    void explicitFolderAndAliasFile()
    {
        // A relative --dir is registered as an absolute path.
        const QString otherAliases = path(QStringLiteral("elsewhere/my aliases.conf"));
        const Run r = run({ QStringLiteral("--dir"), QStringLiteral("datos/mis mascotas"),
            QStringLiteral("--aliases=") + otherAliases });
        QCOMPARE(r.exitCode, 0);
        const QString folder = path(QStringLiteral("datos/mis mascotas"));
        QCOMPARE(filesIn(folder).size(), kFiles.size());
        QCOMPARE(QSettings(otherAliases, QSettings::IniFormat).value(QStringLiteral("HLR10/path")).toString(),
            folder);
        QVERIFY(!QFileInfo::exists(aliasFile()));
        QVERIFY(!QFileInfo::exists(defaultFolder()));
    }

    void refusesToOverwrite_data()
    {
        QTest::addColumn<QStringList>("existing");
        QTest::newRow("one table") << QStringList { "RAZAS.DB" };
        QTest::newRow("two tables") << QStringList { "FICMAES.DB", "INIAVIS.DB" };
        QTest::newRow("all nine") << kFiles;
    }

    void refusesToOverwrite()
    {
        QFETCH(QStringList, existing);
        const QString folder = path(QStringLiteral("data"));
        QVERIFY(QDir().mkpath(folder));
        for (const QString& name : existing) {
            QFile f(QDir(folder).filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("datos del usuario " + name.toUtf8());
        }
        registerFolder(path(QStringLiteral("older")));
        const QByteArray aliasesBefore = contentsOf(aliasFile());

        const Run r = run({ QStringLiteral("--dir"), folder });
        QVERIFY(r.exitCode > 0);
        for (const QString& name : existing)
            QVERIFY2(r.err.contains(name), qPrintable(r.err));
        for (const QString& name : kFiles)
            if (!existing.contains(name))
                QVERIFY2(!r.err.contains(name), qPrintable(r.err));

        // Nothing changed: the same files with the same bytes, the same alias.
        QStringList sortedExisting = existing;
        sortedExisting.sort();
        QCOMPARE(filesIn(folder), sortedExisting);
        for (const QString& name : existing)
            QCOMPARE(contentsOf(QDir(folder).filePath(name)), "datos del usuario " + name.toUtf8());
        QCOMPARE(contentsOf(aliasFile()), aliasesBefore);
    }

    void secondRunRefuses()
    {
        QVERIFY(!installDefault().isEmpty());
        const Run r = run({});
        QVERIFY(r.exitCode > 0);
        QVERIFY(r.err.contains(QStringLiteral("FICMAES.DB")));
    }

    void ifMissingLeavesAnInstalledFolderAlone()
    {
        const QString folder = installDefault();
        QVERIFY(!folder.isEmpty());
        {
            // A change of the user's that a re-installation would lose.
            SqliteFile pets(QDir(folder).filePath(QStringLiteral("FICMAES.DB")), true);
            pets.exec(QStringLiteral("UPDATE FICMAES SET NOM_FAMI='TOBY' WHERE CODIGO='0000001'"));
        }
        const QByteArray aliasesBefore = contentsOf(aliasFile());

        const Run r
            = run({ QStringLiteral("--if-missing"), QStringLiteral("--dir"), path(QStringLiteral("other")) });
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        QCOMPARE(r.out.trimmed().count(QLatin1Char('\n')), 0); // one line
        QVERIFY(r.out.contains(folder));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("other"))));
        QCOMPARE(contentsOf(aliasFile()), aliasesBefore);
        const SqliteFile pets(QDir(folder).filePath(QStringLiteral("FICMAES.DB")));
        QCOMPARE(pets.value(QStringLiteral("SELECT NOM_FAMI FROM FICMAES WHERE CODIGO='0000001'")).toString(),
            QStringLiteral("TOBY"));
    }

    void ifMissingInstalls_data()
    {
        QTest::addColumn<QString>("registered"); // relative to the temp folder; empty: no alias
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("expectedFolder");

        QTest::newRow("no alias: default folder") << "" << QStringList {} << "xdg-data/huellario";
        QTest::newRow("no alias: --dir") << "" << QStringList { "--dir", "chosen" } << "chosen";
        QTest::newRow("alias to a missing folder") << "registered" << QStringList {} << "registered";
        QTest::newRow("alias wins over --dir")
            << "registered" << QStringList { "--dir", "chosen" } << "registered";
    }

    void ifMissingInstalls()
    {
        QFETCH(QString, registered);
        QFETCH(QStringList, args);
        QFETCH(QString, expectedFolder);
        if (!registered.isEmpty())
            registerFolder(path(registered));

        const Run r = run(QStringList { QStringLiteral("--if-missing") } + args);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(filesIn(path(expectedFolder)).size(), kFiles.size());
        QCOMPARE(registeredFolder(), path(expectedFolder));
    }

    void ifMissingRefusesAPartialFolder()
    {
        const QString folder = path(QStringLiteral("partial"));
        QVERIFY(QDir().mkpath(folder));
        QFile f(QDir(folder).filePath(QStringLiteral("AVISOS.DB")));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        registerFolder(folder);

        const Run r = run({ QStringLiteral("--if-missing") });
        QVERIFY(r.exitCode > 0);
        QVERIFY(r.err.contains(QStringLiteral("AVISOS.DB")));
        QCOMPARE(filesIn(folder), QStringList { QStringLiteral("AVISOS.DB") });
    }

    void failureLeavesNothingBehind()
    {
        // The alias file cannot be written: a plain file stands where its
        // folder should be.
        QFile blocker(path(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString folder = path(QStringLiteral("data"));

        const Run bad = run({ QStringLiteral("--dir"), folder, QStringLiteral("--aliases"),
            path(QStringLiteral("blocker/aliases.conf")) });
        QVERIFY(bad.exitCode > 0);
        QVERIFY(!bad.err.isEmpty());
        QVERIFY(!QFileInfo::exists(folder));

        // Nothing blocks a retry with a usable alias file.
        const Run good = run({ QStringLiteral("--dir"), folder });
        QCOMPARE(good.exitCode, 0);
        QCOMPARE(filesIn(folder).size(), kFiles.size());
    }

    void refusesFolderNamesTheAliasFileCannotHold_data()
    {
        QTest::addColumn<QString>("dir"); // relative to the temp folder
        QTest::addColumn<QString>("shown"); // how the message writes it
        QTest::newRow("trailing blank") << "datos "
                                        << "datos »";
        QTest::newRow("trailing newline") << "datos\n"
                                          << "datos\\n»";
        QTest::newRow("newline inside") << "da\ntos"
                                        << "da\\ntos»";
        QTest::newRow("trailing tab") << "datos\t"
                                      << "datos\\t»";
    }

    void refusesFolderNamesTheAliasFileCannotHold()
    {
        QFETCH(QString, dir);
        QFETCH(QString, shown);
        registerFolder(path(QStringLiteral("older")));
        const QByteArray aliasesBefore = contentsOf(aliasFile());

        const Run r = run({ QStringLiteral("--dir"), path(dir) });
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(
            r.err.contains(shown) && r.err.contains(QStringLiteral("archivo de alias")), qPrintable(r.err));
        QCOMPARE(contentsOf(aliasFile()), aliasesBefore);
        QCOMPARE(registeredFolder(), path(QStringLiteral("older")));
        QVERIFY(!QFileInfo::exists(path(dir)));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("datos"))));
    }

    void blanksInsideTheFolderNameAreKept()
    {
        // A relative name that starts with a blank has it inside the path.
        const Run r = run({ QStringLiteral("--dir"), QStringLiteral(" mis datos") });
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(registeredFolder(), path(QStringLiteral(" mis datos")));
        QCOMPARE(filesIn(path(QStringLiteral(" mis datos"))).size(), kFiles.size());
    }

    void aliasFileKeepsTheOtherEntries()
    {
        // Written by hand or by another program: a comment, a Latin-1 folder
        // and a stale HLR10 entry with a key of its own.
        const QByteArray before
            = "# alias de Huellario\n[OTRO]\npath=/datos/ni\xf1o\n\n[HLR10]\npath=/viejo\n"
              "nota=1\n";
        QVERIFY(QDir().mkpath(QFileInfo(aliasFile()).absolutePath()));
        {
            QFile f(aliasFile());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(before);
        }
        const QString folder = path(QStringLiteral("data"));
        const Run r = run({ QStringLiteral("--dir"), folder });
        QCOMPARE(r.exitCode, 0);
        QByteArray expected = before;
        expected.replace("path=/viejo", "path=" + QFile::encodeName(folder));
        QCOMPARE(contentsOf(aliasFile()), expected);
        // Replaced, not rewritten in place: no leftover beside it.
        QCOMPARE(
            filesIn(QFileInfo(aliasFile()).absolutePath()), QStringList { QStringLiteral("aliases.conf") });
    }

    void helpAndBadOptions_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output"); // expected in stdout (exit 0) or stderr

        QTest::newRow("--help") << QStringList { "--help" } << 0 << "--if-missing";
        QTest::newRow("-h") << QStringList { "-h" } << 0 << "--aliases";
        QTest::newRow("unknown option") << QStringList { "--force" } << 2 << "Opción desconocida: --force";
        QTest::newRow("--dir without value") << QStringList { "--dir" } << 2 << "Falta el valor de --dir";
        QTest::newRow("--aliases= empty")
            << QStringList { "--aliases=" } << 2 << "Falta el valor de --aliases";
    }

    void helpAndBadOptions()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        const Run r = run(args);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2((exitCode == 0 ? r.out : r.err).contains(output), qPrintable(r.out + r.err));
        if (exitCode == 0)
            QVERIFY(r.out.contains(QStringLiteral("Uso: huellario-setup")));
        QVERIFY(!QFileInfo::exists(defaultFolder()));
        QVERIFY(!QFileInfo::exists(aliasFile()));
    }
    // The error window of --ventana: the message as it went to stderr,
    // titled as the program's own error boxes.
    void failureWindowShowsTheMessage()
    {
        const QString message
            = QStringLiteral("No se pudo instalar: el disco está lleno.\nNo se ha cambiado nada.\n");
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            box->button(QMessageBox::Ok)->click();
        });
        QCOMPARE(setup::reportFailure(true, 3, message), 3);
        QCOMPARE(title, QStringLiteral("Huellario"));
        QCOMPARE(text, message.trimmed());
        QCOMPARE(icon, QMessageBox::Critical);
        // Nothing is shown on success, or without --ventana.
        QCOMPARE(setup::reportFailure(true, 0, QString()), 0);
        QCOMPARE(setup::reportFailure(false, 1, message), 1);
        QVERIFY(!QApplication::activeModalWidget());
    }

    // The menu entry's command as it stands in the .desktop file: the program
    // starts only once the set-up has succeeded, and a failed set-up's
    // message is not thrown away (without a display it stays on stderr).
    void menuEntryStartsTheProgramOnlyAfterTheSetUp()
    {
        QFile desktop(QDir::cleanPath(
            QStringLiteral(HLR_TEST_DATA_DIR "/../../packaging/org.huellario.Huellario.desktop")));
        QVERIFY(desktop.open(QIODevice::ReadOnly));
        const QString entry = QString::fromUtf8(desktop.readAll());
        const QRegularExpressionMatch exec
            = QRegularExpression(QStringLiteral("^Exec=sh -c \"(.*)\"$"), QRegularExpression::MultilineOption)
                  .match(entry);
        QVERIFY2(exec.hasMatch(), qPrintable(entry));
        const QString command = exec.captured(1);
        QVERIFY2(command.contains(QStringLiteral("--ventana")), qPrintable(command));

        // A stand-in for the program that notes it was started.
        const QString bin = path(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        QFile fake(bin + QStringLiteral("/huellario"));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write("#!/bin/sh\ntouch \"$STARTED\"\n");
        fake.close();
        QVERIFY(fake.setPermissions(fake.permissions() | QFileDevice::ExeOwner));

        const auto start = [&](const QString& aliases) {
            QProcess p;
            QProcessEnvironment env;
            env.insert(QStringLiteral("PATH"), bin + QStringLiteral(":" HLR_BIN_DIR ":/usr/bin:/bin"));
            env.insert(QStringLiteral("HOME"), m_tmp->path());
            env.insert(QStringLiteral("HLR_ALIASES"), aliases);
            env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("xdg-data")));
            env.insert(QStringLiteral("STARTED"), path(QStringLiteral("started")));
            p.setProcessEnvironment(env);
            p.start(QStringLiteral("/bin/sh"), { QStringLiteral("-c"), command });
            if (!p.waitForFinished(60000))
                return Run {};
            return Run { p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError()) };
        };

        QFile blocker(path(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const Run failed = start(path(QStringLiteral("blocker/aliases.conf")));
        QCOMPARE(failed.exitCode, 3);
        QVERIFY2(failed.err.contains(QStringLiteral("No se pudo instalar")), qPrintable(failed.err));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("started"))));

        const Run started = start(aliasFile());
        QVERIFY2(started.exitCode == 0, qPrintable(started.err));
        QVERIFY(QFileInfo::exists(path(QStringLiteral("started"))));
        QCOMPARE(filesIn(defaultFolder()).size(), kFiles.size());
    }
};

QTEST_MAIN(TestSetup)
#include "tst_setup.moc"
