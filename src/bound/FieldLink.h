// The tie between one bound control and one field of a data source: finds
// the field, tells the control when to show it again and when to write.
#pragma once

#include <QPointer>
#include <QString>
#include <functional>
#include <vector>

#include "engine/DataSource.h"

namespace engine {
class Field;
class Table;
} // namespace engine

namespace bound {

class FieldLink {
public:
    // `show`: the control should show its field again (another record, the
    // field stored, the table opened or closed, controls enabled again).
    // `writePending`: the table is about to post, so a pending change is
    // written now; it may refuse by throwing, which reaches the poster.
    explicit FieldLink(std::function<void()> show, std::function<void()> writePending = {});

    void setDataSource(engine::DataSource* source);
    engine::DataSource* dataSource() const { return m_source; }
    void setFieldName(const QString& name);
    const QString& fieldName() const { return m_fieldName; }

    engine::Table* table() const;
    // The field of the current record; null while unbound or the table is closed.
    engine::Field* field() const;
    // Edit or insert state: the record takes changes.
    bool editing() const;
    // The field exists and is not one the store assigns.
    bool canModify() const;
    // Puts the table into edit state for the user's change where the data
    // source allows it; false when the change must be refused.
    bool edit();

private:
    void onDataChange(engine::Field* field);
    void reconnect();

    std::function<void()> m_show;
    std::function<void()> m_writePending;
    QPointer<engine::DataSource> m_source;
    QString m_fieldName;
    std::vector<engine::ScopedConnection> m_connections;
    bool m_wasActive = false;
};

} // namespace bound
