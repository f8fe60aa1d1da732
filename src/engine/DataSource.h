// The link between a table and the controls bound to it: the table's
// notifications, and auto-edit for typing.
#pragma once

#include "Listeners.h"

#include <QObject>
#include <QString>

namespace engine {

class Field;
class Table;

class DataSource : public QObject {
    Q_OBJECT
public:
    DataSource(QString name, Table& table, QObject* parent = nullptr);

    const QString& name() const { return m_name; }
    Table& table() const { return m_table; }
    bool autoEdit() const { return m_autoEdit; }
    void setAutoEdit(bool on) { m_autoEdit = on; }

    // A bound control is about to change its field because the user typed:
    // a browse table goes into edit state when auto-edit is on. Returns
    // whether the table can now take the change (edit or insert state).
    bool editForTyping();

    // The table's notifications passed on, called directly (see Table), so
    // controls and the data module's handlers may refuse by throwing.
    Connection onDataChange(std::function<void(Field*)> listener)
    {
        return m_dataChange.add(std::move(listener));
    }
    Connection onStateChange(std::function<void()> listener)
    {
        return m_stateChange.add(std::move(listener));
    }
    Connection onRowsChanged(std::function<void()> listener)
    {
        return m_rowsChanged.add(std::move(listener));
    }
    Connection onUpdateData(std::function<void()> listener) { return m_updateData.add(std::move(listener)); }

private:
    QString m_name;
    Table& m_table;
    bool m_autoEdit = true;
    Listeners<Field*> m_dataChange;
    Listeners<> m_stateChange;
    Listeners<> m_rowsChanged;
    Listeners<> m_updateData;
    ScopedConnection m_fromTable[4];
};

} // namespace engine
