#include "Database.h"

#include "AliasRegistry.h"
#include "EngineError.h"

#include <QDir>
#include <QFileInfo>

namespace engine {

Database::Database(QString name, QString alias)
    : m_name(std::move(name))
    , m_alias(std::move(alias))
{
}

void Database::open()
{
    if (m_connected)
        return;
    const AliasRegistry registry;
    const std::optional<QString> folder = registry.folderOf(m_alias);
    if (!folder)
        throw EngineError(
            QStringLiteral("El alias de base de datos %1 no está registrado (archivo de alias %2).")
                .arg(m_alias, registry.file()));
    const QFileInfo info(*folder);
    if (!info.isDir())
        throw EngineError(
            QStringLiteral("La carpeta %1 del alias de base de datos %2 no existe.").arg(*folder, m_alias));
    m_folder = info.absoluteFilePath();
    m_connected = true;
}

void Database::openFolder(const QString& folder)
{
    if (m_connected)
        return;
    const QFileInfo info(folder);
    if (!info.isDir())
        throw EngineError(QStringLiteral("No existe la carpeta de datos %1.").arg(folder));
    m_folder = info.absoluteFilePath();
    m_connected = true;
}

void Database::close()
{
    m_connected = false;
    m_folder.clear();
}

QString Database::filePath(const QString& fileName) const
{
    return QDir(m_folder).filePath(fileName);
}

} // namespace engine
