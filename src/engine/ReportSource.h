// What the report engine reads: a set of rows under a fixed name, with the
// named fields of each row given as the text they print as. Header only, so
// both the data module and the report layer see it without linking each other.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace engine {

class ReportSource {
public:
    virtual ~ReportSource() = default;

    virtual QString sourceName() const = 0;
    virtual QStringList fieldNames() const = 0;

    // The visible rows, read without moving the source's own cursor, so a
    // listing leaves the user where they were.
    virtual int rowCount() const = 0;
    virtual std::vector<QStringList> readRows(int firstRow, int count, const QStringList& fields) const = 0;
    // The current record's fields; empty texts when there is none.
    virtual QStringList currentRecord(const QStringList& fields) const = 0;
};

} // namespace engine
