#include "Upgrading.h"

#include "data/schema/Schema.h"
#include "data/schema/Upgrade.h"
#include "engine/AliasRegistry.h"
#include "engine/EngineError.h"

#include <QDir>

namespace setup {

int upgrade(const Options& options, QTextStream& out, QTextStream& err)
{
    QString folder = options.folder;
    if (folder.isEmpty()) {
        const engine::AliasRegistry aliases(
            options.aliasFile.isEmpty() ? engine::AliasRegistry::defaultFile() : options.aliasFile);
        folder = aliases.folderOf(QStringLiteral("HLR10")).value_or(QString());
        if (folder.isEmpty()) {
            err << "El alias HLR10 no está registrado en " << aliases.file()
                << "; indique la carpeta de datos con --dir." << Qt::endl;
            return Failed;
        }
    }
    const QString shown = QDir::toNativeSeparators(folder);
    if (!QDir(folder).exists()) {
        err << "No existe la carpeta de datos «" << shown << "»." << Qt::endl;
        return Failed;
    }
    try {
        if (schema::settleUpgrade(folder))
            out << "Se ha completado o deshecho una actualización interrumpida en «" << shown << "»."
                << Qt::endl;
        const schema::UpgradeResult result = schema::upgradeFolder(folder);
        if (result.copy.isEmpty()) {
            out << "Las tablas de «" << shown << "» ya son del formato " << schema::currentFormat
                << "; no hay nada que actualizar." << Qt::endl;
            return Installed;
        }
        out << "Tablas de «" << shown << "» actualizadas del formato " << result.from << " al " << result.to
            << ". La copia de la carpeta tal como estaba está en «" << QDir::toNativeSeparators(result.copy)
            << "»." << Qt::endl;
        return Installed;
    } catch (const engine::EngineError& error) {
        err << "No se ha actualizado nada: " << error.message() << Qt::endl;
        return Failed;
    }
}

} // namespace setup
