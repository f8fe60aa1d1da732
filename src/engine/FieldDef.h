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

struct IndexField {
    QString field;
    bool noCase = false; // compared without regard to case

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

    bool operator==(const TableDef&) const = default;
};

// Creates the table file `folder/def.fileName` with the data-file contract's
// column types, checks and indexes. Refuses (EngineError) if it exists.
void createTableFile(const QString& folder, const TableDef& def);

// Reads the definition back from an existing file (EngineError naming the
// file if it is missing, damaged or not one of ours).
TableDef readTableDef(const QString& filePath);

} // namespace engine
