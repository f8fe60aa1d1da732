#include "data/ReportDataView.h"

#include "engine/EngineError.h"
#include "engine/Field.h"

namespace data {

namespace {

// As the windows show a value: dates in the short date format.
QString printed(const QVariant& value, engine::FieldKind kind)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (kind) {
    case engine::FieldKind::Date:
        return value.toDate().toString(engine::shortDateFormat());
    case engine::FieldKind::Time:
        return value.toTime().toString(QStringLiteral("HH:mm:ss"));
    case engine::FieldKind::Logical:
        return value.toBool() ? QStringLiteral("Sí") : QStringLiteral("No");
    default:
        return value.toString();
    }
}

} // namespace

QStringList ReportDataView::fieldNames() const
{
    QStringList names;
    for (const auto& field : m_table.fields())
        names << field->name();
    return names;
}

int ReportDataView::rowCount() const
{
    return m_table.active() ? m_table.recordCount() : 0;
}

std::vector<QStringList> ReportDataView::readRows(int firstRow, int count, const QStringList& fields) const
{
    std::vector<engine::FieldKind> kinds;
    kinds.reserve(size_t(fields.size()));
    for (const QString& name : fields)
        kinds.push_back(m_table.field(name).kind());
    std::vector<QStringList> rows;
    if (!m_table.active())
        return rows;
    const std::vector<QVariantList> values = m_table.readRows(firstRow, count, fields);
    rows.reserve(values.size());
    for (const QVariantList& row : values) {
        QStringList texts;
        texts.reserve(row.size());
        for (int i = 0; i < row.size(); ++i)
            texts << printed(row[i], kinds[size_t(i)]);
        rows.push_back(std::move(texts));
    }
    return rows;
}

QStringList ReportDataView::currentRecord(const QStringList& fields) const
{
    QStringList texts;
    for (const QString& name : fields) {
        engine::Field& field = m_table.field(name);
        texts << (m_table.active() ? printed(field.value(), field.kind()) : QString());
    }
    return texts;
}

} // namespace data
