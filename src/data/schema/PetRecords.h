// The records that belong to a pet through its code, in the three tables
// beside the pets' own: visits, vaccination cards and album entries. The
// tables are separate files, so a pet is deleted first and its records
// after, and a sweep of every record whose pet is gone finishes a deletion
// that was cut short.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

namespace schema {

struct PetRecordCounts {
    int visits = 0;
    int cards = 0;
    int photographs = 0;
};

// The rows of a read-only query on one table file of the folder, with `?1`
// bound to `code`; every value as text, NULL empty. EngineError naming the
// file that cannot be read.
std::vector<QStringList> readTableRows(
    const QString& folder, const QString& tableName, const QByteArray& sql, const QString& code);

// How many records of each table carry `code`. EngineError naming the file
// that cannot be read.
PetRecordCounts countPetRecords(const QString& folder, const QString& code);

// Removes the visits, vaccination cards and album entries whose code names
// no pet of the folder, one transaction per table; records without a code
// and the pictures on disk are left alone. Returns the records removed by
// table file, tables with none not listed. EngineError naming the file.
std::vector<std::pair<QString, int>> removeOrphanRecords(const QString& folder);

} // namespace schema
