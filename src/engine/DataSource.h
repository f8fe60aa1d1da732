// The link between a table and the controls bound to it: the table's
// notifications, and auto-edit for typing.
#pragma once

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

signals:
    // Re-sent from the table, so controls and handlers connect here.
    void dataChange(engine::Field* field);
    void stateChange();
    void rowsChanged();
    void updateData();

private:
    QString m_name;
    Table& m_table;
    bool m_autoEdit = true;
};

} // namespace engine
