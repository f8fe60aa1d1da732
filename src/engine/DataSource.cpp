#include "DataSource.h"

#include "Table.h"

namespace engine {

DataSource::DataSource(QString name, Table& table, QObject* parent)
    : QObject(parent)
    , m_name(std::move(name))
    , m_table(table)
{
    connect(&table, &Table::dataChanged, this, &DataSource::dataChange);
    connect(&table, &Table::stateChanged, this, &DataSource::stateChange);
    connect(&table, &Table::rowsChanged, this, &DataSource::rowsChanged);
    connect(&table, &Table::updateRecord, this, &DataSource::updateData);
}

bool DataSource::editForTyping()
{
    if (m_table.state() == TableState::Browse && m_autoEdit)
        m_table.edit();
    return m_table.state() == TableState::Edit || m_table.state() == TableState::Insert;
}

} // namespace engine
