// The program's own read-only files (the help file, the report project).
// In the build tree they sit beside the executable; installed, they are under
// share/huellario, found from the executable's folder so that any
// installation prefix works.
#pragma once

#include <QString>

namespace platform {

// The file's path beside the executable when it is there, otherwise in the
// installed data folder when it is there; when it is in neither, the path
// beside the executable, which is what an error should name.
QString programDataFile(const QString& name);

// The same, from a given executable folder.
QString programDataFile(const QString& name, const QString& binDir);

} // namespace platform
