// The data-file contract in SQL, private to the engine: the statements that
// create a table file, and reading a table's definition back from a file.
#pragma once

#include "FieldDef.h"

#include <QStringList>
#include <sqlite3.h>

namespace engine::schema {

// The column definition of one field: type and checks.
QString columnSql(const FieldDef& field);
// CREATE TABLE and CREATE INDEX statements for the definition.
QStringList createStatements(const TableDef& def);

// Reads the fields and indexes of `tableName` from an open file; EngineError
// naming `filePath` when the table is missing or holds a column that is not
// of the contract's kinds.
TableDef readDef(sqlite3* db, const QString& filePath, const QString& tableName);

// The SQL table inside a table file: the file's name without its extension.
QString tableNameOf(const QString& fileName);

} // namespace engine::schema
