#include "bound/DBGrid.h"

#include "platform/Furniture.h"
#include "platform/Guarded.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace bound {

DBGrid::DBGrid(QWidget* parent)
    : QTableView(parent)
    , m_model(this)
{
    setModel(&m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setTabKeyNavigation(false);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionsMovable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    platform::furniture::styleGrid(this);
    // Letters typed on a grid go to the window's buttons.
    setProperty("hlrTakesCharacters", false);

    connect(&m_model, &TableModel::currentRowChanged, this, platform::guard(this, &DBGrid::showCurrentRow));
    connect(&m_model, &QAbstractItemModel::modelReset, this,
        platform::guard([this] { showCurrentRow(m_model.currentRow()); }));
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
        platform::guard(this, &DBGrid::chooseRow));
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit recordDoubleClicked();
    });
}

void DBGrid::setDataSource(engine::DataSource* source)
{
    m_model.setDataSource(source);
    applyWidths();
}

void DBGrid::setColumns(std::vector<GridColumn> columns)
{
    m_model.setColumns(std::move(columns));
    applyWidths();
}

void DBGrid::setSelection(Selection selection)
{
    setSelectionBehavior(
        selection == Selection::Rows ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    showCurrentRow(m_model.currentRow());
}

int DBGrid::defaultColumnWidth(int column) const
{
    const auto& columns = m_model.columns();
    if (column < 0 || column >= int(columns.size()))
        return 0;
    const int byField = m_model.displayWidth(column) * fontMetrics().horizontalAdvance(QLatin1Char('0')) + 4;
    const QFontMetrics titleMetrics(horizontalHeader()->font());
    const int byTitle = titleMetrics.horizontalAdvance(columns[column].title) + 4;
    return qMax(byField, byTitle);
}

void DBGrid::applyWidths()
{
    const auto& columns = m_model.columns();
    for (int i = 0; i < int(columns.size()); ++i)
        setColumnWidth(i, columns[i].width >= 0 ? columns[i].width : defaultColumnWidth(i));
}

void DBGrid::showCurrentRow(int row)
{
    if (m_following)
        return;
    m_following = true;
    const int column = qMax(0, currentIndex().column());
    if (row >= 0 && row < m_model.rowCount() && m_model.columnCount() > 0) {
        const QModelIndex target = m_model.index(row, column);
        const auto flags = selectionBehavior() == QAbstractItemView::SelectRows
            ? QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows
            : QItemSelectionModel::ClearAndSelect;
        selectionModel()->setCurrentIndex(target, flags);
        scrollTo(target);
    } else {
        selectionModel()->clear();
    }
    m_following = false;
}

void DBGrid::chooseRow(const QModelIndex& current)
{
    if (m_following || !current.isValid())
        return;
    m_following = true;
    try {
        m_model.moveTo(current.row());
    } catch (...) {
        // The table stayed where it was; the grid shows it there again.
        m_following = false;
        showCurrentRow(m_model.currentRow());
        throw;
    }
    m_following = false;
    // The move may have landed elsewhere (a pending change posted and re-sorted).
    showCurrentRow(m_model.currentRow());
}

void DBGrid::keyPressEvent(QKeyEvent* event)
{
    const bool plainText = !event->text().isEmpty() && event->text().at(0).isPrint()
        && !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    if (plainText) {
        event->ignore();
        return;
    }
    QTableView::keyPressEvent(event);
}

void DBGrid::focusInEvent(QFocusEvent* event)
{
    platform::guarded([&] {
        // Qt makes the first row current when a view without a current row takes
        // the focus; here that would move the table and settle a pending record
        // (an insert has no row of its own), so the grid shows the table instead.
        m_following = true;
        QTableView::focusInEvent(event);
        m_following = false;
        showCurrentRow(m_model.currentRow());
    });
}

void DBGrid::keyboardSearch(const QString&)
{
    // Typed letters belong to the window's buttons, not to a search.
}

} // namespace bound
