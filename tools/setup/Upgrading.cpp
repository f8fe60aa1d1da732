#include "Upgrading.h"

#include "data/schema/Backup.h"
#include "data/schema/Schema.h"
#include "data/schema/Upgrade.h"
#include "engine/AliasRegistry.h"
#include "engine/EngineError.h"

#include <QDir>

namespace setup {

namespace {

} // namespace

QString dataFolder(const Options& options, QTextStream& out, QTextStream& err, bool mustExist)
{
    QString folder = options.folder;
    if (folder.isEmpty()) {
        const engine::AliasRegistry aliases(
            options.aliasFile.isEmpty() ? engine::AliasRegistry::defaultFile() : options.aliasFile);
        folder = aliases.folderOf(QStringLiteral("HLR10")).value_or(QString());
        if (folder.isEmpty()) {
            err << "El alias HLR10 no está registrado en " << aliases.file()
                << "; indique la carpeta de datos con --dir." << Qt::endl;
            return {};
        }
    }
    const QString shown = QDir::toNativeSeparators(folder);
    if (schema::settleRestore(folder))
        out << "Se ha completado o deshecho una restauración interrumpida de «" << shown << "»." << Qt::endl;
    if (!QDir(folder).exists()) {
        if (!mustExist)
            return folder;
        err << "No existe la carpeta de datos «" << shown << "»." << Qt::endl;
        return {};
    }
    if (schema::settleUpgrade(folder))
        out << "Se ha completado o deshecho una actualización interrumpida en «" << shown << "»." << Qt::endl;
    return folder;
}

int upgrade(const Options& options, QTextStream& out, QTextStream& err)
{
    try {
        const QString folder = dataFolder(options, out, err);
        if (folder.isEmpty())
            return Failed;
        const QString shown = QDir::toNativeSeparators(folder);
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

int copyData(const Options& options, const QString& copies, QTextStream& out, QTextStream& err)
{
    try {
        const QString folder = dataFolder(options, out, err);
        if (folder.isEmpty())
            return Failed;
        const QString into = copies.isEmpty() ? schema::defaultCopiesFolder() : copies;
        const schema::FolderCopy copy = schema::copyFolder(folder, into);
        out << "Copia de «" << QDir::toNativeSeparators(folder) << "» hecha en «"
            << QDir::toNativeSeparators(copy.folder) << "»; las nueve tablas están comprobadas." << Qt::endl;
        if (!copy.missingPictures.isEmpty())
            out << "Las imágenes del álbum no se copian, y " << copy.missingPictures.size()
                << " de ellas ya no existen; la lista está en «"
                << QDir::toNativeSeparators(
                       QDir(copy.folder).filePath(QLatin1String(schema::kMissingPicturesFile)))
                << "»." << Qt::endl;
        return Installed;
    } catch (const engine::EngineError& error) {
        err << "No se ha hecho la copia: " << error.message() << Qt::endl;
        return Failed;
    }
}

int restoreData(const Options& options, const QString& copy, QTextStream& out, QTextStream& err)
{
    try {
        const QString folder = dataFolder(options, out, err, false);
        if (folder.isEmpty())
            return Failed;
        if (!QDir(copy).exists()) {
            err << "No existe la copia «" << QDir::toNativeSeparators(copy) << "»." << Qt::endl;
            return Failed;
        }
        const QString aside = schema::restoreCopy(copy, folder);
        out << "Restaurada la copia «" << QDir::toNativeSeparators(copy) << "» en «"
            << QDir::toNativeSeparators(folder) << "».";
        if (!aside.isEmpty())
            out << " La carpeta anterior se conserva en «" << QDir::toNativeSeparators(aside) << "».";
        out << Qt::endl;
        return Installed;
    } catch (const schema::FolderInUse& error) {
        err << "No se ha restaurado nada: " << error.message() << Qt::endl;
        return Refused;
    } catch (const engine::EngineError& error) {
        err << "No se ha restaurado nada: " << error.message() << Qt::endl;
        return Failed;
    }
}

int checkData(const Options& options, QTextStream& out, QTextStream& err)
{
    try {
        const QString folder = dataFolder(options, out, err);
        if (folder.isEmpty())
            return Failed;
        const schema::FolderCheck check = schema::checkFolder(folder);
        out << "Las nueve tablas de «" << QDir::toNativeSeparators(folder) << "» están bien." << Qt::endl;
        if (check.removed.empty())
            out << "Ningún registro es de una mascota que ya no existe." << Qt::endl;
        for (const auto& [file, count] : check.removed)
            out << "Borrados de " << file << " " << count
                << (count == 1 ? " registro de una mascota" : " registros de mascotas") << " que ya no existe"
                << (count == 1 ? "." : "n.") << Qt::endl;
        return Installed;
    } catch (const schema::FolderInUse& error) {
        err << "No se ha comprobado nada: " << error.message() << Qt::endl;
        return Refused;
    } catch (const engine::EngineError& error) {
        err << "No se ha cambiado nada: " << error.message() << Qt::endl;
        return Failed;
    }
}

} // namespace setup
