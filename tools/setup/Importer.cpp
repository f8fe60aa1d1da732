#include "Importer.h"

#include "EarlierTables.h"
#include "NewDataFolder.h"
#include "ParadoxTable.h"
#include "data/schema/Schema.h"
#include "engine/AliasRegistry.h"
#include "engine/EngineError.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTime>
#include <sqlite3.h>

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

#include <map>
#include <optional>

namespace setup {

namespace {

const QString kAlias = QStringLiteral("HLR10");

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

QString absoluteClean(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// The source must be a folder that can be listed: a missing table is then
// really missing, not hidden behind a folder that could not be read.
void checkSourceFolder(const QString& folder)
{
    struct stat st { };
    if (::stat(QFile::encodeName(folder).constData(), &st) != 0) {
        if (errno == ENOENT)
            throw ImportError(QStringLiteral("No existe la carpeta «%1».").arg(shown(folder)));
        throw ImportError(
            QStringLiteral("No se puede leer la carpeta «%1»: %2.").arg(shown(folder), systemReason(errno)));
    }
    if (!S_ISDIR(st.st_mode))
        throw ImportError(
            QStringLiteral("«%1» no es una carpeta. Indique la carpeta que contiene las tablas de la "
                           "versión anterior (FICMAES.DB, ESPECIES.db, …).")
                .arg(shown(folder)));
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        throw ImportError(
            QStringLiteral("No se puede leer la carpeta «%1»: %2.").arg(shown(folder), systemReason(errno)));
    ::closedir(dir);
}

// The files of the source folder; ImportError when it cannot be read whole.
QStringList filesIn(const QString& folder)
{
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        throw ImportError(
            QStringLiteral("No se puede leer la carpeta «%1»: %2.").arg(shown(folder), systemReason(errno)));
    QStringList names;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry)
            break;
        const QString name = QFile::decodeName(entry->d_name);
        if (name != QLatin1String(".") && name != QLatin1String("..")
            && !QFileInfo(QDir(folder).filePath(name)).isDir())
            names << name;
    }
    const int error = errno;
    ::closedir(dir);
    if (error != 0)
        throw ImportError(
            QStringLiteral("No se puede leer la carpeta «%1»: %2.").arg(shown(folder), systemReason(error)));
    return names;
}

// The earlier version ran on a file system that ignores letter case, so a
// copied table may come as FICMAES.DB, ficmaes.db or Ficmaes.Db.
std::optional<QString> findIgnoringCase(const QString& folder, const QString& fileName)
{
    QStringList matches;
    for (const QString& entry : filesIn(folder))
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
            matches << entry;
    if (matches.isEmpty())
        return std::nullopt;
    if (matches.size() > 1)
        throw ImportError(QStringLiteral("En «%1» hay varios archivos que solo se distinguen por mayúsculas "
                                         "y minúsculas (%2); deje solo uno.")
                              .arg(shown(folder), matches.join(QStringLiteral(", "))));
    return QDir(folder).filePath(matches.front());
}

// A source field of the kind the earlier version wrote; a counter may also
// have been kept as a plain number.
bool fits(ParadoxKind earlier, ParadoxKind source)
{
    if (earlier == ParadoxKind::AutoInc)
        return source == ParadoxKind::AutoInc || source == ParadoxKind::Long || source == ParadoxKind::Short;
    return source == earlier;
}

QString kindName(ParadoxKind kind)
{
    switch (kind) {
    case ParadoxKind::Alpha:
        return QStringLiteral("texto");
    case ParadoxKind::Date:
        return QStringLiteral("fecha");
    case ParadoxKind::Time:
        return QStringLiteral("hora");
    case ParadoxKind::Logical:
        return QStringLiteral("lógico");
    case ParadoxKind::AutoInc:
    case ParadoxKind::Long:
    case ParadoxKind::Short:
        return QStringLiteral("contador");
    case ParadoxKind::Memo:
        return QStringLiteral("memo");
    case ParadoxKind::Other:
        break;
    }
    return QStringLiteral("desconocido");
}

// Which of our kinds holds a value of the earlier version's kind.
bool holds(engine::FieldKind ours, ParadoxKind earlier)
{
    switch (ours) {
    case engine::FieldKind::Text:
        return earlier == ParadoxKind::Alpha;
    case engine::FieldKind::Date:
        return earlier == ParadoxKind::Date;
    case engine::FieldKind::Time:
        return earlier == ParadoxKind::Time;
    case engine::FieldKind::Logical:
        return earlier == ParadoxKind::Logical;
    case engine::FieldKind::Counter:
        return earlier == ParadoxKind::AutoInc;
    case engine::FieldKind::Memo:
        return earlier == ParadoxKind::Memo;
    }
    return false;
}

// One table read and checked in full before anything is written: its rows
// as the values to bind, in our column order (an invalid QVariant is NULL).
struct ImportedTable {
    const engine::TableDef* def = nullptr;
    std::vector<std::vector<QVariant>> rows;
};

ImportedTable readTable(const QString& sourceFolder, const engine::TableDef& def)
{
    const QString base = QFileInfo(def.fileName).completeBaseName();
    const std::optional<QString> dbPath = findIgnoringCase(sourceFolder, base + QStringLiteral(".DB"));
    if (!dbPath)
        throw ImportError(QStringLiteral("Falta la tabla %1.DB en «%2».").arg(base, shown(sourceFolder)));
    const QString mbPath = findIgnoringCase(sourceFolder, base + QStringLiteral(".MB")).value_or(QString());
    ParadoxTable source(*dbPath, mbPath);

    const auto foreign = [&](const QString& why) {
        return ImportError(QStringLiteral("«%1» no es la tabla %2 de la versión anterior: %3.")
                               .arg(shown(*dbPath), base, why));
    };
    // The source against the earlier version's own list of fields (their
    // order and the width of a text may differ: a text is checked value by
    // value against our field below).
    const EarlierTable* earlier = earlierTable(def.fileName);
    if (!earlier)
        throw ImportError(QStringLiteral("Huellario no sabe importar la tabla %1.").arg(def.fileName));
    std::vector<int> sourceOf; // per earlier field, its index in the source
    std::vector<bool> used(source.fields().size(), false);
    for (const EarlierField& field : earlier->fields) {
        const QString name = QLatin1String(field.name);
        int found = -1;
        for (int i = 0; i < int(source.fields().size()); ++i)
            if (source.fields()[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0)
                found = i;
        if (found < 0)
            throw foreign(QStringLiteral("le falta el campo %1").arg(name));
        if (!fits(field.kind, source.fields()[size_t(found)].kind))
            throw foreign(QStringLiteral("el campo %1 no es de tipo %2").arg(name, kindName(field.kind)));
        sourceOf.push_back(found);
        used[size_t(found)] = true;
    }
    for (size_t i = 0; i < used.size(); ++i)
        if (!used[i])
            throw foreign(
                QStringLiteral("tiene el campo %1, que Huellario no conoce").arg(source.fields()[i].name));

    // Where each of our columns comes from (-1: a column the earlier version
    // did not have), and every earlier field has a column to go to.
    std::vector<int> sourceIndex(def.fields.size(), -1);
    for (size_t e = 0; e < earlier->fields.size(); ++e) {
        const QString name = QLatin1String(earlier->fields[e].name);
        bool placed = false;
        for (size_t c = 0; c < def.fields.size(); ++c)
            if (def.fields[c].name.compare(name, Qt::CaseInsensitive) == 0
                && holds(def.fields[c].kind, earlier->fields[e].kind)) {
                sourceIndex[c] = sourceOf[e];
                placed = true;
            }
        if (!placed)
            throw ImportError(
                QStringLiteral("Huellario no tiene dónde guardar el campo %1 de la tabla %2; no se "
                               "importa nada para no perderlo.")
                    .arg(name, def.fileName));
    }

    ImportedTable table;
    table.def = &def;
    std::map<qint64, int> counters; // value -> record number, to find repeats
    std::vector<std::pair<size_t, size_t>> blankCounters; // row, column
    for (int r = 0; r < source.recordCount(); ++r) {
        const ParadoxRecord record = source.record(r);
        std::vector<QVariant> row;
        for (size_t c = 0; c < def.fields.size(); ++c) {
            const engine::FieldDef& field = def.fields[c];
            const QVariant value = sourceIndex[c] < 0 ? QVariant() : record[size_t(sourceIndex[c])];
            if (!value.isValid()) {
                if (field.kind == engine::FieldKind::Counter)
                    blankCounters.emplace_back(table.rows.size(), c);
                row.emplace_back();
                continue;
            }
            switch (field.kind) {
            case engine::FieldKind::Text:
            case engine::FieldKind::Memo: {
                const QString text = value.toString();
                // Cutting a text to our size would lose the user's words
                // without telling, so the whole import stops instead.
                if (field.kind == engine::FieldKind::Text && text.size() > field.size)
                    throw ImportError(
                        QStringLiteral("«%1», registro %2, campo %3: el texto «%4» tiene %5 caracteres y "
                                       "Huellario admite %6 en ese campo. No se importa nada para no "
                                       "recortarlo; acórtelo en la versión anterior y vuelva a importar.")
                            .arg(shown(*dbPath))
                            .arg(r + 1)
                            .arg(field.name, text)
                            .arg(text.size())
                            .arg(field.size));
                row.emplace_back(text.isEmpty() ? QVariant() : QVariant(text));
                break;
            }
            case engine::FieldKind::Date:
                row.emplace_back(value.toDate().toString(QStringLiteral("yyyy-MM-dd")));
                break;
            case engine::FieldKind::Time:
                // Our times keep whole seconds.
                row.emplace_back(value.toTime().toString(QStringLiteral("HH:mm:ss")));
                break;
            case engine::FieldKind::Logical:
                row.emplace_back(qint64(value.toBool() ? 1 : 0));
                break;
            case engine::FieldKind::Counter: {
                const qint64 n = value.toLongLong();
                const auto [at, isNew] = counters.emplace(n, r + 1);
                if (!isNew)
                    throw ImportError(
                        QStringLiteral("«%1» está dañado: los registros %2 y %3 tienen el mismo %4 (%5).")
                            .arg(shown(*dbPath))
                            .arg(at->second)
                            .arg(r + 1)
                            .arg(field.name)
                            .arg(n));
                row.emplace_back(n);
                break;
            }
            }
        }
        table.rows.push_back(std::move(row));
    }
    // A blank counter gets a number after every stored one, so none collides.
    qint64 next = counters.empty() ? 1 : std::max<qint64>(counters.rbegin()->first + 1, 1);
    for (const auto& [row, column] : blankCounters)
        table.rows[row][column] = next++;
    return table;
}

// Writes the rows into a freshly created table file in one transaction.
void writeRows(const QString& path, const ImportedTable& table)
{
    sqlite3* db = nullptr;
    const auto fail = [&]() {
        const QString why = QString::fromUtf8(sqlite3_errmsg(db));
        return ImportError(QStringLiteral("No se pudo escribir en «%1»: %2").arg(shown(path), why));
    };
    struct Closer {
        sqlite3*& db;
        sqlite3_stmt* stmt = nullptr;
        ~Closer()
        {
            sqlite3_finalize(stmt);
            sqlite3_close(db);
        }
    } closer { db };
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr)
        != SQLITE_OK)
        throw fail();
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw fail();
    QStringList columns;
    for (const engine::FieldDef& field : table.def->fields)
        columns << QLatin1Char('"') + field.name + QLatin1Char('"');
    const QString sql = QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                            .arg(table.def->tableName, columns.join(QLatin1Char(',')),
                                QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(',')));
    if (sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &closer.stmt, nullptr) != SQLITE_OK)
        throw fail();
    for (const auto& row : table.rows) {
        for (size_t i = 0; i < row.size(); ++i) {
            const QVariant& value = row[i];
            const int n = int(i) + 1;
            if (!value.isValid()) {
                sqlite3_bind_null(closer.stmt, n);
            } else if (value.typeId() == QMetaType::LongLong) {
                sqlite3_bind_int64(closer.stmt, n, value.toLongLong());
            } else {
                const QByteArray utf8 = value.toString().toUtf8();
                sqlite3_bind_text(closer.stmt, n, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            }
        }
        if (sqlite3_step(closer.stmt) != SQLITE_DONE)
            throw fail();
        sqlite3_reset(closer.stmt);
        throwIfInterrupted();
    }
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
        throw fail();
}

