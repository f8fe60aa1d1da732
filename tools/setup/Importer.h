// Brings the nine Paradox tables of the earlier Windows version into a new
// data folder in our format, then registers the alias HLR10 for it.
#pragma once

#include "Installer.h"

#include <QString>
#include <QTextStream>

namespace setup {

// Reads the tables in `sourceFolder` and writes them where install() would
// (options.folder, or the default data folder). Refuses with Refused when a
// table already exists there, and with Failed, naming the file, when a
// source table is missing, damaged or foreign; either way nothing is written.
int importTables(const QString& sourceFolder, const Options& options, QTextStream& out, QTextStream& err);

} // namespace setup
