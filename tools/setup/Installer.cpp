#include "Installer.h"

#include "InitialData.h"
#include "NewDataFolder.h"
#include "data/schema/Backup.h"
#include "data/schema/Schema.h"
#include "engine/AliasRegistry.h"
#include "engine/EngineError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <sqlite3.h>

#include <optional>

namespace setup {

namespace {

const QString kAlias = QStringLiteral("HLR10");

QString absoluteClean(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// One table file opened for writing its initial records in one transaction.
class TableWriter {
public:
    explicit TableWriter(const QString& path)
        : m_path(path)
    {
        const QByteArray file = QFile::encodeName(path);
        if (sqlite3_open_v2(file.constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            fail();
        sqlite3_busy_timeout(m_db, 5000);
        exec("BEGIN IMMEDIATE");
    }
    ~TableWriter()
    {
        if (m_open)
            sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
    }
    TableWriter(const TableWriter&) = delete;
    TableWriter& operator=(const TableWriter&) = delete;

    void insert(const QString& table, const QStringList& columns, const QStringList& values)
    {
        const QString sql = QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                                .arg(table, columns.join(QLatin1Char(',')),
                                    QStringList(columns.size(), QStringLiteral("?")).join(QLatin1Char(',')));
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
            fail();
        for (int i = 0; i < values.size(); ++i) {
            const QByteArray utf8 = values[i].toUtf8();
            sqlite3_bind_text(stmt, i + 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        }
        const int rc = sqlite3_step(stmt);
        sqlite3_finalize(stmt);
        if (rc != SQLITE_DONE)
            fail();
        throwIfInterrupted();
    }

    void commit()
    {
        exec("COMMIT");
        m_open = false;
        step();
    }

private:
    void exec(const char* sql)
    {
        if (sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            fail();
        m_open = true;
    }
    [[noreturn]] void fail()
    {
        throw SetupError(QStringLiteral("No se pudo escribir en «%1»: %2")
                             .arg(QDir::toNativeSeparators(m_path), QString::fromUtf8(sqlite3_errmsg(m_db))));
    }

    QString m_path;
    sqlite3* m_db = nullptr;
    bool m_open = false;
};

void writeInitialContents(const QString& folder)
{
    const auto path = [&](const char* table) {
        return QDir(folder).filePath(schema::table(QLatin1String(table)).fileName);
    };
    {
        TableWriter especies(path("ESPECIES"));
        for (const Species& s : initialSpecies())
            especies.insert(QStringLiteral("ESPECIES"),
                { QStringLiteral("CODIGO"), QStringLiteral("DESCRIPCION") }, { s.code, s.description });
        especies.commit();
    }
    {
        TableWriter razas(path("RAZAS"));
        for (const Breed& b : initialBreeds())
            razas.insert(QStringLiteral("RAZAS"), { QStringLiteral("RAZA"), QStringLiteral("ESPECIE") },
                { b.name, b.speciesCode });
        razas.commit();
    }
    {
        TableWriter mascotas(path("FICMAES"));
        for (const QString& code : initialPetCodes())
            mascotas.insert(QStringLiteral("FICMAES"), { QStringLiteral("CODIGO") }, { code });
        mascotas.commit();
    }
}

// The nine tables with their initial contents, made in `staging`.
QStringList makeTables(const QString& staging)
{
    QStringList files;
    try {
        for (const engine::TableDef& def : schema::tables()) {
            engine::createTableFile(staging, def);
            files << def.fileName;
            step();
        }
        writeInitialContents(staging);
    } catch (const engine::EngineError& e) {
        throw SetupError(e.message());
    }
    return files;
}

// The folder's name as the user can read it in a message: line breaks and
// other control characters written out.
QString visibleName(const QString& folder)
{
    QString shown;
    for (const QChar c : folder) {
        if (c == QLatin1Char('\n'))
            shown += QLatin1String("\\n");
        else if (c == QLatin1Char('\r'))
            shown += QLatin1String("\\r");
        else if (c == QLatin1Char('\t'))
            shown += QLatin1String("\\t");
        else if (c.category() == QChar::Other_Control)
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return QDir::toNativeSeparators(shown);
}

} // namespace

QString defaultDataFolder()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    // Relative values are invalid by the XDG rules and are ignored.
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::home().filePath(QStringLiteral(".local/share"));
    return QDir(base).filePath(QStringLiteral("huellario"));
}

int install(const Options& options, QTextStream& out, QTextStream& err)
{
    const QString aliasFile = absoluteClean(
        options.aliasFile.isEmpty() ? engine::AliasRegistry::defaultFile() : options.aliasFile);
    std::optional<QString> registered;
    try {
        registered = engine::AliasRegistry(aliasFile).folderOf(kAlias);
    } catch (const engine::EngineError& e) {
        err << "No se puede leer el archivo de alias: " << e.message() << Qt::endl;
        return Failed;
    }

    QString folder = options.folder;
    if (options.ifMissing && registered)
        folder = *registered;
    else if (folder.isEmpty())
        folder = defaultDataFolder();
    folder = absoluteClean(folder);
    // Refused before anything is made: the program would not find a folder
    // whose name the alias file changes.
    if (!engine::AliasRegistry::canHold(folder)) {
        err << "No se instala nada: el nombre de la carpeta «" << visibleName(folder)
            << "» tiene saltos de línea o espacios en blanco al principio o al final, y el archivo "
               "de alias no puede guardarlo tal cual."
            << Qt::endl
            << "Elija una carpeta sin ellos con --dir." << Qt::endl;
        return Usage;
    }

    // A restore stopped between its renames leaves no folder here for a moment;
    // it is finished first, or the initial data would take its place.
    try {
        if (schema::settleRestore(folder))
            out << "Se ha completado o deshecho una restauración interrumpida de «"
                << QDir::toNativeSeparators(folder) << "»." << Qt::endl;
    } catch (const engine::EngineError& e) {
        err << "No se pudo instalar: " << e.message() << Qt::endl << "No se ha cambiado nada." << Qt::endl;
        return Failed;
    }

    std::optional<NewDataFolder> data;
    try {
        data.emplace(folder, aliasFile, NewDataFolder::Kind::Install, out);
    } catch (const SetupError& e) {
        err << "No se pudo instalar: " << e.message() << Qt::endl << "No se ha cambiado nada." << Qt::endl;
        return Failed;
    }
    const QStringList present = data->presentTables();
    if (options.ifMissing && registered && present.size() == int(schema::tables().size())) {
        out << "Los datos de Huellario ya están instalados en «" << QDir::toNativeSeparators(*registered)
            << "» (alias " << kAlias << "); no se cambia nada." << Qt::endl;
        return Installed;
    }
    if (!present.isEmpty()) {
        err << "No se instala nada: en «" << QDir::toNativeSeparators(folder) << "» ya existe"
            << (present.size() == 1 ? " " : "n ") << present.join(QStringLiteral(", ")) << "." << Qt::endl
            << "huellario-setup nunca sobrescribe una tabla; borre esos archivos o elija otra carpeta con "
               "--dir."
            << Qt::endl;
        return Refused;
    }

    QStringList installed;
    try {
        checkAliasFileWritable(aliasFile);
        installed = makeTables(data->begin());
        data->commit(installed);
    } catch (const SetupError& e) {
        data->abandon();
        err << "No se pudo instalar: " << e.message() << Qt::endl << "No se ha cambiado nada." << Qt::endl;
        if (const auto* interrupted = dynamic_cast<const Interrupted*>(&e))
            endBy(interrupted->signal());
        return Failed;
    }

    out << "Datos de Huellario instalados en «" << QDir::toNativeSeparators(folder)
        << "»: " << installed.size() << " tablas, " << initialSpecies().size() << " especies, "
        << initialBreeds().size() << " razas y " << initialPetCodes().size() << " mascotas." << Qt::endl;
    out << "Alias " << kAlias << " registrado en «" << QDir::toNativeSeparators(aliasFile) << "»";
    if (registered && absoluteClean(*registered) != folder)
        out << " (antes apuntaba a «" << QDir::toNativeSeparators(*registered) << "»)";
    out << "." << Qt::endl;
    return Installed;
}

} // namespace setup
