// The nine tables of the data folder as the engine sees them: file and SQL
// names, fields in stored order with kinds and sizes, and indexes.
#pragma once

#include "engine/FieldDef.h"

#include <QString>
#include <vector>

namespace schema {

// The format of the table files this program writes and reads. Each change of
// fields, indexes or tables raises it and adds an upgrade step (Upgrade.h):
// 1 the first release; 2 text indexes in the Spanish order.
constexpr int currentFormat = 2;

// Every table, in the order the data module creates them.
const std::vector<engine::TableDef>& tables();

// The definition of one table by its SQL name ("FICMAES"); throws
// std::out_of_range for a name that is none of the nine.
const engine::TableDef& table(const QString& tableName);

// The fields the program declares: the stored ones except those it never
// reads or writes (INIAVIS.DB's CONTADOR, which only orders the rows).
std::vector<engine::FieldDef> declaredFields(const engine::TableDef& def);

} // namespace schema
