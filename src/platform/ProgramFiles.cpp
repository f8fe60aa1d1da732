#include "platform/ProgramFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace platform {

QString programDataFile(const QString& name)
{
    return programDataFile(name, QCoreApplication::applicationDirPath());
}

namespace {

QString besideOrIn(const QString& name, const QString& binDir, const QString& installedFromBin)
{
    const QDir bin(binDir);
    QString beside = bin.filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir::cleanPath(bin.filePath(installedFromBin + QLatin1Char('/') + name));
    return QFileInfo::exists(installed) ? installed : beside;
}

} // namespace

QString programDataFile(const QString& name, const QString& binDir)
{
    return besideOrIn(name, binDir, QStringLiteral(HLR_DATA_FROM_BIN));
}

QString programModule(const QString& name)
{
    return programModule(name, QCoreApplication::applicationDirPath());
}

QString programModule(const QString& name, const QString& binDir)
{
    return besideOrIn(name, binDir, QStringLiteral(HLR_MODULES_FROM_BIN));
}

bool loadProgramModule(const QString& path, QString* error, const char* symbol, QFunctionPointer* function)
{
    const QString shown = QDir::toNativeSeparators(path);
    if (!QFileInfo::exists(path)) {
        *error = QStringLiteral("falta el módulo \"%1\"").arg(shown);
        return false;
    }
    QLibrary module(path);
    if (!module.load()) {
        *error = QStringLiteral("el módulo \"%1\" no se puede cargar (%2)").arg(shown, module.errorString());
        return false;
    }
    if (symbol) {
        *function = module.resolve(symbol);
        if (!*function) {
            *error
                = QStringLiteral("el módulo \"%1\" no se puede cargar (no es el de esta versión)").arg(shown);
            return false;
        }
    }
    return true;
}

} // namespace platform
