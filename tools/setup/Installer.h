// Installs a new data folder: the nine table files with their initial
// contents and the alias HLR10 pointing at it. Never overwrites a table.
#pragma once

#include <QString>
#include <QTextStream>

namespace setup {

struct Options {
    QString folder; // empty: the registered folder (--if-missing) or the default
    QString aliasFile; // empty: the engine's alias file
    bool ifMissing = false;
};

// $XDG_DATA_HOME (or ~/.local/share) followed by /huellario.
QString defaultDataFolder();

// Exit codes of the tool.
enum ExitCode { Installed = 0, Refused = 1, Usage = 2, Failed = 3 };

// Runs the installation; progress goes to `out`, refusals and errors to
// `err`, in Spanish. A failure removes whatever this run created.
int install(const Options& options, QTextStream& out, QTextStream& err);

} // namespace setup
