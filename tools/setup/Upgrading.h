// huellario-setup --actualizar: brings the data folder's tables to the
// format of this version, after a copy of the folder.
#pragma once

#include "Installer.h"

#include <QTextStream>

namespace setup {

// The folder is --dir, else the one HLR10 names. Installed (0) when done or
// nothing was to do, Failed (3) with the reason on `err`, nothing changed.
int upgrade(const Options& options, QTextStream& out, QTextStream& err);

} // namespace setup
