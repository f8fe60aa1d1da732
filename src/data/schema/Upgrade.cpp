#include "data/schema/Upgrade.h"

#include "data/schema/Backup.h"
#include "data/schema/FolderFiles.h"
#include "data/schema/Schema.h"
#include "engine/EngineError.h"
#include "engine/FieldDef.h"
#include "engine/SchemaSql.h"
#include "engine/Sqlite.h"
#include "engine/TableFileLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace schema {

namespace {

using engine::EngineError;

// Staged files sit beside the originals under hidden names, so a rename
// brings each in; the marker says that all of them are complete.
const QString kStagedSuffix = QStringLiteral(".actualizado");
const QString kMarker = QStringLiteral(".huellario-actualizacion");
const QString kNew = QStringLiteral(".nuevo");

QString stagedName(const QString& fileName)
{
    return QLatin1Char('.') + fileName + kStagedSuffix;
}

// Where a power cut or a kill could fall (HLR_TEST_UPGRADE_KILL=N in the tests).
void checkpoint()
{
    static files::KillPoints points("HLR_TEST_UPGRADE_KILL");
    points.reached();
}

using files::failed;
using files::syncFolder;

void renameOver(const QString& from, const QString& to)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        failed(QStringLiteral("No se puede sustituir el archivo"), to);
}

// Format 2: the indexes on names and words order as a Spanish reader does.
QStringList spanishIndexes(const QString& tableName)
{
    using engine::TextOrder;
    static const std::vector<std::pair<QString, engine::IndexDef>> indexes = {
        { QStringLiteral("RAZAS"),
            { QStringLiteral("RAZAS_RAZA"), { { QStringLiteral("RAZA"), TextOrder::Spanish } } } },
        { QStringLiteral("SANIDAD"),
            { QStringLiteral("SANIDAD_CODIGO_DESCRIPCIO"),
                { { QStringLiteral("CODIGO"), TextOrder::Binary },
                    { QStringLiteral("DESCRIPCIO"), TextOrder::Spanish } } } },
        { QStringLiteral("VETERIN"),
            { QStringLiteral("VETERIN_CLINICA"), { { QStringLiteral("CLINICA"), TextOrder::Spanish } } } },
    };
    QStringList statements;
    for (const auto& [table, index] : indexes)
        if (table == tableName)
            statements << QStringLiteral("DROP INDEX IF EXISTS %1").arg(engine::sql::quoted(index.name))
                       << engine::schema::createIndexStatement(table, index);
    return statements;
}

// The steps from each format to the next, in order. A step's statements are
// written out here once and for all, never taken from the current schema,
// which will have moved on.
struct Step {
    int to;
    QStringList (*statements)(const QString& tableName);
};
const Step kSteps[] = { { 2, spanishIndexes } };
static_assert(std::size(kSteps) == size_t(currentFormat - 1), "one step for each format after the first");

} // namespace

FolderFormat folderFormat(const QString& folder)
{
    FolderFormat format;
    for (const engine::TableDef& def : tables()) {
        const QString path = QDir(folder).filePath(def.fileName);
        if (!QFileInfo::exists(path))
            continue;
        const int version = engine::tableFileFormat(path);
        if (version < 0)
            continue; // damaged or foreign: opening the table says so
        if (format.tables == 0 || version < format.oldest)
            format.oldest = version;
        if (format.tables == 0 || version > format.newest) {
            format.newest = version;
            format.newestFile = path;
        }
        ++format.tables;
    }
    return format;
}

bool settleUpgrade(const QString& folder)
{
    const QDir dir(folder);
    const bool committed = QFileInfo::exists(dir.filePath(kMarker));
    bool acted = false;
    for (const engine::TableDef& def : tables()) {
        const QString staged = dir.filePath(stagedName(def.fileName));
        if (!QFileInfo::exists(staged))
            continue;
        acted = true;
        if (committed) {
            renameOver(staged, dir.filePath(def.fileName));
            checkpoint();
        } else if (!QFile::remove(staged)) {
            failed(QStringLiteral("No se puede borrar el archivo"), staged);
        }
    }
    // A marker never brought in: the upgrade had not reached its point of no return.
    if (QFile::exists(dir.filePath(kMarker + kNew)) && !QFile::remove(dir.filePath(kMarker + kNew)))
        failed(QStringLiteral("No se puede borrar el archivo"), dir.filePath(kMarker + kNew));
    if (acted)
        syncFolder(folder);
    if (committed) {
        if (!QFile::remove(dir.filePath(kMarker)))
            failed(QStringLiteral("No se puede borrar el archivo"), dir.filePath(kMarker));
        syncFolder(folder);
        acted = true;
    }
    return acted;
}

