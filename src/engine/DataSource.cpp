#include "DataSource.h"

#include "Table.h"

namespace engine {

DataSource::DataSource(QString name, Table& table, QObject* parent)
    : QObject(parent)
    , m_name(std::move(name))
    , m_table(table)
{
    m_fromTable[0] = table.onDataChanged([this](Field* field) { m_dataChange.call(field); });
    m_fromTable[1] = table.onStateChanged([this] { m_stateChange.call(); });
    m_fromTable[2] = table.onRowsChanged([this] { m_rowsChanged.call(); });
    m_fromTable[3] = table.onUpdateRecord([this] { m_updateData.call(); });
}

bool DataSource::editForTyping()
{
    if (m_table.state() == TableState::Browse && m_autoEdit)
        m_table.edit();
    return m_table.state() == TableState::Edit || m_table.state() == TableState::Insert;
}

} // namespace engine
