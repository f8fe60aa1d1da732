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

} // namespace schema::files
