// Small file-system steps that the upgrade, the copies and the restore share:
// each either succeeds or throws an EngineError naming the path and the
// system's reason.
#pragma once

#include <QString>

namespace schema::files {

// Throws "<what> <path>: <the reason errno gives>".
[[noreturn]] void failed(const QString& what, const QString& path);

// Syncs the folder's entries (names made, renamed or removed) to the disk.
void syncFolder(const QString& folder);

// The interruption tests end the process at the Nth point where a power cut
// or a kill could fall, N read from the environment variable named; never
// otherwise.
class KillPoints {
public:
    explicit KillPoints(const char* variable);
    void reached();

private:
    int m_killAt;
    int m_reached = 0;
};

} // namespace schema::files
