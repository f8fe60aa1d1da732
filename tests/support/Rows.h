// Whole tables and grids as text, a row as "a|b|c", so one comparison shows
// every row that differs.
#pragma once

#include <QStringList>
#include <QVariantList>
#include <vector>

class QAbstractItemModel;

namespace testsupport {

// Rows as read from a table: dates in ISO form, ticks as 1 or 0, the rest as
// their text.
QStringList joinedRows(const std::vector<QVariantList>& rows);

// The texts a grid's model shows, row by row.
QStringList shownRows(const QAbstractItemModel& model);

} // namespace testsupport
