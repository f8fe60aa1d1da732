// The data-file contract in SQL, for the engine and the schema's upgrade
// steps: the statements that create a table file, and reading a table's
// definition back from a file.
#pragma once

#include "FieldDef.h"

#include <QStringList>
#include <sqlite3.h>

namespace engine::schema {

// The column definition of one field: type and checks.
QString columnSql(const FieldDef& field);
// CREATE TABLE and CREATE INDEX statements for the definition.
QStringList createStatements(const TableDef& def);
// The CREATE INDEX statement of one index.
QString createIndexStatement(const QString& tableName, const IndexDef& index);
// An index column: the field, or the expression its order takes.
QString indexColumnSql(const IndexField& field);

// The key that orders `expression` (a text) as a Spanish reader does: the
// accented vowels of Spanish, Catalan and Galician (á à é è í ó ò ú ü) and Ç
// as their plain letters, Ñ as N followed by DEL so that it comes after every
// N and before O, all in small letters so that blanks, signs and digits come
// first. Built from
// SQLite's own replace() and lower(), so the stock sqlite3 client computes
// it too and can check indexes on it. A file format fixes it: changing it
// needs an upgrade step.
QString spanishKeySql(const QString& expression);

// Reads the fields, indexes and format version of `tableName` from an open
// file; EngineError naming `filePath` when the table is missing or holds a
// column or index key that is not of the contract's kinds.
TableDef readDef(sqlite3* db, const QString& filePath, const QString& tableName);

// The SQL table inside a table file: the file's name without its extension.
QString tableNameOf(const QString& fileName);

} // namespace engine::schema
