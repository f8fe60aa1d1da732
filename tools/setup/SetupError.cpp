#include "SetupError.h"

#include <cerrno>
#include <cstring>

namespace setup {

QString systemReason(int error)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("el disco está lleno");
    case EDQUOT:
        return QStringLiteral("se ha agotado la cuota de disco");
    case EACCES:
    case EPERM:
        return QStringLiteral("no hay permiso");
    case EROFS:
        return QStringLiteral("el disco es de solo lectura");
    case ENOENT:
        return QStringLiteral("no existe");
    case ENOTDIR:
        return QStringLiteral("una parte del camino no es una carpeta");
    case EIO:
        return QStringLiteral("error de lectura o escritura en el disco");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

} // namespace setup
