#include "data/schema/FolderFiles.h"

#include "engine/EngineError.h"

#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace schema::files {

void failed(const QString& what, const QString& path)
{
    throw engine::EngineError(
        QStringLiteral("%1 %2: %3").arg(what, path, QString::fromLocal8Bit(std::strerror(errno))));
}

void syncFolder(const QString& folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        if (fd >= 0)
            ::close(fd);
        failed(QStringLiteral("No se puede guardar en el disco la carpeta"), folder);
    }
    ::close(fd);
}

KillPoints::KillPoints(const char* variable)
    : m_killAt(qEnvironmentVariableIntValue(variable))
{
}

void KillPoints::reached()
{
    if (m_killAt > 0 && ++m_reached == m_killAt)
        ::raise(SIGKILL);
}

} // namespace schema::files
