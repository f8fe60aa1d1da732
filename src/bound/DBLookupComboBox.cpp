#include "bound/DBLookupComboBox.h"

#include "engine/FieldDef.h"

#include "engine/Field.h"
#include "engine/Table.h"
#include "platform/Guarded.h"

#include <QApplication>
#include <QKeyEvent>

#include <algorithm>

namespace bound {

namespace {

bool sameKey(const QVariant& a, const QVariant& b)
{
    return !a.isNull() && !b.isNull() && a.toString() == b.toString();
}

} // namespace

DBLookupComboBox::DBLookupComboBox(QWidget* parent)
    : QComboBox(parent)
    , m_link([this] { showField(); })
{
    setEditable(false);
    setProperty("hlrTakesCharacters", true);
    // A pick in the drop-down is a choice, even of the entry already shown.
    connect(this, &QComboBox::activated, this, platform::guard(this, &DBLookupComboBox::choose));
}

void DBLookupComboBox::setDataSource(engine::DataSource* source)
{
    m_link.setDataSource(source);
}

void DBLookupComboBox::setDataField(const QString& fieldName)
{
    m_link.setFieldName(fieldName);
}

void DBLookupComboBox::setListSource(engine::DataSource* source)
{
    m_listConnection.disconnect();
    m_listSource = source;
    if (source)
        m_listConnection = source->onRowsChanged([this] { reloadList(); });
    reloadList();
}

void DBLookupComboBox::setKeyField(const QString& fieldName)
{
    m_keyField = fieldName;
    reloadList();
}

void DBLookupComboBox::setMatchFields(const QString& listField, const QString& dataField)
{
    m_matchListField = listField;
    m_matchDataField = dataField;
    reloadList();
}

void DBLookupComboBox::setListField(const QString& fieldName)
{
    m_listField = fieldName;
    reloadList();
}

QStringList DBLookupComboBox::entries() const
{
    QStringList list;
    for (int i = 0; i < count(); ++i)
        list << itemText(i);
    return list;
}

void DBLookupComboBox::reloadList()
{
    m_showing = true;
    clear();
    m_keys.clear();
    m_matches.clear();
    m_pick = {};
    if (m_listSource && m_listSource->table().active() && !m_keyField.isEmpty()) {
        const engine::Table& table = m_listSource->table();
        const QString listField = m_listField.isEmpty() ? m_keyField : m_listField;
        QStringList fields { m_keyField, listField };
        if (!m_matchListField.isEmpty())
            fields << m_matchListField;
        const auto rows = table.readRows(0, table.recordCount(), fields);
        for (const auto& row : rows) {
            m_keys.push_back(row.value(0));
            addItem(row.value(1).toString());
            if (!m_matchListField.isEmpty())
                m_matches.push_back(row.value(2));
        }
    }
    m_showing = false;
    showField();
}

int DBLookupComboBox::rowOfKey(const QVariant& key) const
{
    std::vector<int> rows;
    for (size_t i = 0; i < m_keys.size(); ++i)
        if (sameKey(m_keys[i], key))
            rows.push_back(int(i));
    if (rows.size() <= 1 || m_matchListField.isEmpty())
        return rows.empty() ? -1 : rows.front();
    engine::Table* table = m_link.table();
    if (table && m_pick.row >= 0 && std::find(rows.begin(), rows.end(), m_pick.row) != rows.end()
        && m_pick.recordRow == table->rowIndex() && m_pick.state == int(table->state()))
        return m_pick.row;
    engine::Field* recordValue = table ? table->findField(m_matchDataField) : nullptr;
    if (!recordValue)
        return -1;
    const QString wanted = recordValue->asString();
    int found = -1;
    for (const int row : rows) {
        if (m_matches[size_t(row)].toString() != wanted)
            continue;
        if (found >= 0)
            return -1; // two alike: the stored values cannot tell
        found = row;
    }
    return found;
}

void DBLookupComboBox::showField()
{
    if (m_showing)
        return;
    const engine::Field* f = m_link.field();
    const int row = f ? rowOfKey(f->value()) : -1;
    m_showing = true;
    setCurrentIndex(row);
    m_showing = false;
    // The list table follows the stored key, so that code reading the list
    // table's current record (the clinic rule) sees the chosen entry.
    if (row >= 0 && m_listSource && m_listSource->table().active()) {
        engine::Table& list = m_listSource->table();
        const QVariant current = list.findField(m_keyField) ? list.field(m_keyField).value() : QVariant();
        if (!sameKey(current, m_keys[row]))
            list.locate(m_keyField, m_keys[row]);
    }
}

void DBLookupComboBox::choose(int row)
{
    if (m_showing || row < 0 || row >= int(m_keys.size()))
        return;
    if (!m_link.edit()) {
        showField();
        return;
    }
    const QVariant key = m_keys[row];
    if (const engine::Table* table = m_link.table())
        m_pick = { row, table->rowIndex(), int(table->state()) };
    // By row, not by key: of two entries with the same key the one picked
    // becomes current, so code reading the list table sees the entry picked.
    if (m_listSource && m_listSource->table().active())
        m_listSource->table().moveToRow(row);
    m_link.field()->setValue(key);
    showField();
}

bool DBLookupComboBox::searchTyped(const QString& text)
{
    if (!m_lastKey.isValid() || m_lastKey.elapsed() > QApplication::keyboardInputInterval())
        m_search.clear();
    m_lastKey.start();
    const QString wanted = m_search + text;
    // Compared as the list is ordered: "agu" finds ÁGUILA, Ñ stays apart from N.
    const QString wantedKey = engine::spanishKey(wanted);
    for (int i = 0; i < count(); ++i) {
        if (engine::spanishKey(itemText(i)).startsWith(wantedKey)) {
            m_search = wanted;
            choose(i);
            return true;
        }
    }
    return false;
}

void DBLookupComboBox::keyPressEvent(QKeyEvent* event)
{
    platform::guarded([&] {
        const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        const int current = currentIndex();
        int target = -1;
        switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (event->modifiers() & Qt::AltModifier) {
                showPopup();
                event->accept();
                return;
            }
            target = event->key() == Qt::Key_Up ? qMax(0, current - 1) : qMin(count() - 1, current + 1);
            break;
        case Qt::Key_Home:
        case Qt::Key_PageUp:
            target = 0;
            break;
        case Qt::Key_End:
        case Qt::Key_PageDown:
            target = count() - 1;
            break;
        case Qt::Key_F4:
            showPopup();
            event->accept();
            return;
        case Qt::Key_Backspace:
            m_search.chop(1);
            event->accept();
            return;
        default:
            if (plain && !event->text().isEmpty() && event->text().at(0).isPrint()) {
                searchTyped(event->text());
                event->accept();
                return;
            }
            // Tab, Escape and the rest go to the window.
            event->ignore();
            return;
        }
        event->accept();
        if (target >= 0 && target != current)
            choose(target);
    });
}

void DBLookupComboBox::wheelEvent(QWheelEvent* event)
{
    // Turning the wheel over a list must not change a record.
    event->ignore();
}

void DBLookupComboBox::focusInEvent(QFocusEvent* event)
{
    QComboBox::focusInEvent(event);
    // Closing the drop-down hands the focus back with the pick still to be
    // delivered; reacting then (a filter reloading the list) would lose it.
    if (event->reason() != Qt::PopupFocusReason)
        emit entered();
}

void DBLookupComboBox::focusOutEvent(QFocusEvent* event)
{
    m_search.clear();
    QComboBox::focusOutEvent(event);
}

} // namespace bound
