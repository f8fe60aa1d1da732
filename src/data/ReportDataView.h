// A table exposed to the report engine under a fixed name: the report reads
// the table's visible records, as filtered and linked at that moment.
#pragma once

#include "engine/ReportSource.h"
#include "engine/Table.h"

#include <QString>

namespace data {

class ReportDataView : public engine::ReportSource {
public:
    ReportDataView(QString name, engine::Table& table)
        : m_name(std::move(name))
        , m_table(table)
    {
    }

    const QString& name() const { return m_name; }
    engine::Table& table() const { return m_table; }

    QString sourceName() const override { return m_name; }
    QStringList fieldNames() const override;
    int rowCount() const override;
    std::vector<QStringList> readRows(int firstRow, int count, const QStringList& fields) const override;
    QStringList currentRecord(const QStringList& fields) const override;

private:
    QString m_name;
    engine::Table& m_table;
};

} // namespace data
