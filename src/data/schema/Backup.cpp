#include "data/schema/Backup.h"

#include "data/schema/FolderFiles.h"
#include "data/schema/PetRecords.h"
#include "data/schema/Schema.h"
#include "engine/EngineError.h"
#include "engine/FieldDef.h"
#include "engine/TableFileLock.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QScopeGuard>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace schema {

namespace {

using engine::EngineError;

const QString kPartial = QStringLiteral(".parcial");
const QString kRestoring = QStringLiteral(".restaurando");
const QString kJournal = QStringLiteral(".restauracion");

// Where a power cut or a kill could fall (HLR_TEST_BACKUP_KILL=N in the tests).
void checkpoint()
{
    static files::KillPoints points("HLR_TEST_BACKUP_KILL");
    points.reached();
}

using files::failed;
using files::syncFolder;

void renameFolder(const QString& from, const QString& to)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        failed(QStringLiteral("No se puede cambiar de nombre la carpeta"), from);
}

QString parentOf(const QString& folder)
{
    return QFileInfo(QDir::cleanPath(folder)).absolutePath();
}

// Beside the folder, under hidden names of its own, so a rename brings each in.
QString besideFolder(const QString& folder, const QString& suffix)
{
    const QFileInfo info(QDir::cleanPath(folder));
    return QDir(info.absolutePath()).filePath(QLatin1Char('.') + info.fileName() + suffix);
}

QString stamp()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_HHmmss"));
}

// The album's picture paths that do not exist, read from the copy.
QStringList missingPictures(const QString& albumFile)
{
    QStringList missing;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(albumFile).constData(), &db, SQLITE_OPEN_READONLY, nullptr)
        != SQLITE_OK) {
        sqlite3_close(db);
        throw EngineError(QStringLiteral("No se puede leer el archivo de tabla %1.").arg(albumFile));
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT DISTINCT CARPETA FROM ALBUM ORDER BY CARPETA", -1, &statement, nullptr)
        == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
            const QString path = text ? QString::fromUtf8(text).trimmed() : QString();
            if (!path.isEmpty() && !QFileInfo::exists(path))
                missing << path;
        }
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return missing;
}

// The number that ends a copy's name; the first copy of a second has none (1).
int copyNumber(const QString& name)
{
    static const QRegularExpression counter(QStringLiteral("-(\\d+)$"));
    const QRegularExpressionMatch match = counter.match(name);
    return match.hasMatch() ? match.captured(1).toInt() : 1;
}

void removeOlderCopies(const QString& copies)
{
    QStringList names;
    for (const QString& name : QDir(copies).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        if (isCopyName(name))
            names << name;
    // By date and time, then by the number that tells apart copies of one
    // second ("-10" is newer than "-9", though it sorts before it as text).
    const auto key = [](const QString& name) { return std::make_pair(name.left(17), copyNumber(name)); };
    std::sort(
        names.begin(), names.end(), [&key](const QString& a, const QString& b) { return key(a) < key(b); });
    for (qsizetype i = 0; i + kCopiesKept < names.size(); ++i)
        QDir(QDir(copies).filePath(names[i])).removeRecursively();
}

void lockFolder(const QString& folder, std::vector<std::unique_ptr<engine::TableFileLock>>& locks)
{
    const QDir dir(folder);
    for (const engine::TableDef& def : tables()) {
        const QString path = dir.filePath(def.fileName);
        if (!QFileInfo::exists(path))
            continue;
        try {
            locks.push_back(std::make_unique<engine::TableFileLock>(path));
        } catch (const EngineError&) {
            throw FolderInUse(QStringLiteral("Huellario tiene abierta la carpeta de datos «%1» (la tabla %2 "
                                             "está en uso). Cierre Huellario y vuelva a intentarlo.")
                                  .arg(QDir::toNativeSeparators(folder), def.fileName));
        }
    }
}

} // namespace

bool isCopyName(const QString& name)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\d{4}-\\d{2}-\\d{2}_\\d{6}(-[a-z-]+?)?(-\\d+)?$"));
    return pattern.match(name).hasMatch();
}

