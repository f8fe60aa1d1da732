#include "Installer.h"

#include "InitialData.h"
#include "data/schema/Schema.h"
#include "engine/AliasRegistry.h"
#include "engine/EngineError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <QTemporaryDir>
#include <sqlite3.h>

#include <optional>
#include <stdexcept>

namespace setup {

namespace {

const QString kAlias = QStringLiteral("HLR10");

// A failure of this run, with its message already in Spanish.
class InstallError : public std::runtime_error {
public:
    explicit InstallError(const QString& message)
        : std::runtime_error(message.toStdString())
    {
    }
    QString message() const { return QString::fromStdString(what()); }
};

QString absoluteClean(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QStringList presentTables(const QString& folder)
{
    QStringList present;
    for (const engine::TableDef& def : schema::tables())
        if (QFileInfo::exists(QDir(folder).filePath(def.fileName)))
            present << def.fileName;
    return present;
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
    }

    void commit()
    {
        exec("COMMIT");
        m_open = false;
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
        throw InstallError(
            QStringLiteral("No se pudo escribir en «%1»: %2")
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

// Makes sure the alias file can be written before any table is made, so a
// bad --aliases fails with nothing installed.
void checkAliasFileWritable(const QString& aliasFile)
{
    const QFileInfo info(aliasFile);
    if (info.isDir())
        throw InstallError(QStringLiteral("«%1» es una carpeta, no un archivo de alias.")
                               .arg(QDir::toNativeSeparators(aliasFile)));
    if (!QDir().mkpath(info.absolutePath()))
        throw InstallError(QStringLiteral("No se puede crear la carpeta del archivo de alias «%1».")
                               .arg(QDir::toNativeSeparators(info.absolutePath())));
    const bool existed = info.exists();
    QFile file(aliasFile);
    if (!file.open(QIODevice::Append))
        throw InstallError(QStringLiteral("No se puede escribir el archivo de alias «%1»: %2")
                               .arg(QDir::toNativeSeparators(aliasFile), file.errorString()));
    file.close();
    if (!existed)
        file.remove();
}

// The nine files are made in a hidden staging folder inside the target and
// moved in only when all are complete; a failure leaves the target as it was.
QStringList installTables(const QString& folder)
{
    QTemporaryDir staging(QDir(folder).filePath(QStringLiteral(".huellario-setup-XXXXXX")));
    if (!staging.isValid())
        throw InstallError(QStringLiteral("No se puede escribir en la carpeta «%1»: %2")
                               .arg(QDir::toNativeSeparators(folder), staging.errorString()));
    try {
        for (const engine::TableDef& def : schema::tables())
            engine::createTableFile(staging.path(), def);
        writeInitialContents(staging.path());
    } catch (const engine::EngineError& e) {
        throw InstallError(e.message());
    }

    QStringList moved;
    for (const engine::TableDef& def : schema::tables()) {
        const QString target = QDir(folder).filePath(def.fileName);
        // rename() refuses an existing target, so a file that appeared in
        // the meantime is never replaced.
        if (!QFile::rename(staging.filePath(def.fileName), target)) {
            for (const QString& done : moved)
                QFile::remove(done);
            throw InstallError(QStringLiteral("No se pudo colocar «%1» en la carpeta de datos.")
                                   .arg(QDir::toNativeSeparators(target)));
        }
        moved << target;
    }
    return moved;
}

// Puts the alias file back as it was, when what was registered does not read
// back (another program wrote it at the same moment).
void restoreAliasFile(const QString& aliasFile, const std::optional<QByteArray>& before)
{
    if (!before) {
        QFile::remove(aliasFile);
        return;
    }
    QSaveFile out(aliasFile);
    if (out.open(QIODevice::WriteOnly) && out.write(*before) == before->size())
        out.commit();
}

void registerAlias(const QString& aliasFile, const QString& folder)
{
    std::optional<QByteArray> before;
    if (QFile in(aliasFile); in.open(QIODevice::ReadOnly))
        before = in.readAll();
    try {
        engine::AliasRegistry(aliasFile).setFolder(kAlias, folder);
        if (engine::AliasRegistry(aliasFile).folderOf(kAlias) == folder)
            return;
    } catch (const engine::EngineError& e) {
        throw InstallError(QStringLiteral("No se pudo registrar el alias %1: %2").arg(kAlias, e.message()));
    }
    restoreAliasFile(aliasFile, before);
    throw InstallError(QStringLiteral("No se pudo registrar el alias %1 en «%2».")
                           .arg(kAlias, QDir::toNativeSeparators(aliasFile)));
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

    if (options.ifMissing && registered
        && presentTables(*registered).size() == int(schema::tables().size())) {
        out << "Los datos de Huellario ya están instalados en «" << QDir::toNativeSeparators(*registered)
            << "» (alias " << kAlias << "); no se cambia nada." << Qt::endl;
        return Installed;
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

    const QStringList present = presentTables(folder);
    if (!present.isEmpty()) {
        err << "No se instala nada: en «" << QDir::toNativeSeparators(folder) << "» ya existe"
            << (present.size() == 1 ? " " : "n ") << present.join(QStringLiteral(", ")) << "." << Qt::endl
            << "huellario-setup nunca sobrescribe una tabla; borre esos archivos o elija otra carpeta con "
               "--dir."
            << Qt::endl;
        return Refused;
    }

    const bool folderExisted = QFileInfo::exists(folder);
    QStringList installed;
    try {
        checkAliasFileWritable(aliasFile);
        if (folderExisted && !QFileInfo(folder).isDir())
            throw InstallError(
                QStringLiteral("«%1» existe y no es una carpeta.").arg(QDir::toNativeSeparators(folder)));
        if (!QDir().mkpath(folder))
            throw InstallError(
                QStringLiteral("No se puede crear la carpeta «%1».").arg(QDir::toNativeSeparators(folder)));
        installed = installTables(folder);
        registerAlias(aliasFile, folder);
    } catch (const InstallError& e) {
        for (const QString& file : installed)
            QFile::remove(file);
        if (!folderExisted)
            QDir().rmdir(folder); // only when it is still empty
        err << "No se pudo instalar: " << e.message() << Qt::endl << "No se ha cambiado nada." << Qt::endl;
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
