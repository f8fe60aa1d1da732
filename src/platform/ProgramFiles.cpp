#include "platform/ProgramFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

QString programDataFile(const QString& name)
{
    return programDataFile(name, QCoreApplication::applicationDirPath());
}

QString programDataFile(const QString& name, const QString& binDir)
{
    const QDir bin(binDir);
    QString beside = bin.filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir::cleanPath(bin.filePath(QStringLiteral(HLR_DATA_FROM_BIN "/") + name));
    return QFileInfo::exists(installed) ? installed : beside;
}

} // namespace platform
