#include "Table.h"

#include "DataSource.h"
#include "Database.h"
#include "EngineError.h"
#include "TableCursor.h"

#include <QRegularExpression>
#include <algorithm>

namespace engine {

namespace {

// The one filter form the system writes: FIELD = 'literal', inner quotes
// doubled. The literal becomes a bound value, never SQL text.
std::optional<TableCursor::Condition> parseFilter(const QString& text)
{
    static const QRegularExpression form(
        QStringLiteral("^\\s*([A-Za-z_][A-Za-z0-9_]*)\\s*=\\s*'((?:[^']|'')*)'\\s*$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    QString literal = m.captured(2);
    literal.replace(QLatin1String("''"), QLatin1String("'"));
    return TableCursor::Condition { m.captured(1), literal };
}

} // namespace

Table::Table(Database& db, QString name, QString fileName, QObject* parent)
    : QObject(parent)
    , m_db(db)
    , m_name(std::move(name))
    , m_fileName(std::move(fileName))
{
}

Table::~Table()
{
    // Closing quietly: the receivers may already be gone.
    m_cursor.reset();
}

QString Table::refusal(const QString& message) const
{
    return QStringLiteral("%1: %2").arg(m_name, message);
}

void Table::requireActive() const
{
    if (!m_cursor)
        throw EngineError(refusal(QStringLiteral("Cannot perform this operation on a closed dataset")));
}

void Table::requireClosed() const
{
    if (m_cursor)
        throw EngineError(refusal(QStringLiteral("Cannot perform this operation on an open dataset")));
}

Field& Table::addField(const FieldDef& def)
{
    requireClosed();
    if (findField(def.name))
        throw EngineError(refusal(QStringLiteral("Duplicate field name '%1'").arg(def.name)));
    m_fields.push_back(std::make_unique<Field>(*this, def));
    m_fields.back()->m_column = int(m_fields.size()) - 1;
    return *m_fields.back();
}

Field& Table::field(const QString& name)
{
    if (Field* f = findField(name))
        return *f;
    throw EngineError(refusal(QStringLiteral("Field '%1' not found").arg(name)));
}

Field* Table::findField(const QString& name)
{
    for (const auto& f : m_fields)
        if (f->name().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

// ---- order, filter, master link ----

std::vector<IndexField> Table::resolveOrder() const
{
    const TableDef& def = m_cursor->fileDef();
    if (!m_indexName.isEmpty()) {
        for (const IndexDef& index : def.indexes)
            if (index.name.compare(m_indexName, Qt::CaseInsensitive) == 0)
                return index.fields;
        throw EngineError(refusal(
            QStringLiteral("No existe el índice %1 en el archivo %2").arg(m_indexName, m_cursor->path())));
    }
    if (m_indexFieldNames.isEmpty())
        return {};
    const QStringList wanted = m_indexFieldNames.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const IndexDef& index : def.indexes) {
        if (index.fields.size() < size_t(wanted.size()))
            continue;
        bool match = true;
        for (int i = 0; i < wanted.size() && match; ++i)
            match = index.fields[size_t(i)].field.compare(wanted[i].trimmed(), Qt::CaseInsensitive) == 0;
        if (match)
            return index.fields;
    }
    // The counter is the file's own key, an index in all but name.
    if (wanted.size() == 1) {
        const FieldDef* field = m_cursor->fileField(wanted.first().trimmed());
        if (field && field->kind == FieldKind::Counter)
            return { IndexField { field->name, TextOrder::Binary } };
    }
    throw EngineError(refusal(QStringLiteral("No existe un índice sobre %1 en el archivo %2")
                                  .arg(m_indexFieldNames, m_cursor->path())));
}

QStringList Table::indexFields() const
{
    QStringList names;
    for (const IndexField& f : m_order)
        names << f.field;
    return names;
}

void Table::setIndexName(const QString& indexName)
{
    changeOrder(indexName, QString());
}

void Table::setIndexFieldNames(const QString& fieldNames)
{
    changeOrder(QString(), fieldNames);
}

void Table::changeOrder(const QString& indexName, const QString& fieldNames)
{
    const QString previousName = std::exchange(m_indexName, indexName);
    const QString previousFields = std::exchange(m_indexFieldNames, fieldNames);
    if (!m_cursor)
        return;
    // An open table keeps its record under the new order; a refused order
    // leaves the old one in place.
    try {
        settle();
        const qint64 rowid = m_rowid;
        applyView();
        m_cursor->rebuild();
        loadRow(std::max(m_cursor->find(rowid), 0));
        notify(true);
    } catch (...) {
        m_indexName = previousName;
        m_indexFieldNames = previousFields;
        applyView();
        throw;
    }
}

bool Table::masterLinkActive() const
{
    return m_master && m_master->table().active();
}

QVariant Table::masterValue() const
{
    Table& master = m_master->table();
    Field* f = master.findField(m_masterField);
    if (!f)
        throw EngineError(master.refusal(QStringLiteral("Field '%1' not found").arg(m_masterField)));
    return f->value();
}

void Table::applyView()
{
    std::vector<IndexField> order = resolveOrder();
    std::optional<TableCursor::Condition> filter;
    if (m_filtered && !m_filterText.trimmed().isEmpty()) {
        filter = parseFilter(m_filterText);
        if (!filter)
            throw EngineError(refusal(QStringLiteral("Filtro no válido: %1").arg(m_filterText)));
    }
    std::optional<TableCursor::Condition> link;
    m_linkActive = masterLinkActive();
    m_linkValue = m_linkActive ? masterValue() : QVariant();
    if (m_linkActive)
        link = TableCursor::Condition { m_masterField, m_linkValue };
    m_cursor->setView(order, filter, link);
    m_order = std::move(order);
}

void Table::setMasterSource(DataSource* master, const QString& field)
{
    m_masterDataLink.disconnect();
    m_masterStateLink.disconnect();
    m_master = master;
    m_masterField = field;
    if (master) {
        m_masterDataLink = master->onDataChange([this](Field* changed) {
            if (!changed || changed->name().compare(m_masterField, Qt::CaseInsensitive) == 0)
                followMaster();
        });
        m_masterStateLink = master->onStateChange([this] { followMaster(); });
    }
    if (m_cursor)
        restart();
}

void Table::followMaster()
{
    if (!m_cursor)
        return;
    const bool linkActive = masterLinkActive();
    const QVariant value = linkActive ? masterValue() : QVariant();
    if (linkActive == m_linkActive && value == m_linkValue)
        return;
    restart();
}

void Table::restart()
{
    settle();
    applyView();
    m_cursor->rebuild();
    loadRow(0);
    m_bof = true;
    m_eof = m_cursor->count() == 0;
    notify(true);
}

void Table::setFilter(const QString& text)
{
    if (text == m_filterText)
        return;
    if (m_cursor && m_filtered && !text.trimmed().isEmpty() && !parseFilter(text))
        throw EngineError(refusal(QStringLiteral("Filtro no válido: %1").arg(text)));
    m_filterText = text;
    if (m_cursor && m_filtered)
        restart();
}

void Table::setFiltered(bool on)
{
    if (on == m_filtered)
        return;
    if (m_cursor && on && !m_filterText.trimmed().isEmpty() && !parseFilter(m_filterText))
        throw EngineError(refusal(QStringLiteral("Filtro no válido: %1").arg(m_filterText)));
    m_filtered = on;
    if (m_cursor)
        restart();
}

void Table::setExclusive(bool on)
{
    requireClosed();
    m_exclusive = on;
}

// ---- open and close ----

void Table::open()
{
    if (m_cursor)
        return;
    if (!m_db.connected())
        m_db.open();
    auto cursor = std::make_unique<TableCursor>(m_db.filePath(m_fileName), m_exclusive);
    if (m_fields.empty()) {
        for (const FieldDef& def : cursor->fileDef().fields)
            addField(def);
    }
    cursor->setColumns(declaredColumns());
    m_cursor = std::move(cursor);
    try {
        applyView();
        m_cursor->rebuild();
    } catch (...) {
        m_cursor.reset();
        throw;
    }
    m_state = TableState::Browse;
    m_modified = false;
    loadRow(0);
    m_bof = true;
    m_eof = m_cursor->count() == 0;
    notifyState();
    notify(true);
}

std::vector<FieldDef> Table::declaredColumns() const
{
    std::vector<FieldDef> columns;
    for (const auto& f : m_fields)
        columns.push_back(f->def());
    return columns;
}

void Table::close()
{
    if (!m_cursor)
        return;
    m_cursor.reset();
    m_state = TableState::Inactive;
    m_buffer.clear();
    m_original.clear();
    m_modified = false;
    m_row = -1;
    m_rowid = -1;
    m_eof = m_bof = true;
    m_linkActive = false;
    m_linkValue = QVariant();
    m_order.clear();
    notifyState();
    notify(true);
}

// ---- moving ----

bool Table::loadRow(int row)
{
    bool dropped = false;
    while (m_cursor->count() > 0) {
        row = std::clamp(row, 0, m_cursor->count() - 1);
        const qint64 rowid = m_cursor->rowidAt(row);
        if (auto values = m_cursor->readRowAt(row)) {
            m_buffer = std::move(*values);
            m_row = row;
            m_rowid = rowid;
            return dropped;
        }
        m_cursor->erase(row); // deleted by another process since we read the order
        dropped = true;
    }
    m_buffer.assign(m_fields.size(), QVariant());
    m_row = -1;
    m_rowid = -1;
    return dropped;
}

void Table::first()
{
    requireActive();
    settle();
    const bool dropped = loadRow(0);
    m_bof = true;
    m_eof = m_cursor->count() == 0;
    notify(dropped);
}

void Table::last()
{
    requireActive();
    settle();
    const bool dropped = loadRow(m_cursor->count() - 1);
    m_eof = true;
    m_bof = m_cursor->count() == 0;
    notify(dropped);
}

void Table::next()
{
    requireActive();
    settle();
    if (m_row < 0 || m_row + 1 >= m_cursor->count()) {
        m_eof = true;
        return;
    }
    const int from = m_row;
    const bool dropped = loadRow(m_row + 1);
    m_bof = false;
    m_eof = m_row <= from;
    notify(dropped);
}

void Table::prior()
{
    requireActive();
    settle();
    if (m_row <= 0) {
        m_bof = true;
        return;
    }
    const bool dropped = loadRow(m_row - 1);
    m_eof = false;
    m_bof = false;
    notify(dropped);
}

bool Table::eof() const
{
    return !m_cursor || m_eof;
}

bool Table::bof() const
{
    return !m_cursor || m_bof;
}

bool Table::isEmpty() const
{
    if (!m_cursor)
        return true;
    return m_state != TableState::Insert && m_cursor->count() == 0;
}

int Table::recordCount() const
{
    return m_cursor ? m_cursor->count() : 0;
}

int Table::rowIndex() const
{
    return m_cursor && m_state != TableState::Insert ? m_row : -1;
}

void Table::moveToRow(int row)
{
    requireActive();
    settle();
    const bool dropped = loadRow(row);
    m_bof = m_row <= 0;
    m_eof = m_cursor->count() == 0;
    notify(dropped);
}

std::vector<QVariantList> Table::readRows(int firstRow, int count, const QStringList& fieldNames) const
{
    if (!m_cursor)
        return {};
    std::vector<QVariantList> rows = m_cursor->readRows(firstRow, count, fieldNames);
    // Reading is const for the grid; the buffer only catches up with the file,
    // and no Table is ever made const.
    const_cast<Table*>(this)->catchUp(firstRow, int(rows.size()));
    return rows;
}

void Table::catchUp(int firstRow, int rowCount)
{
    // What a grid shows of the current record is what the user last saw of
    // it: a delete must compare with those values, not older ones.
    if (m_state != TableState::Browse || m_row < firstRow || m_row >= firstRow + rowCount)
        return;
    std::optional<std::vector<QVariant>> stored = m_cursor->readRow(m_rowid);
    if (!stored || *stored == m_buffer)
        return;
    m_buffer = std::move(*stored);
    // Bound controls follow later, not from inside the grid's read.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_cursor && m_state == TableState::Browse)
                notify(false);
        },
        Qt::QueuedConnection);
}

void Table::refresh()
{
    requireActive();
    settle();
    const qint64 rowid = m_rowid;
    const int oldRow = m_row;
    m_cursor->rebuild();
    const int row = rowid >= 0 ? m_cursor->find(rowid) : -1;
    loadRow(row >= 0 ? row : std::max(oldRow, 0));
    m_eof = m_cursor->count() == 0;
    m_bof = m_row <= 0;
    notify(true);
}

void Table::findNearest(const QVariantList& values)
{
    requireActive();
    if (values.size() > qsizetype(m_order.size()))
        throw EngineError(refusal(QStringLiteral("Field index out of range")));
    settle();
    const int row = m_cursor->lowerBound(values);
    const bool past = row >= m_cursor->count();
    const bool dropped = loadRow(past ? m_cursor->count() - 1 : row);
    m_eof = past;
    m_bof = false;
    notify(dropped);
}

bool Table::locate(const QString& fieldName, const QVariant& value)
{
    requireActive();
    settle();
    const std::optional<qint64> rowid = m_cursor->locate(fieldName, value);
    const int row = rowid ? m_cursor->find(*rowid) : -1;
    if (row < 0)
        return false;
    const bool dropped = loadRow(row);
    m_eof = m_bof = false;
    notify(dropped);
    return true;
}

// ---- notifications ----

void Table::notify(bool rows)
{
    if (m_disableCount > 0)
        return;
    if (rows)
        m_rowsChanged.call();
    m_dataChanged.call(nullptr);
}

void Table::notifyState()
{
    if (m_disableCount == 0)
        m_stateChanged.call();
}

void Table::disableControls()
{
    if (m_disableCount++ == 0)
        m_stateWhenDisabled = m_state;
}

void Table::enableControls()
{
    if (m_disableCount == 0 || --m_disableCount > 0)
        return;
    if (m_state != m_stateWhenDisabled)
        m_stateChanged.call();
    m_rowsChanged.call();
    m_dataChanged.call(nullptr);
}

} // namespace engine
