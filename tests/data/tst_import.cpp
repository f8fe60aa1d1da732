// huellario-setup --importar, run as a process on Paradox tables written by
// pxlib: every field of the nine tables read back with the sqlite3 client,
// the memo blocks, and the refusals that leave nothing behind.
#include "ParadoxFixture.h"
#include "support/TestPaths.h"

#include "data/schema/Schema.h"
#include "engine/Database.h"
#include "engine/Table.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <unistd.h>

using paradoxfixture::Record;

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
    int signal = 0; // the signal that ended it
};

QByteArray contentsOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every entry under `folder`, hidden ones too, as relative paths.
QStringList treeOf(const QString& folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
        QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << QDir(folder).relativeFilePath(it.next());
    entries.sort();
    return entries;
}

// A process's state letter from /proc: 'T' once it is stopped.
char stateOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return '?';
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close > 0 && close + 2 < text.size() ? text.at(close + 2) : '?';
}

// Rows of one table file as the sqlite3 client prints them.
QJsonArray query(const QString& file, const QString& sql)
{
    QProcess p;
    p.start(QStringLiteral(HLR_SQLITE3), { QStringLiteral("-json"), file, sql });
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        qFatal("sqlite3 failed on %s: %s", qPrintable(file), p.readAllStandardError().constData());
    const QByteArray out = p.readAllStandardOutput();
    return out.trimmed().isEmpty() ? QJsonArray() : QJsonDocument::fromJson(out).array();
}

// A memo as the earlier version kept it: lines ending in CR LF.
const QString kMemo = QStringLiteral("Vacunada en Cáceres.\r\nAlérgica al pollo; pienso de 12,50 €.\r\n"
                                     "Señas: mancha en la oreja — la izquierda.\r\n");

// A stored value for every field of a record, told apart by field name,
// each text as long as its field allows so that full fields are covered.
Record everyField(const engine::TableDef& def)
{
    Record record;
    int i = 0;
    for (const engine::FieldDef& f : def.fields) {
        switch (f.kind) {
        case engine::FieldKind::Text:
            record[f.name] = (f.name + QStringLiteral(" ñÁ€—’ü")).left(f.size);
            break;
        case engine::FieldKind::Date:
            record[f.name] = QDate(1999, 12, 31).addDays(i * 37);
            break;
        case engine::FieldKind::Time:
            record[f.name] = QTime(10, 20, 30, 456).addSecs(i);
            break;
        case engine::FieldKind::Logical:
            record[f.name] = i % 2 == 0;
            break;
        case engine::FieldKind::Counter:
            record[f.name] = 40;
            break;
        case engine::FieldKind::Memo:
            record[f.name] = kMemo;
            break;
        }
        ++i;
    }
    return record;
}

// What that record must read as in the imported file.
QJsonValue expected(const engine::FieldDef& f, const QVariant& stored)
{
    switch (f.kind) {
    case engine::FieldKind::Date:
        return stored.toDate().toString(Qt::ISODate);
    case engine::FieldKind::Time:
        return stored.toTime().toString(QStringLiteral("HH:mm:ss"));
    case engine::FieldKind::Logical:
        return stored.toBool() ? 1 : 0;
    case engine::FieldKind::Counter:
        return stored.toInt();
    default:
        return stored.toString();
    }
}

} // namespace

