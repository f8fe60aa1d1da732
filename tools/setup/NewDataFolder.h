// A new data folder made all or nothing as the user sees it: the tables are
// built in a hidden staging folder, brought in with one rename (or, into a
// folder that already holds other files, one rename each after a note of
// what is being brought), and the alias HLR10 is registered last. Ctrl-C or
// SIGTERM removes what was made; a run that was killed outright is tidied
// up by the next one, which removes only files it can tell are ours.
#pragma once

#include "Interruption.h"
#include "SetupError.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <memory>

namespace setup {

class NewDataFolder {
public:
    enum class Kind { Install, Import };

    // Looks at `target` (an absolute, clean path): removes what an earlier
    // interrupted run of ours left there or beside it, telling `out`.
    // SetupError when the target is not a folder or another run is at work.
    NewDataFolder(const QString& target, const QString& aliasFile, Kind kind, QTextStream& out);
    // Abandons the folder unless it was committed.
    ~NewDataFolder();
    NewDataFolder(const NewDataFolder&) = delete;
    NewDataFolder& operator=(const NewDataFolder&) = delete;

    // The nine tables' files that exist in the target.
    QStringList presentTables() const;

    // Makes the staging folder (and the target's missing parents) and
    // returns it: the tables are created there. From here until commit()
    // or abandon(), SIGINT, SIGTERM and SIGHUP stop the work at its next
    // step() instead of ending the process.
    QString begin();

    // Brings the tables in and registers the alias; once it returns, the
    // folder is complete. SetupError, with everything removed, when it fails.
    void commit(const QStringList& tableFiles);

    // Removes whatever this run made. Idempotent.
    void abandon();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// Checks that the alias file could be written, without making anything.
void checkAliasFileWritable(const QString& aliasFile);

} // namespace setup
