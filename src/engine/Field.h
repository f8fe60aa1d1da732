// One field of a table's current record, read and written as text, date,
// logical or raw value. Writing needs the table in edit or insert state.
#pragma once

#include "FieldDef.h"

#include <QDate>
#include <QString>
#include <QVariant>
#include <functional>

namespace engine {

class Table;

// The system's short date format: day and month in the order the desktop's
// locale uses, always two digits each, four year digits ("dd/MM/yyyy").
QString shortDateFormat();
// Tests fix the order; an empty text goes back to the locale's.
void setShortDateFormat(const QString& format);
// Day 0: what an empty date reads as, earlier than every typed date.
inline QDate dayZero()
{
    return QDate(1899, 12, 30);
}

class Field {
public:
    Field(Table& table, FieldDef def);

    Table& table() const { return m_table; }
    const FieldDef& def() const { return m_def; }
    const QString& name() const { return m_def.name; }
    FieldKind kind() const { return m_def.kind; }
    int size() const { return m_def.size; }
    bool readOnly() const { return m_def.kind == FieldKind::Counter; }
    // Characters a grid column or a box needs for this field.
    int displayWidth() const;

    // Reading: the current record's value, or null without a record.
    bool isNull() const;
    QVariant value() const; // QString, QDate, QTime, bool, qint64 or null
    QString asString() const; // dates in the short date format, "" for null
    QDate asDate() const; // null reads as dayZero()
    bool asBoolean() const; // null reads as false

    // Writing: EngineError "<table>: Dataset not in edit or insert mode" in
    // browse state; an empty text or an invalid date stores null; text is cut
    // to the field's size; a text that is not a date of the short date
    // format gives "'%s' is not a valid date". Every store fires the change
    // handler and the table's data change, also when the value is the same.
    void setValue(const QVariant& value);
    void setAsString(const QString& text);
    void setAsDate(const QDate& date);
    void setAsBoolean(bool value);
    void clear();

    // The data module's change handler for this field.
    void setOnChange(std::function<void(Field&)> handler) { m_onChange = std::move(handler); }

private:
    friend class Table;
    Table& m_table;
    FieldDef m_def;
    int m_column = -1; // position in the table's record buffer
    std::function<void(Field&)> m_onChange;
};

} // namespace engine