class TestImport : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_tmp;

    QString path(const QString& name) const { return m_tmp->filePath(name); }
    QString source() const { return path(QStringLiteral("windows")); }
    QString target() const { return path(QStringLiteral("datos")); }
    QString aliasFile() const { return path(QStringLiteral("config/aliases.conf")); }

    void start(QProcess& p, const QStringList& args, const QString& stopAt = QString()) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HLR_ALIASES"), aliasFile());
        env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("xdg-data")));
        if (!stopAt.isEmpty())
            env.insert(QStringLiteral("HLR_SETUP_STOP_AT"), stopAt);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(HLR_BIN_DIR "/huellario-setup"), args);
    }

    static Run finished(QProcess& p)
    {
        if (!p.waitForFinished(60000))
            return {};
        const bool normal = p.exitStatus() == QProcess::NormalExit;
        return { normal ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError()), normal ? 0 : p.exitCode() };
    }

    // `stopAt` is the tool's test stop: N[:SIGNAL], the step at which it is sent SIGNAL.
    Run run(const QStringList& args, const QString& stopAt = QString()) const
    {
        QProcess p;
        start(p, args, stopAt);
        return finished(p);
    }

    Run import(const QString& stopAt = QString(), const QString& into = QString()) const
    {
        return run({ QStringLiteral("--importar"), source(), QStringLiteral("--dir"),
                       into.isEmpty() ? target() : into },
            stopAt);
    }

    // The alias file before an import: another alias and HLR10 elsewhere.
    QByteArray writeAliasFile() const
    {
        const QByteArray before = "[OTRO]\npath=/otro\n\n[HLR10]\npath="
            + QFile::encodeName(path(QStringLiteral("antes"))) + "\n";
        QDir().mkpath(QFileInfo(aliasFile()).absolutePath());
        QFile f(aliasFile());
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(before) != before.size())
            qFatal("cannot write the alias file");
        return before;
    }

    // The imported folder is whole: the nine tables with the source's records.
    void checkComplete(const QString& folder, const QStringList& others = {}, bool noteLeft = false) const
    {
        QStringList expected = others;
        for (const engine::TableDef& def : schema::tables())
            expected << def.fileName;
        expected.sort();
        QStringList tree = treeOf(folder);
        if (noteLeft)
            tree.removeAll(QStringLiteral(".huellario-pendiente"));
        QCOMPARE(tree, expected);
        QCOMPARE(query(QDir(folder).filePath(QStringLiteral("FICMAES.DB")),
                     QStringLiteral("SELECT COUNT(*) AS N FROM FICMAES"))[0][QStringLiteral("N")]
                     .toInt(),
            4);
        QCOMPARE(registeredFolder(), folder);
    }

    // Hidden staging folders of ours beside `folder`.
    static QStringList stagingBeside(const QString& folder)
    {
        return QDir(QFileInfo(folder).path())
            .entryList(
                { QStringLiteral(".huellario-*") }, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    // The target as a test row wants it before the import: missing (with its
    // parent), empty, or holding a file of the user's.
    QString prepareTarget(const QString& start) const
    {
        QDir(path(QStringLiteral("nuevo"))).removeRecursively();
        QDir(target()).removeRecursively();
        for (const QString& name : stagingBeside(target()))
            QDir(path(name)).removeRecursively();
        if (start == QLatin1String("missing"))
            return path(QStringLiteral("nuevo/sub/datos"));
        QDir().mkpath(target());
        if (start == QLatin1String("other")) {
            QFile notes(QDir(target()).filePath(QStringLiteral("notas.txt")));
            if (!notes.open(QIODevice::WriteOnly) || notes.write("mis notas") != 9)
                qFatal("cannot write the user's file");
        }
        return target();
    }

    static void patch(const QString& file, qint64 at, const QByteArray& bytes)
    {
        QFile f(file);
        if (!f.open(QIODevice::ReadWrite) || !f.seek(at) || f.write(bytes) != bytes.size())
            qFatal("cannot patch %s", qPrintable(file));
    }

    static qint64 headerSizeOf(const QString& file)
    {
        const QByteArray head = contentsOf(file).left(4);
        return quint8(head[2]) | quint8(head[3]) << 8;
    }

    // The third pet's memo, in a block of its own, made to claim a length of
    // almost 4 GiB, in the table and in the memo file alike.
    void makeHugeMemo() const
    {
        const QString db = QDir(source()).filePath(QStringLiteral("FICMAES.DB"));
        const QString mb = QDir(source()).filePath(QStringLiteral("FICMAES.MB"));
        const QByteArray head = contentsOf(db);
        const int recordSize = quint8(head[0]) | quint8(head[1]) << 8;
        // MEMORIA comes after 134 bytes of other fields; its last ten bytes
        // are the pointer into the memo file and the length.
        const qint64 memo = headerSizeOf(db) + 6 + 2 * recordSize + 134 + 10;
        const auto* p = reinterpret_cast<const uchar*>(head.constData() + memo);
        const qint64 block = qint64(p[1]) << 8 | qint64(p[2]) << 16 | qint64(p[3]) << 24;
        const QByteArray length("\x00\xFF\xFF\xFF", 4);
        patch(db, memo + 4, length);
        patch(mb, block + 3, length);
    }

    QString registeredFolder() const
    {
        return QSettings(aliasFile(), QSettings::IniFormat).value(QStringLiteral("HLR10/path")).toString();
    }

    // The nine tables of an earlier installation: one record with every
    // field stored and one left blank; the pets table also has memos that
    // fit in the record, in a shared memo block and in a block of their own.
    void writeSource() const
    {
        QVERIFY(QDir().mkpath(source()));
        for (const engine::TableDef& def : schema::tables()) {
            std::vector<Record> records { everyField(def), Record() };
            if (def.tableName == QLatin1String("FICMAES")) {
                records.push_back({ { QStringLiteral("CODIGO"), QStringLiteral("0000003") },
                    { QStringLiteral("MEMORIA"), QString(QStringLiteral("Línea ñ\r\n")).repeated(600) } });
                records.push_back({ { QStringLiteral("CONTADOR"), 7 },
                    { QStringLiteral("CODIGO"), QStringLiteral("0000004") },
                    { QStringLiteral("MEMORIA"), QStringLiteral("Corto €") } });
            }
            paradoxfixture::writeTable(source(), def.tableName, records);
        }
    }

private slots:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
    }

    void importsEveryFieldOfEveryTable()
    {
        writeSource();
        const Run r = import();
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY2(r.err.isEmpty(), qPrintable(r.err));
        QVERIFY2(r.out.contains(QRegularExpression(QStringLiteral("FICMAES.DB +4 registros\\n"))),
            qPrintable(r.out));
        QVERIFY2(r.out.contains(QRegularExpression(QStringLiteral("INIAVIS.DB +2 registros\\n"))),
            qPrintable(r.out));
        QVERIFY2(r.out.contains(QStringLiteral("Total: 20 registros en 9 tablas.")), qPrintable(r.out));
        QCOMPARE(registeredFolder(), target());

        for (const engine::TableDef& def : schema::tables()) {
            const QString file = QDir(target()).filePath(def.fileName);
            QCOMPARE(engine::readTableDef(file), def);
            const QJsonArray rows
                = query(file, QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(def.tableName));
            QVERIFY(rows.size() >= 2);
            const Record stored = everyField(def);
            // Rows come in counter order where there is one: 7 (fourth
            // record of FICMAES), 40 (the full record), then the blanks.
            const QJsonObject full = rows[def.tableName == QLatin1String("FICMAES") ? 1 : 0].toObject();
            const QJsonObject blank = rows[def.tableName == QLatin1String("FICMAES") ? 2 : 1].toObject();
            for (const engine::FieldDef& f : def.fields) {
                const QByteArray where = (def.fileName + QLatin1Char('.') + f.name).toUtf8();
                QVERIFY2(full.value(f.name) == expected(f, stored.value(f.name)), where.constData());
                if (f.kind == engine::FieldKind::Counter)
                    QVERIFY2(blank.value(f.name) == 41, where.constData()); // after every stored counter
                else
                    QVERIFY2(blank.value(f.name).isNull(), where.constData());
            }
        }

        // The awkward ones written out: the Windows code page's euro and
        // dashes, a blank date, a time's milliseconds, a full text field.
        const QString pets = QDir(target()).filePath(QStringLiteral("FICMAES.DB"));
        const QJsonObject pet
            = query(pets, QStringLiteral("SELECT * FROM FICMAES WHERE CONTADOR = 40"))[0].toObject();
        QCOMPARE(pet.value(QStringLiteral("CODIGO")).toString(), QStringLiteral("CODIGO "));
        QCOMPARE(pet.value(QStringLiteral("FEC_NAC")).toString(), QStringLiteral("2000-05-27"));
        QCOMPARE(pet.value(QStringLiteral("NOM_FAMI")).toString(), QStringLiteral("NOM_FAMI ñÁ€—’ü"));
        QCOMPARE(pet.value(QStringLiteral("MEMORIA")).toString(), kMemo);
        const QJsonObject due = query(QDir(target()).filePath(QStringLiteral("INIAVIS.DB")),
            QStringLiteral("SELECT HORA_INI, HORA_FIN FROM INIAVIS WHERE CONTADOR = 40"))[0]
                                    .toObject();
        QCOMPARE(due.value(QStringLiteral("HORA_INI")).toString(), QStringLiteral("10:20:35"));

        // Only the nine files: no staging folder is left behind.
        QCOMPARE(QDir(target()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 9);
    }

    void memosComeWholeWhereverTheyAreStored()
    {
        writeSource();
        QCOMPARE(import().exitCode, 0);
        const QString pets = QDir(target()).filePath(QStringLiteral("FICMAES.DB"));
        const QJsonArray rows = query(pets, QStringLiteral("SELECT CODIGO, MEMORIA FROM FICMAES"));
        QCOMPARE(rows.size(), 4);
        QMap<QString, QString> memos;
        for (const QJsonValue& row : rows)
            memos[row[QStringLiteral("CODIGO")].toString()] = row[QStringLiteral("MEMORIA")].toString();
        QCOMPARE(memos.value(QStringLiteral("CODIGO ")), kMemo); // a shared memo block
        QCOMPARE(memos.value(QStringLiteral("0000003")),
            QString(QStringLiteral("Línea ñ\r\n")).repeated(600)); // its own block
        QCOMPARE(memos.value(QStringLiteral("0000004")), QStringLiteral("Corto €")); // within the record
        QVERIFY(memos.value(QString()).isNull());
        // CR LF stays as stored, the letters in UTF-8.
        const QJsonArray raw = query(pets,
            QStringLiteral("SELECT hex(substr(MEMORIA, 1, 9)) AS RAW FROM FICMAES WHERE CODIGO = '0000003'"));
        QCOMPARE(raw[0][QStringLiteral("RAW")].toString(), QStringLiteral("4CC3AD6E656120C3B10D0A"));
    }

    // The program's own engine opens the imported tables through the alias,
    // in index order, with their kinds checked.
    void theProgramReadsTheImportedTables()
    {
        writeSource();
        QCOMPARE(import().exitCode, 0);
        qputenv("HLR_ALIASES", QFile::encodeName(aliasFile()));
        engine::Database db(QStringLiteral("DbGeneral"), QStringLiteral("HLR10"));
        db.open();
        for (const engine::TableDef& def : schema::tables()) {
            engine::Table table(db, def.tableName, def.fileName);
            for (const engine::FieldDef& f : schema::declaredFields(def))
                table.addField(f);
            table.open();
            QCOMPARE(table.recordCount(), def.tableName == QLatin1String("FICMAES") ? 4 : 2);
            table.close();
        }
        engine::Table pets(db, QStringLiteral("TablaMascotas"), QStringLiteral("FICMAES.DB"));
        pets.setIndexFieldNames(QStringLiteral("CODIGO"));
        pets.open();
        pets.first();
        pets.next(); // the blank CODIGO comes first
        QCOMPARE(pets.field(QStringLiteral("CODIGO")).asString(), QStringLiteral("0000003"));
        QVERIFY(pets.field(QStringLiteral("FEC_NAC")).isNull());
        QCOMPARE(pets.field(QStringLiteral("MEMORIA")).value().toString(),
            QString(QStringLiteral("Línea ñ\r\n")).repeated(600));
    }

    void refusesToWriteOverATable()
    {
        writeSource();
        QVERIFY(QDir().mkpath(target()));
        QFile existing(QDir(target()).filePath(QStringLiteral("AVISOS.DB")));
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.write("datos del usuario");
        existing.close();

        const Run r = import();
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(QStringLiteral("ya existe AVISOS.DB")), qPrintable(r.err));
        QCOMPARE(QDir(target()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { QStringLiteral("AVISOS.DB") });
        QVERIFY(existing.open(QIODevice::ReadOnly));
        QCOMPARE(existing.readAll(), QByteArray("datos del usuario"));
        QVERIFY(!QFileInfo::exists(aliasFile()));
    }

    void refusesAMissingDamagedOrForeignSource_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("message");

        QTest::newRow("table missing") << "missing"
                                       << "Falta la tabla VETERIN.DB en «";
        QTest::newRow("table cut short") << "short"
                                         << "/SANIDAD.db» está incompleto";
        QTest::newRow("not a Paradox file") << "garbage"
                                            << "/RAZAS.DB» no es una tabla Paradox válida";
        // pxlib would spend minutes over a damaged file that claims a password.
        QTest::newRow("password")
            << "password"
            << "/ESPECIES.db» no es una tabla Paradox válida o está dañada: está protegida con contraseña";
        // pxlib would read one record and only warn about the other.
        QTest::newRow("header counts fewer records")
            << "count"
            << "/RAZAS.DB» no es una tabla Paradox válida o está dañada: la cabecera indica 1 registros y "
               "los bloques de datos tienen 2";
        QTest::newRow("empty file") << "empty"
                                    << "/AVISOS.DB» no es una tabla Paradox válida";
        QTest::newRow("other fields")
            << "foreign"
            << "/ALBUM.DB» no es la tabla ALBUM de la versión anterior: le falta el campo CONTADOR";
        QTest::newRow("date field of text") << "kind"
                                            << "/VACUNAS.db» no es la tabla VACUNAS de la versión anterior: "
                                               "el campo FECHA_1 no es de tipo fecha";
        QTest::newRow("a field we do not know") << "extra"
                                                << "tiene el campo NOTAS, que Huellario no conoce";
        QTest::newRow("text longer than ours") << "long"
                                               << "/FICMAES.DB», registro 2, campo NOM_FAMI: el texto «"
                + QString(QLatin1Char('x')).repeated(55) + "» tiene 55 caracteres y Huellario admite 50";
        QTest::newRow("memo file missing") << "nomemo"
                                           << "Falta el archivo de notas de «";
        QTest::newRow("memo file cut short") << "cutmemo"
                                             << "/FICMAES.MB» está dañado: la nota del registro 3";
        QTest::newRow("counter repeated")
            << "twice"
            << "/RAZAS.DB» está dañado: los registros 1 y 2 tienen el mismo CONTADOR (3)";
        QTest::newRow("names differing in case") << "case"
                                                 << "ficmaes.db";
        // pxlib would read thousands of field names a byte at a time and
        // print one of them made of whatever bytes followed.
        QTest::newRow("field count far too large")
            << "fields4095"
            << "/RAZAS.DB» no es una tabla Paradox válida o está dañada: la cabecera no es válida.";
        QTest::newRow("field count too large")
            << "fields40"
            << "/RAZAS.DB» no es una tabla Paradox válida o está dañada: el nombre del campo 1 no es válido";
        QTest::newRow("logical byte Paradox never writes")
            << "logical"
            << "/VACUNAS.db» está dañado: en el registro 1, el campo MOQUILLO_TRIVALENTE tiene el valor "
               "lógico 0x7F, que no es ni verdadero ni falso";
        QTest::newRow("code page nobody knows")
            << "codepage"
            << "/ESPECIES.db» está escrita en la página de códigos 9999, que este sistema no sabe convertir";
        QTest::newRow("memo longer than its blocks") << "hugememo"
                                                     << "/FICMAES.MB» está dañado: la nota del registro 3 "
                                                        "(campo MEMORIA) no está donde indica la tabla";
    }

    void refusesAMissingDamagedOrForeignSource()
    {
        QFETCH(QString, damage);
        QFETCH(QString, message);
        writeSource();
        const auto at = [&](const char* name) { return QDir(source()).filePath(QLatin1String(name)); };
        const auto cut = [&](const char* name, qint64 by) {
            QFile f(at(name));
            QVERIFY(f.resize(f.size() - by));
        };
        // Writes one table again with its fields changed by `change`.
        const auto rewrite = [&](const char* table, const auto& change, const std::vector<Record>& records) {
            const QString fileName = paradoxfixture::earlierFileName(QLatin1String(table));
            std::vector<paradoxfixture::Field> fields = paradoxfixture::earlierFields(QLatin1String(table));
            change(fields);
            QVERIFY(QFile::remove(QDir(source()).filePath(fileName)));
            QFile::remove(QDir(source()).filePath(QLatin1String(table) + QStringLiteral(".MB")));
            paradoxfixture::writeTable(source(), fileName, fields, records);
        };
        if (damage == QLatin1String("missing")) {
            QVERIFY(QFile::remove(at("VETERIN.DB")));
        } else if (damage == QLatin1String("short")) {
            cut("SANIDAD.db", 100);
        } else if (damage == QLatin1String("garbage") || damage == QLatin1String("empty")) {
            QFile f(at(damage == QLatin1String("garbage") ? "RAZAS.DB" : "AVISOS.DB"));
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            if (damage == QLatin1String("garbage"))
                f.write(QByteArray("Esto no es una tabla, sino una nota de texto.\n").repeated(200));
        } else if (damage == QLatin1String("password")) {
            QFile f(at("ESPECIES.db"));
            QVERIFY(f.open(QIODevice::ReadWrite) && f.seek(0x5C) && f.putChar('\x01'));
        } else if (damage == QLatin1String("count")) {
            QFile f(at("RAZAS.DB"));
            QVERIFY(f.open(QIODevice::ReadWrite) && f.seek(0x06) && f.putChar('\x01'));
        } else if (damage == QLatin1String("foreign")) {
            rewrite("ALBUM",
                [](auto& fields) {
                    fields = { { QStringLiteral("NOMBRE"), pxfAlpha, 20 } };
                },
                { Record { { QStringLiteral("NOMBRE"), QStringLiteral("x") } } });
        } else if (damage == QLatin1String("kind")) {
            rewrite("VACUNAS",
                [](auto& fields) {
                    fields[7] = { QStringLiteral("FECHA_1"), pxfAlpha, 10 };
                },
                { Record() });
        } else if (damage == QLatin1String("extra")) {
            rewrite("AVISOS",
                [](auto& fields) {
                    fields.push_back({ QStringLiteral("NOTAS"), pxfAlpha, 30 });
                },
                { Record() });
        } else if (damage == QLatin1String("long")) {
            // The earlier table's field is wider than ours; the second record fills it past our size.
            rewrite("FICMAES",
                [](auto& fields) {
                    for (auto& f : fields)
                        if (f.name == QLatin1String("NOM_FAMI"))
                            f.length = 60;
                },
                { Record(),
                    Record { { QStringLiteral("NOM_FAMI"), QString(QLatin1Char('x')).repeated(55) } } });
        } else if (damage == QLatin1String("nomemo")) {
            QVERIFY(QFile::remove(at("FICMAES.MB")));
        } else if (damage == QLatin1String("cutmemo")) {
            cut("FICMAES.MB", 1000); // inside the memo that has a block of its own
        } else if (damage == QLatin1String("twice")) {
            rewrite("RAZAS", [](auto&) {},
                { Record { { QStringLiteral("CONTADOR"), 3 } },
                    Record { { QStringLiteral("CONTADOR"), 3 } } });
        } else if (damage == QLatin1String("case")) {
            QVERIFY(QFile::copy(at("FICMAES.DB"), at("ficmaes.db")));
        } else if (damage.startsWith(QLatin1String("fields"))) {
            const int count = damage.mid(6).toInt();
            QFile f(at("RAZAS.DB"));
            QVERIFY(f.open(QIODevice::ReadWrite) && f.seek(0x21) && f.putChar(char(count & 0xFF))
                && f.putChar(char(count >> 8)));
        } else if (damage == QLatin1String("logical")) {
            // The first record's first logical field, after CODIGO's 7 bytes.
            patch(at("VACUNAS.db"), headerSizeOf(at("VACUNAS.db")) + 6 + 7, "\x7F");
        } else if (damage == QLatin1String("codepage")) {
            patch(at("ESPECIES.db"), 0x6A, QByteArray("\x0F\x27", 2));
        } else if (damage == QLatin1String("hugememo")) {
            makeHugeMemo();
        }
        // An earlier alias must survive the refusal untouched.
        QSettings(aliasFile(), QSettings::IniFormat)
            .setValue(QStringLiteral("HLR10/path"), path(QStringLiteral("antes")));

        const Run r = import();
        QCOMPARE(r.exitCode, 3);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("No se ha cambiado nada.")), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
        QVERIFY(!QFileInfo::exists(target()));
        QCOMPARE(registeredFolder(), path(QStringLiteral("antes")));
    }

    // Killed outright at every step of the import in turn, through the
    // tool's test stop. Each time the alias file is byte for byte as it was
    // and the target as it was but for hidden leftovers of ours, or the
    // import is complete with its alias; the next run removes the leftovers
    // and succeeds. Files of the user's are never touched.
    void killedAtEveryStep_data()
    {
        QTest::addColumn<QString>("start");
        QTest::newRow("no target, no parent") << "missing";
        QTest::newRow("empty target") << "empty";
        QTest::newRow("target with a file of the user's") << "other";
    }

    void killedAtEveryStep()
    {
        QFETCH(QString, start);
        writeSource();
        const QStringList others
            = start == QLatin1String("other") ? QStringList { QStringLiteral("notas.txt") } : QStringList();
        QMap<QString, int> seen; // what a kill left -> how many steps left it
        int steps = 0;
        for (int n = 1;; ++n) {
            QVERIFY2(n < 300, "the import never finished");
            const QString into = prepareTarget(start);
            const QStringList startTree = QFileInfo::exists(into) ? treeOf(into) : QStringList();
            const QByteArray before = writeAliasFile();

            const Run killed = import(QString::number(n), into);
            if (killed.signal == 0) {
                // Past the last step: the run went through.
                QVERIFY2(killed.exitCode == 0, qPrintable(killed.err));
                checkComplete(into, others);
                break;
            }
            ++steps;
            QCOMPARE(killed.signal, SIGKILL);
            Run next;
            if (contentsOf(aliasFile()) != before) {
                // Its note may still be there: the next run removes it.
                checkComplete(into, others, true);
                ++seen[QStringLiteral("complete, with the alias")];
                next = run({ QStringLiteral("--if-missing") });
                QVERIFY2(next.out.contains(QStringLiteral("ya están instalados")), qPrintable(next.out));
            } else {
                const QStringList tree = QFileInfo::exists(into) ? treeOf(into) : QStringList();
                QStringList kept = tree.filter(QRegularExpression(QStringLiteral("^[^.]")));
                const int tables = kept.size() - int(others.size());
                const bool hidden = tree.size() != kept.size() || !stagingBeside(into).isEmpty();
                QCOMPARE(registeredFolder(), path(QStringLiteral("antes")));
                if (!hidden)
                    QCOMPARE(tree, startTree);
                for (const QString& other : others)
                    QCOMPARE(contentsOf(QDir(into).filePath(other)), QByteArray("mis notas"));
                // An empty parent made for a missing target is used again by the next run.
                const bool parents
                    = !QFileInfo::exists(into) && QFileInfo::exists(path(QStringLiteral("nuevo")));
                seen[tables > 0   ? QStringLiteral("%1 tables and the hidden note, no alias").arg(tables)
                        : hidden  ? QStringLiteral("hidden staging only")
                        : parents ? QStringLiteral("only the empty parent folders")
                                  : QStringLiteral("untouched")]++;
                next = import(QString(), into);
            }
            QVERIFY2(next.exitCode == 0,
                qPrintable(QStringLiteral("after a kill at step %1: %2").arg(n).arg(next.err)));
            checkComplete(into, others);
            QVERIFY2(stagingBeside(into).isEmpty(), qPrintable(stagingBeside(into).join(QLatin1Char(' '))));
            if (start == QLatin1String("missing"))
                QCOMPARE(treeOf(path(QStringLiteral("nuevo"))).size(), 2 + 9);
        }
        QString figures;
        for (auto it = seen.cbegin(); it != seen.cend(); ++it)
            figures += QStringLiteral("%1: %2; ").arg(it.key()).arg(it.value());
        qInfo("%d kill points: %s", steps, qPrintable(figures));
        QVERIFY(steps > 20);
        QVERIFY(seen.value(QStringLiteral("complete, with the alias")) > 0);
    }

    // Ctrl-C, SIGTERM or SIGHUP at every step before the commit: the run
    // removes everything it made (parents of the target included), says so
    // and ends by that signal. From the commit on it finishes.
    void signalsRemoveWhatWasMade_data()
    {
        QTest::addColumn<QString>("signal");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("start");
        QTest::newRow("Ctrl-C, no target") << "INT" << int(SIGINT) << "missing";
        QTest::newRow("SIGTERM, target with a file") << "TERM" << int(SIGTERM) << "other";
        QTest::newRow("SIGHUP, empty target") << "HUP" << int(SIGHUP) << "empty";
    }

    void signalsRemoveWhatWasMade()
    {
        QFETCH(QString, signal);
        QFETCH(int, number);
        QFETCH(QString, start);
        writeSource();
        int interrupted = 0;
        for (int n = 1;; ++n) {
            QVERIFY2(n < 300, "the import never finished");
            const QString into = prepareTarget(start);
            const QStringList startTree = QFileInfo::exists(into) ? treeOf(into) : QStringList();
            const QByteArray before = writeAliasFile();
            const QStringList tmpTree = treeOf(m_tmp->path());
            const Run r = import(QStringLiteral("%1:%2").arg(n).arg(signal), into);
            if (r.signal == 0) {
                QVERIFY2(r.exitCode == 0, qPrintable(r.err));
                checkComplete(into,
                    start == QLatin1String("other") ? QStringList { QStringLiteral("notas.txt") }
                                                    : QStringList());
                break;
            }
            ++interrupted;
            QCOMPARE(r.signal, number);
            QVERIFY2(r.err.contains(QStringLiteral("interrumpido por"))
                    && r.err.contains(QStringLiteral("No se ha cambiado nada")),
                qPrintable(r.err));
            QCOMPARE(contentsOf(aliasFile()), before);
            QCOMPARE(treeOf(m_tmp->path()), tmpTree);
            if (QFileInfo::exists(into))
                QCOMPARE(treeOf(into), startTree);
        }
        QVERIFY(interrupted > 20);
    }

    // A second run while one is at work refuses rather than take the first
    // one's staging folder for a leftover.
    void aRunAtWorkIsLeftAlone()
    {
        writeSource();
        QProcess first;
        start(first, { QStringLiteral("--importar"), source(), QStringLiteral("--dir"), target() },
            QStringLiteral("10:STOP"));
        QVERIFY(first.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(stateOf(first.processId()), 'T', 30000);

        const Run second = import(QString(), path(QStringLiteral("otros")));
        QCOMPARE(second.exitCode, 3);
        QVERIFY2(second.err.contains(QStringLiteral("otra ejecución de huellario-setup está trabajando")),
            qPrintable(second.err));
        QVERIFY(!QFileInfo::exists(path(QStringLiteral("otros"))));

        ::kill(pid_t(first.processId()), SIGCONT);
        const Run r = finished(first);
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        checkComplete(target());
    }

    // What a killed run brought in but did not register is removed by the
    // next run, except a table that was changed or replaced since: that one
    // is the user's, and the run refuses to write over it.
    void leftoversAreRemovedButNeverTheUsersTables()
    {
        writeSource();
        const QByteArray before = writeAliasFile();
        int n = 1;
        for (;; ++n) {
            QVERIFY(n < 300);
            QDir(target()).removeRecursively();
            const Run killed = import(QString::number(n));
            QVERIFY(killed.signal == SIGKILL);
            if (QFileInfo::exists(QDir(target()).filePath(QStringLiteral("INIAVIS.DB"))))
                break;
        }
        QCOMPARE(contentsOf(aliasFile()), before);
        const QString pets = QDir(target()).filePath(QStringLiteral("FICMAES.DB"));
        QVERIFY(QFile::remove(pets));
        QFile mine(pets);
        QVERIFY(mine.open(QIODevice::WriteOnly));
        mine.write("la tabla del usuario");
        mine.close();

        const Run r = import();
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.out.contains(QStringLiteral("interrumpida")) && r.out.contains(QStringLiteral("8 tablas")),
            qPrintable(r.out));
        QVERIFY2(r.err.contains(QStringLiteral("ya existe FICMAES.DB")), qPrintable(r.err));
        QCOMPARE(treeOf(target()), QStringList { QStringLiteral("FICMAES.DB") });
        QCOMPARE(contentsOf(pets), QByteArray("la tabla del usuario"));
        QCOMPARE(contentsOf(aliasFile()), before);
    }

    // The staging folder the earlier releases left inside the target when
    // they were stopped half way: recognised by its name and removed.
    void anOlderStagingFolderIsRemoved()
    {
        writeSource();
        const QString staging = QDir(target()).filePath(QStringLiteral(".huellario-import-Ab3dE9"));
        QVERIFY(QDir().mkpath(staging));
        for (const char* name : { "FICMAES.DB", "FICMAES.DB-journal" }) {
            QFile f(QDir(staging).filePath(QLatin1String(name)));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("a medias");
        }
        const Run r = import();
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY2(r.out.contains(QStringLiteral("interrumpida")), qPrintable(r.out));
        checkComplete(target());
    }

    // A header size other than the file's: pxlib would read the records
    // from the wrong place, and the vaccination card would come as blank.
    void refusesAWrongHeaderSize()
    {
        writeSource();
        // One record, as a card of one pet: a block head read from inside
        // the header (zeros) then passes for a block of one record.
        const QString file = QDir(source()).filePath(QStringLiteral("VACUNAS.db"));
        QVERIFY(QFile::remove(file));
        paradoxfixture::writeTable(
            source(), QStringLiteral("VACUNAS"), { everyField(schema::table(QStringLiteral("VACUNAS"))) });
        const QByteArray original = contentsOf(file);
        for (int size = 0x100; size <= 0x780; size += 0x80) {
            patch(file, 2, QByteArray(1, char(size & 0xFF)) + char(size >> 8));
            const Run r = import();
            QVERIFY2(r.exitCode == 3
                    && r.err.contains(QStringLiteral("/VACUNAS.db» no es una tabla Paradox válida")),
                qPrintable(QStringLiteral("0x%1: %2").arg(size, 0, 16).arg(r.err)));
            QVERIFY(!QFileInfo::exists(target()));
        }
        patch(file, 0, original);
        QCOMPARE(import().exitCode, 0);
    }

    // Texts in the code page the header names: DOS ones through iconv, the
    // Windows one by our own table.
    void importsTheCodePageTheHeaderNames_data()
    {
        QTest::addColumn<int>("codePage");
        QTest::newRow("437") << 437;
        QTest::newRow("850") << 850;
        QTest::newRow("1252") << 1252;
    }

    void importsTheCodePageTheHeaderNames()
    {
        QFETCH(int, codePage);
        writeSource();
        QVERIFY(QFile::remove(QDir(source()).filePath(QStringLiteral("FICMAES.DB"))));
        QVERIFY(QFile::remove(QDir(source()).filePath(QStringLiteral("FICMAES.MB"))));
        const QString memo = QStringLiteral("Señas: pata blanca, ñandú de peluche.\r\n").repeated(3);
        paradoxfixture::writeTable(source(), QStringLiteral("FICMAES"),
            { Record { { QStringLiteral("CODIGO"), QStringLiteral("0000001") },
                { QStringLiteral("NOM_FAMI"), QStringLiteral("MUÑECA") },
                { QStringLiteral("PROPIETARI"), QStringLiteral("José Ibáñez Muñoz") },
                { QStringLiteral("MEMORIA"), memo } } },
            codePage);
        const Run r = import();
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        const QJsonObject pet = query(QDir(target()).filePath(QStringLiteral("FICMAES.DB")),
            QStringLiteral("SELECT NOM_FAMI, PROPIETARI, MEMORIA FROM FICMAES"))[0]
                                    .toObject();
        QCOMPARE(pet.value(QStringLiteral("NOM_FAMI")).toString(), QStringLiteral("MUÑECA"));
        QCOMPARE(pet.value(QStringLiteral("PROPIETARI")).toString(), QStringLiteral("José Ibáñez Muñoz"));
        QCOMPARE(pet.value(QStringLiteral("MEMORIA")).toString(), memo);
    }

    // On a small file system of its own (a user namespace's tmpfs, where the
    // system allows one), filled to the last block: the alias file there
    // cannot be rewritten, or the target there cannot take its tables. The
    // run fails with exit code 3, the alias file keeps its bytes, and
    // nothing the run made stays, the target's new parents included.
    void aFullDiskChangesNothing_data()
    {
        QTest::addColumn<QStringList>("args"); // FULL stands for the full file system
        QTest::addColumn<QString>("aliasFile");
        QTest::newRow("import, alias file on the full disk") << QStringList { "--importar", "SOURCE", "--dir",
            "TARGET", "--aliases", "FULL/al.conf" } << "FULL/al.conf";
        // The alias file's folder does not exist yet: it must not stay either.
        QTest::newRow("import, target on the full disk")
            << QStringList { "--importar", "SOURCE", "--dir", "FULL/a/data", "--aliases", "NEW/conf/al.conf" }
            << "NEW/conf/al.conf";
        QTest::newRow("install, target on the full disk")
            << QStringList { "--dir", "FULL/a/data", "--aliases", "NEW/conf/al.conf" } << "NEW/conf/al.conf";
    }

    void aFullDiskChangesNothing()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, aliasFile);
        writeSource();
        const QString full = path(QStringLiteral("lleno"));
        QVERIFY(QDir().mkpath(full));
        for (QString& arg : args)
            arg.replace(QLatin1String("SOURCE"), source())
                .replace(QLatin1String("TARGET"), target())
                .replace(QLatin1String("FULL"), full)
                .replace(QLatin1String("NEW"), path(QStringLiteral("nueva")));
        // Runs inside the namespace, where the tmpfs is seen, and reports.
        const QString script
            = QStringLiteral("mount -t tmpfs -o size=64k tmpfs \"$1\" || exit 99\n"
                             "printf '[OTRO]\\npath=/otro\\n\\n[HLR10]\\npath=/viejo\\n' > \"$1/al.conf\"\n"
                             "cp \"$1/al.conf\" \"$2\"\n"
                             "dd if=/dev/zero of=\"$1/relleno\" bs=1k count=1000 2>/dev/null\n"
                             "shift 2\n"
                             "\"$@\"\n"
                             "echo \"salida=$?\"\n"
                             "cmp -s \"$FULL/al.conf\" \"$BEFORE\" && echo alias-igual\n"
                             "echo \"contenido=$(ls -A \"$FULL\" | tr '\\n' ' ')\"\n");
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("xdg-data")));
        env.insert(QStringLiteral("FULL"), full);
        env.insert(QStringLiteral("BEFORE"), path(QStringLiteral("antes.conf")));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral("unshare"),
            QStringList { QStringLiteral("--user"), QStringLiteral("--map-root-user"),
                QStringLiteral("--mount"), QStringLiteral("sh"), QStringLiteral("-c"), script,
                QStringLiteral("sh"), full, path(QStringLiteral("antes.conf")),
                QStringLiteral(HLR_BIN_DIR "/huellario-setup") }
                + args);
        if (!p.waitForStarted() || !p.waitForFinished(60000) || p.exitCode() == 99)
            QSKIP("no small file system can be made here (user namespaces or unshare are missing)");
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(out.contains(QStringLiteral("salida=3")), qPrintable(out + err));
        QVERIFY2(err.contains(QStringLiteral("No se ha cambiado nada")), qPrintable(err));
        QVERIFY2(out.contains(QStringLiteral("alias-igual")), qPrintable(out + err));
        QVERIFY2(out.contains(QStringLiteral("contenido=al.conf relleno \n")), qPrintable(out));
        if (aliasFile.startsWith(QLatin1String("NEW")))
            QVERIFY(!QFileInfo::exists(path(QStringLiteral("nueva"))));
        QVERIFY(!QFileInfo::exists(target()));
        QVERIFY(!out.contains(QStringLiteral("registrado")));
    }

    // A source that is a file, or a folder that cannot be listed, is named
    // for what it is, not taken for a missing folder or missing tables.
    void theSourceFolderIsNamedForWhatIsWrong()
    {
        writeSource();
        const QString file = QDir(source()).filePath(QStringLiteral("FICMAES.DB"));
        const Run whole = import(QString(), target());
        QCOMPARE(whole.exitCode, 0); // the fixture itself imports
        QDir(target()).removeRecursively();
        QFile::remove(aliasFile());

        const Run aFile = run({ QStringLiteral("--importar"), file, QStringLiteral("--dir"), target() });
        QCOMPARE(aFile.exitCode, 3);
        QVERIFY2(
            aFile.err.contains(QStringLiteral("«%1» no es una carpeta").arg(file)), qPrintable(aFile.err));

        // Root reads any folder: the run is then made as nobody.
        QVERIFY(QFile::setPermissions(
            source(), QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther));
        QVERIFY(QFile::setPermissions(m_tmp->path(),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther
                | QFileDevice::ExeOther));
        QProcess p;
        if (::geteuid() == 0)
            p.setChildProcessModifier([] {
                if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                    ::_exit(98);
            });
        start(p, { QStringLiteral("--importar"), source(), QStringLiteral("--dir"), target() });
        const Run unlisted = finished(p);
        QFile::setPermissions(
            source(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        if (unlisted.exitCode == 98)
            QSKIP("cannot run as another user here");
        QCOMPARE(unlisted.exitCode, 3);
        QVERIFY2(unlisted.err.contains(
                     QStringLiteral("No se puede leer la carpeta «%1»: no hay permiso").arg(source())),
            qPrintable(unlisted.err));
        QVERIFY(!unlisted.err.contains(QStringLiteral("Falta la tabla")));
    }

    void optionsOfTheImport()
    {
        const Run help = run({ QStringLiteral("--help") });
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.contains(
            QStringLiteral("huellario-setup --importar CARPETA [--dir CARPETA] [--aliases ARCHIVO]")));
        QCOMPARE(run({ QStringLiteral("--importar") }).exitCode, 2);
        QCOMPARE(run({ QStringLiteral("--importar"), source(), QStringLiteral("--if-missing") }).exitCode, 2);
        const Run none = run({ QStringLiteral("--importar"), source() });
        QCOMPARE(none.exitCode, 3);
        QVERIFY2(none.err.contains(QStringLiteral("No existe la carpeta")), qPrintable(none.err));

        // Without --dir the tables go to the default data folder.
        writeSource();
        QCOMPARE(run({ QStringLiteral("--importar=") + source() }).exitCode, 0);
        QCOMPARE(registeredFolder(), path(QStringLiteral("xdg-data/huellario")));
        QVERIFY(QFileInfo::exists(path(QStringLiteral("xdg-data/huellario/INIAVIS.DB"))));
    }
};

QTEST_MAIN(TestImport)
#include "tst_import.moc"
