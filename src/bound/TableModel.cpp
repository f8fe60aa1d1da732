#include "bound/TableModel.h"

#include "engine/EngineError.h"

#include "engine/DataSource.h"
#include "engine/Field.h"
#include "engine/Table.h"

#include <algorithm>

namespace bound {

TableModel::TableModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void TableModel::setDataSource(engine::DataSource* source)
{
    m_connections.clear();
    m_source = source;
    if (source) {
        m_connections.push_back(source->onRowsChanged([this] { reload(); }));
        m_connections.push_back(source->onDataChange([this](engine::Field* field) { onDataChange(field); }));
        m_connections.push_back(source->onStateChange([this] {
            if (m_source && !m_source->table().active())
                reload();
        }));
    }
    reload();
}

void TableModel::setColumns(std::vector<GridColumn> columns)
{
    beginResetModel();
    m_columns = std::move(columns);
    m_pages.clear();
    endResetModel();
}

void TableModel::reload()
{
    beginResetModel();
    m_pages.clear();
    m_rows = (m_source && m_source->table().active()) ? m_source->table().recordCount() : 0;
    endResetModel();
    emit currentRowChanged(currentRow());
}

void TableModel::onDataChange(engine::Field* field)
{
    if (!m_source || m_source->table().controlsDisabled())
        return;
    const int row = currentRow();
    if (field && row >= 0 && row < m_rows) {
        // A value of the current record changed: that row is read again.
        m_pages.remove_if([row](const auto& page) { return page.first == row / pageSize; });
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
        return;
    }
    if (!field) {
        const int rows = m_source->table().active() ? m_source->table().recordCount() : 0;
        if (rows != m_rows) {
            reload();
            return;
        }
        // The visible rows may show other values after a cancel or an
        // enabling of the controls: read the pages again lazily.
        m_pages.clear();
        if (m_rows > 0)
            emit dataChanged(index(0, 0), index(m_rows - 1, columnCount() - 1));
    }
    emit currentRowChanged(row);
}

int TableModel::currentRow() const
{
    if (!m_source || !m_source->table().active())
        return -1;
    return m_source->table().rowIndex();
}

void TableModel::moveTo(int row)
{
    if (!m_source || row < 0 || row >= m_rows || row == currentRow())
        return;
    m_source->table().moveToRow(row);
}

int TableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

const QVariantList* TableModel::rowValues(int row) const
{
    const int page = row / pageSize;
    auto it = std::find_if(m_pages.begin(), m_pages.end(), [page](const auto& p) { return p.first == page; });
    if (it == m_pages.end()) {
        // A column without a field is a blank filler: nothing is read for it.
        QStringList names;
        for (const auto& column : m_columns)
            if (!column.field.isEmpty())
                names << column.field;
        std::vector<QVariantList> rows;
        try {
            rows = m_source->table().readRows(page * pageSize, pageSize, names);
        } catch (const engine::EngineError&) {
            // Asked from inside painting, where no box may open: the rows show
            // blank and are asked again at the next paint; the table's own
            // operations report the fault.
            return nullptr;
        }
        for (QVariantList& values : rows)
            for (int c = 0; c < int(m_columns.size()); ++c)
                if (m_columns[size_t(c)].field.isEmpty())
                    values.insert(c, QVariant());
        m_pages.emplace_front(page, std::move(rows));
        if (m_pages.size() > pagesKept)
            m_pages.pop_back();
        it = m_pages.begin();
    } else if (it != m_pages.begin()) {
        m_pages.splice(m_pages.begin(), m_pages, it);
        it = m_pages.begin();
    }
    const int offset = row % pageSize;
    if (offset >= int(it->second.size()))
        return nullptr;
    return &it->second[offset];
}

QVariant TableModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid) || !m_source)
        return {};
    const GridColumn& column = m_columns[index.column()];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(column.alignment);
    if (role != Qt::DisplayRole)
        return {};
    engine::Table& table = m_source->table();
    // The record being edited shows what it holds now, before it is posted.
    const auto state = table.state();
    if ((state == engine::TableState::Edit || state == engine::TableState::Insert)
        && index.row() == currentRow()) {
        if (engine::Field* field = table.findField(column.field))
            return field->asString();
    }
    const QVariantList* values = rowValues(index.row());
    if (!values || index.column() >= values->size())
        return {};
    return engine::displayText(values->at(index.column()));
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= int(m_columns.size()))
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_columns[section].title;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(m_columns[section].titleAlignment);
    return {};
}

int TableModel::displayWidth(int column) const
{
    if (!m_source || column < 0 || column >= int(m_columns.size()))
        return 0;
    engine::Field* field = m_source->table().findField(m_columns[column].field);
    return field ? field->displayWidth() : 0;
}

} // namespace bound
