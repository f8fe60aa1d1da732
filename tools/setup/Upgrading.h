// huellario-setup --actualizar, --copia and --restaurar: the data folder's
// format, its copies, and putting a copy back.
#pragma once

#include "Installer.h"

#include <QTextStream>

namespace setup {

// The data folder the options name (--dir, else the folder HLR10 names),
// with what an interrupted upgrade or restore left settled; empty, with the
// reason on `err`, when there is none (or, unless `mustExist` is false, it
// does not exist: a lost folder can be restored).
QString dataFolder(const Options& options, QTextStream& out, QTextStream& err, bool mustExist = true);

// Each works on --dir, else the folder HLR10 names, and finishes first what
// an interrupted upgrade or restore left. Installed (0) when done, Failed (3)
// with the reason on `err` and nothing changed.

// Brings the tables to this version's format, after a copy. Nothing to do is
// also Installed.
int upgrade(const Options& options, QTextStream& out, QTextStream& err);

// A checked copy of the nine tables in a dated folder under `copies` (empty:
// the default), of which the last ten are kept.
int copyData(const Options& options, const QString& copies, QTextStream& out, QTextStream& err);

// Puts the copy in `copy` in place of the folder, which is moved aside.
// Refused (1) while Huellario has the folder open.
int restoreData(const Options& options, const QString& copy, QTextStream& out, QTextStream& err);

// Checks every table and removes the records of pets that no longer exist.
// Refused (1) while Huellario has the folder open; Failed (3) on a damaged
// table, which is named.
int checkData(const Options& options, QTextStream& out, QTextStream& err);

} // namespace setup
