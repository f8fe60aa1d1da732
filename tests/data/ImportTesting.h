// Shared by the import's tests: the tool run as a process, the earlier
// version's nine tables written by pxlib, and what the imported folder and
// the alias file must hold afterwards.
#pragma once

#include "ParadoxFixture.h"
#include "support/TestPaths.h"

#include "data/schema/Schema.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace importtesting {

using paradoxfixture::Record;

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
    int signal = 0; // the signal that ended it
};

inline QByteArray contentsOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every entry under `folder`, hidden ones too, as relative paths.
inline QStringList treeOf(const QString& folder)
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
inline char stateOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return '?';
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close > 0 && close + 2 < text.size() ? text.at(close + 2) : '?';
}

// Rows of one table file as the sqlite3 client prints them.
inline QJsonArray query(const QString& file, const QString& sql)
{
    QProcess p;
    p.start(QStringLiteral(HLR_SQLITE3), { QStringLiteral("-json"), file, sql });
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        qFatal("sqlite3 failed on %s: %s", qPrintable(file), p.readAllStandardError().constData());
    const QByteArray out = p.readAllStandardOutput();
    return out.trimmed().isEmpty() ? QJsonArray() : QJsonDocument::fromJson(out).array();
}

// A memo as the earlier version kept it: lines ending in CR LF.
inline const QString kMemo
    = QStringLiteral("Vacunada en Cáceres.\r\nAlérgica al pollo; pienso de 12,50 €.\r\n"
                     "Señas: mancha en la oreja — la izquierda.\r\n");

// A stored value for every field of a record, told apart by field name,
// each text as long as its field allows so that full fields are covered.
inline Record everyField(const engine::TableDef& def)
{
    Record record;
    int i = 0;
    for (const engine::FieldDef& f : def.fields) {
        switch (f.kind) {
        case engine::FieldKind::Text:
            record[f.name] = (f.name + QStringLiteral(" ñÁ€—’ü")).left(f.size);
            break;
        case engine::FieldKind::Date:
            record[f.name] = QDate(1999, 12, 31).addDays(qint64(i) * 37);
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
inline QJsonValue expected(const engine::FieldDef& f, const QVariant& stored)
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

// A scratch folder per test with the source tables, the target, and the
// alias file, and the tool run on them.
class ImportFixture {
protected:
    std::unique_ptr<QTemporaryDir> m_tmp;

    void makeScratch()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
    }

    QString path(const QString& name) const { return m_tmp->filePath(name); }
    QString source() const { return path(QStringLiteral("windows")); }
    QString target() const { return path(QStringLiteral("datos")); }
    QString aliasFile() const { return path(QStringLiteral("config/aliases.conf")); }

    void start(QProcess& p, const QStringList& args, const QString& stopAt = QString()) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HLR_ALIASES"), aliasFile());
        env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("xdg-data")));
        if (!stopAt.isEmpty()) {
            env.insert(QStringLiteral("HLR_SETUP_STOP_AT"), stopAt);
            // A run that is stopped never gets to the leak check, so under
            // the sanitizers it may unwind the quick way: the sweeps run
            // the tool some hundred times.
            if (env.contains(QStringLiteral("ASAN_OPTIONS")))
                env.insert(QStringLiteral("ASAN_OPTIONS"),
                    env.value(QStringLiteral("ASAN_OPTIONS"))
                        + QStringLiteral(":fast_unwind_on_malloc=1:detect_leaks=0"));
        }
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
        QByteArray before = "[OTRO]\npath=/otro\n\n[HLR10]\npath="
            + QFile::encodeName(path(QStringLiteral("antes"))) + "\n";
        QDir().mkpath(QFileInfo(aliasFile()).absolutePath());
        QFile f(aliasFile());
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(before) != before.size())
            qFatal("cannot write the alias file");
        return before;
    }

    // The imported folder is whole: the nine tables (the records are
    // checked by checkRecords()) and the alias pointing at it.
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
        QCOMPARE(registeredFolder(), folder);
    }

    // The source's four pets are in the imported folder.
    void checkRecords(const QString& folder) const
    {
        QCOMPARE(query(QDir(folder).filePath(QStringLiteral("FICMAES.DB")),
                     QStringLiteral("SELECT COUNT(*) AS N FROM FICMAES"))[0][QStringLiteral("N")]
                     .toInt(),
            4);
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
        const qint64 memo = headerSizeOf(db) + 6 + qint64(2) * recordSize + 134 + 10;
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
};

} // namespace importtesting
