// The record buffer's states: append, edit, post, cancel, delete, emptying,
// and the storing of field values.
#include "Table.h"

#include "DataSource.h"
#include "Database.h"
#include "EngineError.h"
#include "TableCursor.h"

#include <algorithm>

namespace engine {

void Table::refuseChanged() const
{
    throw EngineError(
        refusal(QStringLiteral("Couldn't perform the edit because another user changed the record.")));
}

void Table::refuseChangedAndShowStored()
{
    if (m_state == TableState::Browse) {
        if (auto stored = m_cursor->readRow(m_rowid)) {
            m_buffer = std::move(*stored);
        } else {
            m_cursor->erase(m_row);
            loadRow(m_row);
        }
        m_eof = m_cursor->count() == 0;
    }
    // An edit keeps its typed values and what they were typed over, so
    // posting them again is refused again; the other rows are read anew.
    notify(true);
    refuseChanged();
}

void Table::settle()
{
    if (m_state != TableState::Edit && m_state != TableState::Insert)
        return;
    // Text typed into a bound box but not yet written is a change too.
    if (m_disableCount == 0)
        m_updateRecord.call();
    if (m_modified)
        post();
    else
        cancel();
}

void Table::append()
{
    requireActive();
    settle();
    m_returnRow = m_row;
    m_buffer.assign(m_fields.size(), QVariant());
    // The master's code goes in without counting as a change, so an
    // untouched new record is still dropped rather than stored.
    if (m_linkActive) {
        if (Field* link = findField(m_masterField); link && !link->readOnly())
            m_buffer[size_t(link->m_column)] = m_linkValue;
    }
    m_original = m_buffer;
    m_modified = false;
    m_state = TableState::Insert;
    m_eof = m_bof = false;
    notifyState();
    notify(true);
}

void Table::edit()
{
    requireActive();
    if (m_state == TableState::Edit || m_state == TableState::Insert)
        return;
    if (m_row < 0) {
        append();
        return;
    }
    // Begin from the record as stored now; its values are what post will
    // expect to find unchanged.
    std::optional<std::vector<QVariant>> stored = m_cursor->readRow(m_rowid);
    if (!stored) {
        m_cursor->erase(m_row);
        loadRow(m_row);
        m_eof = m_cursor->count() == 0;
        notify(true);
        refuseChanged();
    }
    const bool changed = *stored != m_buffer;
    m_buffer = std::move(*stored);
    m_original = m_buffer;
    m_modified = false;
    m_state = TableState::Edit;
    notifyState();
    if (changed)
        notify(false);
}

void Table::post()
{
    if (m_state != TableState::Edit && m_state != TableState::Insert)
        throw EngineError(refusal(QStringLiteral("Dataset not in edit or insert mode")));
    if (m_disableCount == 0)
        m_updateRecord.call();

    qint64 rowid = m_rowid;
    int nearRow = m_row;
    if (m_state == TableState::Insert) {
        rowid = m_cursor->insert(m_buffer);
        nearRow = m_returnRow;
    } else if (m_modified) {
        if (!m_cursor->update(m_rowid, m_original, m_buffer))
            refuseChangedAndShowStored(); // stays in edit with the typed values
    }
    if (m_state == TableState::Edit && m_row >= 0 && m_row < m_cursor->count()
        && m_cursor->rowidAt(m_row) == m_rowid)
        m_cursor->erase(m_row);
    const int row = m_cursor->place(rowid);
    m_state = TableState::Browse;
    m_modified = false;
    // A record that no longer passes the filter or link leaves the view; the
    // cursor stays near where it was.
    loadRow(row >= 0 ? row : std::max(nearRow, 0));
    m_eof = m_cursor->count() == 0;
    m_bof = m_row <= 0;
    notifyState();
    notify(true);
}

void Table::cancel()
{
    if (m_state != TableState::Edit && m_state != TableState::Insert)
        return;
    const bool wasInsert = m_state == TableState::Insert;
    m_state = TableState::Browse;
    m_modified = false;
    if (wasInsert) {
        loadRow(std::max(m_returnRow, 0));
        m_eof = m_cursor->count() == 0;
        m_bof = m_row <= 0;
    } else {
        m_buffer = m_original;
    }
    notifyState();
    notify(wasInsert);
}

void Table::remove()
{
    requireActive();
    if (m_state == TableState::Insert) {
        cancel();
        return;
    }
    if (m_row < 0)
        throw EngineError(refusal(QStringLiteral("Cannot perform this operation on an empty dataset")));
    const std::vector<QVariant>& expected = m_state == TableState::Edit ? m_original : m_buffer;
    if (!m_cursor->remove(m_rowid, expected))
        refuseChangedAndShowStored(); // the user sees why
    const bool wasEdit = m_state == TableState::Edit;
    m_cursor->erase(m_row);
    m_state = TableState::Browse;
    m_modified = false;
    loadRow(m_row);
    m_eof = m_cursor->count() == 0;
    m_bof = m_row <= 0;
    if (wasEdit)
        notifyState();
    notify(true);
}

void Table::emptyTable()
{
    if (!m_cursor) {
        if (!m_db.connected())
            m_db.open();
        // The shape is checked as open checks it, before anything is deleted.
        TableCursor cursor(m_db.filePath(m_fileName), true);
        cursor.setColumns(m_fields.empty() ? cursor.fileDef().fields : declaredColumns());
        cursor.empty();
        return;
    }
    const bool wasEditing = m_state != TableState::Browse;
    m_cursor->empty();
    m_state = TableState::Browse;
    m_modified = false;
    loadRow(0);
    m_eof = m_bof = true;
    if (wasEditing)
        notifyState();
    notify(true);
}

// ---- field values ----

QVariant Table::currentValue(int column) const
{
    if (!m_cursor || (m_row < 0 && m_state != TableState::Insert) || column < 0
        || column >= int(m_buffer.size()))
        return {};
    return m_buffer[size_t(column)];
}

void Table::checkStore(const Field& field) const
{
    if (m_state != TableState::Edit && m_state != TableState::Insert)
        throw EngineError(refusal(QStringLiteral("Dataset not in edit or insert mode")));
    if (field.readOnly())
        throw EngineError(refusal(QStringLiteral("Field '%1' cannot be modified").arg(field.name())));
}

void Table::storeValue(Field& field, const QVariant& value)
{
    checkStore(field);
    m_buffer[size_t(field.m_column)] = value;
    m_modified = true;
    if (field.m_onChange)
        field.m_onChange(field);
    if (m_disableCount == 0)
        m_dataChanged.call(&field);
}

} // namespace engine