// Creates the tables in `staging` and writes their rows.
QStringList writeTables(const QString& staging, const std::vector<ImportedTable>& tables)
{
    QStringList files;
    try {
        for (const ImportedTable& table : tables) {
            engine::createTableFile(staging, *table.def);
            files << table.def->fileName;
            step();
            writeRows(QDir(staging).filePath(table.def->fileName), table);
            step();
        }
    } catch (const engine::EngineError& e) {
        throw ImportError(e.message());
    }
    return files;
}

} // namespace

int importTables(const QString& sourceFolder, const Options& options, QTextStream& out, QTextStream& err)
{
    const QString source = absoluteClean(sourceFolder);
    const QString aliasFile = absoluteClean(
        options.aliasFile.isEmpty() ? engine::AliasRegistry::defaultFile() : options.aliasFile);
    const QString folder = absoluteClean(options.folder.isEmpty() ? defaultDataFolder() : options.folder);

    // As for an install: a folder the alias file cannot hold would leave the
    // program unable to find the imported tables.
    if (!engine::AliasRegistry::canHold(folder)) {
        err << "No se importa nada: el nombre de la carpeta «" << shown(folder)
            << "» tiene saltos de línea o espacios en blanco al principio o al final, y el archivo "
               "de alias no puede guardarlo tal cual."
            << Qt::endl
            << "Elija una carpeta sin ellos con --dir." << Qt::endl;
        return Usage;
    }

    std::optional<NewDataFolder> data;
    try {
        data.emplace(folder, aliasFile, NewDataFolder::Kind::Import, out);
    } catch (const SetupError& e) {
        err << "No se pudo importar: " << e.message() << Qt::endl << "No se ha cambiado nada." << Qt::endl;
        return Failed;
    }
    const QStringList present = data->presentTables();
    if (!present.isEmpty()) {
        err << "No se importa nada: en «" << shown(folder) << "» ya existe"
            << (present.size() == 1 ? " " : "n ") << present.join(QStringLiteral(", ")) << "." << Qt::endl
            << "huellario-setup nunca sobrescribe una tabla; elija otra carpeta con --dir." << Qt::endl;
        return Refused;
    }

    std::optional<QString> registered;
    std::vector<ImportedTable> tables;
    try {
        try {
            registered = engine::AliasRegistry(aliasFile).folderOf(kAlias);
        } catch (const engine::EngineError& e) {
            throw ImportError(QStringLiteral("No se puede leer el archivo de alias: %1").arg(e.message()));
        }
        checkSourceFolder(source);
        // Every table is read and checked before anything is written.
        for (const engine::TableDef& def : schema::tables())
            tables.push_back(readTable(source, def));

        checkAliasFileWritable(aliasFile);
        data->commit(writeTables(data->begin(), tables));
    } catch (const SetupError& e) {
        data->abandon();
        err << "No se pudo importar: " << e.message() << Qt::endl << "No se ha cambiado nada." << Qt::endl;
        if (const auto* interrupted = dynamic_cast<const Interrupted*>(&e))
            endBy(interrupted->signal());
        return Failed;
    }

    out << "Tablas de la versión anterior importadas de «" << shown(source) << "» a «" << shown(folder)
        << "»:" << Qt::endl;
    qsizetype total = 0;
    for (const ImportedTable& table : tables) {
        out << "  " << table.def->fileName.leftJustified(12)
            << QString::number(table.rows.size()).rightJustified(7)
            << (table.rows.size() == 1 ? " registro" : " registros") << Qt::endl;
        total += qsizetype(table.rows.size());
    }
    out << "Total: " << total << (total == 1 ? " registro" : " registros") << " en " << tables.size()
        << " tablas." << Qt::endl;
    out << "Alias " << kAlias << " registrado en «" << shown(aliasFile) << "»";
    if (registered && absoluteClean(*registered) != folder)
        out << " (antes apuntaba a «" << shown(*registered) << "»)";
    out << "." << Qt::endl;
    return Installed;
}

} // namespace setup
