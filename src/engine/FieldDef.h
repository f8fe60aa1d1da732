// What a table file holds: its fields with their kinds and sizes, and its
// indexes. The installation tool writes files from these; the engine reads
// them back from a file to check it.
#pragma once

#include <QString>
#include <vector>

namespace engine {

enum class FieldKind { Text, Date, Time, Logical, Counter, Memo };

struct FieldDef {
    QString name;
    FieldKind kind = FieldKind::Text;
    int size = 0; // characters, for Text only

    bool operator==(const FieldDef&) const = default;
};

// How an index orders a field's text.
enum class TextOrder {
    Binary, // as stored, byte by byte
    NoCase, // ASCII letters without regard to case (the files of format 1)
    Spanish, // as a Spanish reader orders: accents with their letter, Ñ after N, case ignored
};

struct IndexField {
    QString field;
    TextOrder order = TextOrder::Binary;

    bool operator==(const IndexField&) const = default;
};

struct IndexDef {
    QString name;
    std::vector<IndexField> fields;

    bool operator==(const IndexDef&) const = default;
};

struct TableDef {
    QString fileName; // "FICMAES.DB": the file in the data folder
    QString tableName; // "FICMAES": the SQL table inside it
    std::vector<FieldDef> fields;
    std::vector<IndexDef> indexes;
    // The file's format version (PRAGMA user_version); the files of the first
    // release carry 0, which stands for 1.
    int formatVersion = 1;

    bool operator==(const TableDef&) const = default;
};

// Creates the table file `folder/def.fileName` with the data-file contract's
// column types, checks, indexes and format version. Refuses (EngineError) if
// it exists.
void createTableFile(const QString& folder, const TableDef& def);

// Reads the definition back from an existing file (EngineError naming the
// file if it is missing, damaged or not one of ours).
TableDef readTableDef(const QString& filePath);

// The key a text has in the Spanish order (TextOrder::Spanish), as the
// index computes it: searches that must agree with the order compare these.
QString spanishKey(const QString& text);

// The format version a table file carries, read from its header without
// opening it as a database (cheap enough for every start); -1 when the file
// cannot be read or is no SQLite file.
int tableFileFormat(const QString& filePath);

// Copies a table file page by page through SQLite, so the copy is the file
// as committed even with a journal left beside it; `to` must not exist. The
// copy is synced before this returns. EngineError naming the file.
void copyTableFile(const QString& from, const QString& to);

// Runs `statements` on the table file in one transaction that also sets its
// format version to `version`; on any failure nothing is changed and the
// EngineError names the file.
void changeTableFile(const QString& path, const QStringList& statements, int version);

// SQLite's integrity check of a table file, read only; EngineError naming the
// file and SQLite's first complaint unless it answers "ok".
void checkTableFile(const QString& path);

} // namespace engine
