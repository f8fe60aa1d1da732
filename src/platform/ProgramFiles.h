// The program's own files: the read-only ones (the help file, the report
// project) and the modules it loads when first needed. In the build tree
// they sit beside the executable; installed, they are under share/huellario
// and lib/<multiarch>/huellario, found from the executable's folder so that
// any installation prefix works.
#pragma once

#include <QString>
#include <QtGlobal>

namespace platform {

// The file's path beside the executable when it is there, otherwise in the
// installed data folder when it is there; when it is in neither, the path
// beside the executable, which is what an error should name.
QString programDataFile(const QString& name);

// The same, from a given executable folder.
QString programDataFile(const QString& name, const QString& binDir);

// A module's path, found as programDataFile() finds a data file.
QString programModule(const QString& name);
QString programModule(const QString& name, const QString& binDir);

// Loads the module at `path` (it stays loaded until the program ends) and,
// when `symbol` is given, finds that function of it. On failure, false and
// in `error` a Spanish phrase naming the file: "falta el módulo "…"" or "el
// módulo "…" no se puede cargar (reason)".
bool loadProgramModule(
    const QString& path, QString* error, const char* symbol = nullptr, QFunctionPointer* function = nullptr);

} // namespace platform