void requireCurrentFormat(const QString& folder)
{
    settleUpgrade(folder);
    const FolderFormat format = folderFormat(folder);
    if (format.tables == 0)
        return;
    if (format.newest > currentFormat)
        throw EngineError(QStringLiteral("El archivo de tabla %1 es de una versión más reciente de Huellario "
                                         "(formato %2); esta versión lee hasta el formato %3. Instale la "
                                         "versión más reciente de Huellario.")
                              .arg(format.newestFile)
                              .arg(format.newest)
                              .arg(currentFormat));
    if (format.oldest < currentFormat)
        throw EngineError(
            QStringLiteral("Las tablas de la carpeta %1 son de una versión anterior de Huellario "
                           "(formato %2). Actualícelas con «huellario-setup --actualizar».")
                .arg(QDir::toNativeSeparators(folder))
                .arg(format.oldest));
}

QString defaultCopiesFolder()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/huellario/copias");
}

UpgradeResult upgradeFolder(const QString& folder, const QString& copies)
{
    settleUpgrade(folder);
    const QDir dir(folder);
    for (const engine::TableDef& def : tables())
        if (!QFileInfo::exists(dir.filePath(def.fileName)))
            throw EngineError(QStringLiteral("Falta el archivo de tabla %1; no se actualiza nada.")
                                  .arg(dir.filePath(def.fileName)));
    // No program may have a table open from here to the end.
    std::vector<std::unique_ptr<engine::TableFileLock>> locks;
    for (const engine::TableDef& def : tables())
        locks.push_back(std::make_unique<engine::TableFileLock>(dir.filePath(def.fileName)));

    // Every file readable before anything is copied: a damaged one is named.
    for (const engine::TableDef& def : tables())
        engine::readTableDef(dir.filePath(def.fileName));
    const FolderFormat format = folderFormat(folder);
    UpgradeResult result { format.oldest, currentFormat, {} };
    if (format.newest > currentFormat)
        requireCurrentFormat(folder); // says which file is newer
    if (format.oldest == currentFormat)
        return result;

    // The copy of the folder as it was, one of the owner's copies.
    result.copy = copyFolder(folder, copies, QStringLiteral("antes-de-actualizar")).folder;
    checkpoint();

    // Each file staged and brought to the current format, a step at a time.
    try {
        for (const engine::TableDef& def : tables()) {
            const QString staged = dir.filePath(stagedName(def.fileName));
            const int from = engine::readTableDef(dir.filePath(def.fileName)).formatVersion;
            engine::copyTableFile(dir.filePath(def.fileName), staged);
            checkpoint();
            for (const Step& step : kSteps) {
                if (step.to <= from)
                    continue;
                engine::changeTableFile(staged, step.statements(def.tableName), step.to);
                checkpoint();
            }
        }
        syncFolder(folder);
    } catch (...) {
        for (const engine::TableDef& def : tables())
            QFile::remove(dir.filePath(stagedName(def.fileName)));
        throw;
    }

    // The point of no return: once the marker is on disk, the staged files
    // replace the originals, here or in the next settleUpgrade().
    const QString pending = dir.filePath(kMarker + kNew);
    QFile marker(pending);
    if (!marker.open(QIODevice::WriteOnly | QIODevice::Truncate) || ::fsync(marker.handle()) != 0)
        failed(QStringLiteral("No se puede escribir el archivo"), pending);
    marker.close();
    renameOver(pending, dir.filePath(kMarker));
    syncFolder(folder);
    checkpoint();
    settleUpgrade(folder);
    checkpoint();
    return result;
}

} // namespace schema
