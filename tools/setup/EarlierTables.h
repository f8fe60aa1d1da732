// The nine Paradox tables as the earlier Windows version wrote them: field
// names, kinds and lengths in file order. Fixed here, apart from our own
// schema, so that a change of ours never changes what the import accepts.
#pragma once

#include "ParadoxTable.h"

#include <QString>
#include <vector>

namespace setup {

struct EarlierField {
    const char* name;
    ParadoxKind kind;
    int length; // bytes in the record
};

struct EarlierTable {
    const char* fileName; // as the earlier version named it
    std::vector<EarlierField> fields;
};

const std::vector<EarlierTable>& earlierTables();

// The earlier version's table stored in `fileName` (any letter case), or null.
const EarlierTable* earlierTable(const QString& fileName);

} // namespace setup
