// huellario-setup --cartilla: a pet's vaccination card to a PDF file, for
// scripts, with no window.
#pragma once

#include "Installer.h"

#include <QTextStream>

namespace setup {

// Writes the card of the pet with `code` in the data folder (--dir, else the
// folder HLR10 names) to `pdfFile`, through the report project installed
// with the program. Installed (0) when written; Failed (3), with the reason
// on `err`, when there is no such pet or the file cannot be written. Only
// reads the folder.
int printCard(
    const Options& options, const QString& code, const QString& pdfFile, QTextStream& out, QTextStream& err);

} // namespace setup
