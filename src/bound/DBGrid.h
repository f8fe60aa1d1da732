// A read-only grid over a table: a title row, the current record always
// marked, and choosing a row makes it the table's current record.
#pragma once

#include "bound/TableModel.h"

#include <QTableView>

namespace bound {

class DBGrid : public QTableView {
    Q_OBJECT
public:
    enum class Selection { Rows, Cell };

    explicit DBGrid(QWidget* parent = nullptr);

    void setDataSource(engine::DataSource* source);
    engine::DataSource* dataSource() const { return m_model.dataSource(); }
    // Columns with their field, title and width; a width of -1 takes the
    // field's display width in digits of the grid's font, plus 4, never
    // narrower than the title plus 4.
    void setColumns(std::vector<GridColumn> columns);
    void setSelection(Selection selection);

    TableModel& tableModel() { return m_model; }
    // The width the sizing rule gives a column.
    int defaultColumnWidth(int column) const;

signals:
    // A double click on a record (windows wire it to Modify).
    void recordDoubleClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyboardSearch(const QString& search) override;

private:
    void applyWidths();
    void showCurrentRow(int row);
    void chooseRow(const QModelIndex& current);

    TableModel m_model;
    bool m_following = false;
};

} // namespace bound
