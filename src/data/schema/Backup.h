// Copies of the data folder that the owner can trust, and putting one back.
// A copy holds the nine table files, each taken through SQLite in one read
// transaction (a save in progress is wholly in it or wholly out) and checked
// before the copy is named; the album's pictures are the user's own files
// and are not copied, but the ones that no longer exist are listed.
#pragma once

#include "engine/EngineError.h"

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace schema {

// How many copies a copies folder keeps; older ones are removed.
constexpr int kCopiesKept = 10;
// In each copy: the album's picture paths that did not exist when it was made.
inline constexpr char kMissingPicturesFile[] = "imagenes-que-faltan.txt";

struct FolderCopy {
    QString folder; // the copy, named by date and time (and `reason`)
    QStringList missingPictures;
};

// Copies the nine tables of `folder` into a new folder under `copies` named
// "yyyy-MM-dd_HHmmss" (then "-reason" when given). The copy is written under
// a hidden name and renamed only when every file passed SQLite's integrity
// check; then the copies beyond the last kCopiesKept of ours are removed.
// EngineError, in Spanish, naming what failed; a failed copy leaves nothing.
FolderCopy copyFolder(const QString& folder, const QString& copies, const QString& reason = {});

// Whether `name` is the name copyFolder() gives a copy.
bool isCopyName(const QString& name);

// The refusal of restoreCopy() while a program has the folder open.
class FolderInUse : public engine::EngineError {
public:
    using EngineError::EngineError;
};

// Puts `copy` in place of `folder`: refused (FolderInUse) while a program has a table of
// the folder open, and unless the copy's nine files pass the integrity
// check. The copy is duplicated beside the folder, the folder moved aside
// to "<folder>.antes-de-restaurar-<date>" (never deleted) and the duplicate
// renamed in. Returns where the old folder went.
QString restoreCopy(const QString& copy, const QString& folder);

// A restore interrupted between its two renames is finished here, and a
// duplicate left by one interrupted earlier removed: the folder is then the
// old one or the restored one, never a mix. Whoever opens a folder runs this
// first. Returns whether there was anything to do.
bool settleRestore(const QString& folder);

// What checkFolder() found and did.
struct FolderCheck {
    // Records removed because the pet they belong to no longer exists, by
    // table file; tables with none are not listed.
    std::vector<std::pair<QString, int>> removed;
};

// Checks the nine tables of `folder` with SQLite's integrity check (an
// EngineError names the first damaged one, and nothing is changed), then
// removes the visits, vaccination cards and photographs whose pet code names
// no pet: what a deletion cut short, or an import, can leave. Each table's
// removal is one transaction. Refused (FolderInUse) while a program has a
// table of the folder open.
FolderCheck checkFolder(const QString& folder);

} // namespace schema
