// The one model over a table for every grid: reads only the rows a view
// asks for, a page at a time, and follows the table's changes.
#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QStringList>
#include <QVariantList>
#include <list>
#include <utility>
#include <vector>

#include "engine/DataSource.h"

namespace engine {
class Field;
}

namespace bound {

struct GridColumn {
    QString field;
    QString title;
    int width = -1; // pixels; -1: from the field's display width
    Qt::Alignment titleAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
};

class TableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int pageSize = 64;
    static constexpr size_t pagesKept = 16;

    explicit TableModel(QObject* parent = nullptr);

    void setDataSource(engine::DataSource* source);
    engine::DataSource* dataSource() const { return m_source; }
    void setColumns(std::vector<GridColumn> columns);
    const std::vector<GridColumn>& columns() const { return m_columns; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The table's current row, -1 when it has none.
    int currentRow() const;
    // Makes the row the table's current record.
    void moveTo(int row);
    // Display width of a column's field in characters (0 when unknown).
    int displayWidth(int column) const;

signals:
    // The table moved to another record (or its rows changed).
    void currentRowChanged(int row);

private:
    void reload();
    void onDataChange(engine::Field* field);
    const QVariantList* rowValues(int row) const;

    QPointer<engine::DataSource> m_source;
    std::vector<engine::ScopedConnection> m_connections;
    std::vector<GridColumn> m_columns;
    int m_rows = 0;
    // Recently read pages, most recent first.
    mutable std::list<std::pair<int, std::vector<QVariantList>>> m_pages;
};

} // namespace bound
