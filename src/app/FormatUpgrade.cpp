#include "app/FormatUpgrade.h"

#include "data/schema/Backup.h"
#include "data/schema/Schema.h"
#include "data/schema/Upgrade.h"
#include "engine/AliasRegistry.h"
#include "engine/EngineError.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QDir>

namespace app {

UpgradeAnswer offerFormatUpgrade()
{
    schema::FolderFormat format;
    QString folder;
    try {
        folder = engine::AliasRegistry().folderOf(QStringLiteral("HLR10")).value_or(QString());
        if (folder.isEmpty())
            return UpgradeAnswer::Start;
        schema::settleRestore(folder);
        if (!QDir(folder).exists())
            return UpgradeAnswer::Start;
        schema::settleUpgrade(folder);
        format = schema::folderFormat(folder);
    } catch (const engine::EngineError&) {
        return UpgradeAnswer::Start;
    }
    if (format.tables == 0 || format.oldest >= schema::currentFormat || format.newest > schema::currentFormat)
        return UpgradeAnswer::Start;

    const bool upgrade = platform::askQuestion(nullptr, QStringLiteral("Huellario"),
        QStringLiteral(
            "Las tablas de la carpeta de datos «%1» son de una versión anterior de Huellario y hay "
            "que actualizarlas para usarlas con esta.\n\nAntes se guardará una copia de la carpeta "
            "tal como está en «%2».\n\n¿Actualizar ahora?")
            .arg(QDir::toNativeSeparators(folder), QDir::toNativeSeparators(schema::defaultCopiesFolder())),
        QStringLiteral("&Actualizar"), QStringLiteral("&Salir"), true);
    if (!upgrade)
        return UpgradeAnswer::Declined;
    try {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        schema::upgradeFolder(folder);
        QApplication::restoreOverrideCursor();
        return UpgradeAnswer::Start;
    } catch (const engine::EngineError& error) {
        QApplication::restoreOverrideCursor();
        platform::showMessage(nullptr, QStringLiteral("Huellario"),
            QStringLiteral("No se han actualizado las tablas; la carpeta sigue como estaba.\n\n%1")
                .arg(error.message()),
            platform::MessageIcon::Error);
        return UpgradeAnswer::Failed;
    }
}

} // namespace app
