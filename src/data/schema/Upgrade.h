// Bringing a data folder of an older format to the current one: ordered
// steps, each one transaction per file, done on staged copies that replace
// the files only once all of them are ready, after a copy of the folder.
#pragma once

#include <QString>

namespace schema {

// The formats of the table files present in a folder (missing, damaged and
// foreign files are not counted; opening them reports them).
struct FolderFormat {
    int tables = 0;
    int oldest = 0;
    int newest = 0;
    QString newestFile; // the first file of the newest format
};
// EngineError naming a file that cannot be read.
FolderFormat folderFormat(const QString& folder);

// An upgrade interrupted after its files were all staged is finished here;
// one interrupted before that is undone (its staged files removed). Whoever
// opens a folder runs this first. Returns whether there was anything to do.
bool settleUpgrade(const QString& folder);

// Throws EngineError unless every table file present is of the current
// format: an older folder is to be upgraded first, a newer one needs a newer
// program. Settles an interrupted upgrade first.
void requireCurrentFormat(const QString& folder);

// Where the copy made before an upgrade goes: $XDG_DATA_HOME/huellario/copias.
QString defaultCopiesFolder();

struct UpgradeResult {
    int from = 0; // the oldest format found
    int to = 0;
    QString copy; // the folder holding the copy made first; empty when nothing was done
};

// Upgrades the nine table files of `folder` to the current format. First
// the files are copied into a new dated folder under `copies` (copyFolder(),
// named "...-antes-de-actualizar"); then each is
// staged beside itself and upgraded step by step; only when all are ready
// do they replace the originals. An interruption at any point leaves the
// folder as it was or, once settleUpgrade() has run, wholly upgraded.
// EngineError, in Spanish and with nothing changed, when a table is missing,
// damaged, newer than this program, or open in a program.
UpgradeResult upgradeFolder(const QString& folder, const QString& copies = defaultCopiesFolder());

} // namespace schema
