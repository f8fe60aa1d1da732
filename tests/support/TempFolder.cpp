#include "support/TempFolder.h"

#include "engine/AliasRegistry.h"

#include <QDir>

namespace testsupport {

TempFolder::TempFolder(const QString& alias)
    : m_aliasFile(m_dir.filePath(QStringLiteral("aliases.conf")))
    , m_previousAliases(qgetenv("HLR_ALIASES"))
{
    qputenv("HLR_ALIASES", m_aliasFile.toLocal8Bit());
    engine::AliasRegistry(m_aliasFile).setFolder(alias, m_dir.path());
}

TempFolder::~TempFolder()
{
    qputenv("HLR_ALIASES", m_previousAliases);
}

} // namespace testsupport