FolderCopy copyFolder(const QString& folder, const QString& copies, const QString& reason)
{
    const QDir source(folder);
    for (const engine::TableDef& def : tables())
        if (!QFileInfo::exists(source.filePath(def.fileName)))
            throw EngineError(QStringLiteral("Falta el archivo de tabla %1; no se hace la copia.")
                                  .arg(source.filePath(def.fileName)));
    if (!QDir().mkpath(copies))
        throw EngineError(QStringLiteral("No se puede crear la carpeta de copias %1.").arg(copies));

    // A copy of the same second gets the next number after every copy of
    // that second, never a freed one: the names keep the order they were made in.
    const QString now = stamp();
    const QString base = reason.isEmpty() ? now : now + QLatin1Char('-') + reason;
    int last = 0;
    for (const QString& other :
        QDir(copies).entryList({ now + QLatin1Char('*') }, QDir::Dirs | QDir::NoDotAndDotDot))
        if (isCopyName(other))
            last = std::max(last, copyNumber(other));
    const QString name = last == 0 ? base : QStringLiteral("%1-%2").arg(base).arg(last + 1);
    const QString target = QDir(copies).filePath(name);
    const QString partial = QDir(copies).filePath(QLatin1Char('.') + name + kPartial);
    QDir(partial).removeRecursively();
    if (!QDir().mkpath(partial))
        throw EngineError(QStringLiteral("No se puede crear la carpeta de la copia %1.").arg(partial));

    FolderCopy result;
    try {
        for (const engine::TableDef& def : tables()) {
            const QString copied = QDir(partial).filePath(def.fileName);
            engine::copyTableFile(source.filePath(def.fileName), copied);
            engine::checkTableFile(copied);
            checkpoint();
        }
        result.missingPictures
            = missingPictures(QDir(partial).filePath(table(QStringLiteral("ALBUM")).fileName));
        if (!result.missingPictures.isEmpty()) {
            QSaveFile list(QDir(partial).filePath(QLatin1String(kMissingPicturesFile)));
            if (!list.open(QIODevice::WriteOnly)
                || list.write((result.missingPictures.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8())
                    < 0
                || !list.commit())
                throw EngineError(
                    QStringLiteral("No se puede escribir la lista de imágenes que faltan en %1.")
                        .arg(partial));
        }
        syncFolder(partial);
        renameFolder(partial, target);
        syncFolder(copies);
    } catch (...) {
        QDir(partial).removeRecursively();
        throw;
    }
    checkpoint();
    result.folder = target;
    removeOlderCopies(copies);
    return result;
}

bool settleRestore(const QString& folder)
{
    const QString journal = besideFolder(folder, kJournal);
    const QString restoring = besideFolder(folder, kRestoring);
    const bool pending = QFileInfo::exists(journal);
    bool acted = false;
    if (pending && !QFileInfo::exists(folder) && QFileInfo::exists(restoring)) {
        // Stopped between the two renames: the old folder is aside, the copy ready.
        renameFolder(restoring, folder);
        acted = true;
    } else if (QFileInfo::exists(restoring)) {
        // Stopped before the old folder moved: the folder is still the old one.
        if (!QDir(restoring).removeRecursively())
            failed(QStringLiteral("No se puede borrar la carpeta"), restoring);
        acted = true;
    }
    if (pending) {
        if (!QFile::remove(journal))
            failed(QStringLiteral("No se puede borrar el archivo"), journal);
        acted = true;
    }
    if (acted)
        syncFolder(parentOf(folder));
    return acted;
}

QString restoreCopy(const QString& copy, const QString& folder)
{
    settleRestore(folder);
    const QDir from(copy);
    for (const engine::TableDef& def : tables()) {
        const QString path = from.filePath(def.fileName);
        if (!QFileInfo::exists(path))
            throw EngineError(QStringLiteral("La copia %1 no está completa: falta el archivo de tabla %2; no "
                                             "se restaura nada.")
                                  .arg(QDir::toNativeSeparators(copy), def.fileName));
        engine::checkTableFile(path);
    }
    std::vector<std::unique_ptr<engine::TableFileLock>> locks;
    if (QFileInfo::exists(folder))
        lockFolder(folder, locks);

    // The copy is duplicated, so it stays as it is, a copy among the others.
    const QString restoring = besideFolder(folder, kRestoring);
    if (!QDir().mkpath(restoring))
        throw EngineError(QStringLiteral("No se puede crear la carpeta %1.").arg(restoring));
    try {
        for (const engine::TableDef& def : tables())
            engine::copyTableFile(from.filePath(def.fileName), QDir(restoring).filePath(def.fileName));
        syncFolder(restoring);
    } catch (...) {
        QDir(restoring).removeRecursively();
        throw;
    }
    checkpoint();

    QString aside = QDir::cleanPath(folder) + QStringLiteral(".antes-de-restaurar-") + stamp();
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = QStringLiteral("%1.antes-de-restaurar-%2-%3").arg(QDir::cleanPath(folder), stamp()).arg(n);
    const QString parent = parentOf(folder);
    if (QFileInfo::exists(folder)) {
        // From the journal on, the next settleRestore() finishes what was begun.
        const QString journal = besideFolder(folder, kJournal);
        QSaveFile note(journal);
        if (!note.open(QIODevice::WriteOnly) || note.write(QFile::encodeName(aside)) < 0 || !note.commit())
            failed(QStringLiteral("No se puede escribir el archivo"), journal);
        syncFolder(parent);
        checkpoint();
        renameFolder(folder, aside);
        syncFolder(parent);
        checkpoint();
    } else {
        aside.clear();
    }
    renameFolder(restoring, folder);
    syncFolder(parent);
    checkpoint();
    settleRestore(folder);
    return aside;
}

FolderCheck checkFolder(const QString& folder)
{
    const QDir dir(folder);
    for (const engine::TableDef& def : tables())
        if (!QFileInfo::exists(dir.filePath(def.fileName)))
            throw EngineError(
                QStringLiteral("Falta el archivo de tabla %1.").arg(dir.filePath(def.fileName)));
    std::vector<std::unique_ptr<engine::TableFileLock>> locks;
    lockFolder(folder, locks);
    for (const engine::TableDef& def : tables())
        engine::checkTableFile(dir.filePath(def.fileName));

    return { removeOrphanRecords(folder) };
}

} // namespace schema
