#include "TableCursor.h"

#include "EngineError.h"
#include "SchemaSql.h"
#include "TableFileLock.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace engine {

namespace {

// Every open table holds a read lock on this byte of its file, which SQLite
// never locks (its own locks live at 1 GiB); emptying takes a write lock.
// Open-file-description locks, so closing our descriptor leaves SQLite's
// locks alone and two tables in one process exclude each other too.
constexpr off_t kPresenceByte = 0x50000000;

qint64 steadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QString busyMessage(const QString& path)
{
    return QStringLiteral("La tabla %1 está ocupada: otro programa la tiene abierta.").arg(path);
}

// Takes the presence lock of `type` on the open file; false where the file
// system has no such locks (then the busy check is lost, nothing else).
bool lockPresence(int fd, short type, const QString& path)
{
    struct flock lock { };
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = kPresenceByte;
    lock.l_len = 1;
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0)
        return true;
    if (errno == EAGAIN || errno == EACCES)
        throw EngineError(busyMessage(path));
    return false;
}

} // namespace

TableFileLock::TableFileLock(const QString& path)
{
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    if (m_fd < 0)
        throw EngineError(QStringLiteral("No se puede abrir el archivo de tabla %1: %2")
                              .arg(path, QString::fromLocal8Bit(strerror(errno))));
    try {
        lockPresence(m_fd, F_WRLCK, path);
    } catch (...) {
        ::close(m_fd);
        throw;
    }
}

TableFileLock::~TableFileLock()
{
    ::close(m_fd);
}

TableCursor::TableCursor(const QString& path, bool exclusive)
    : m_path(path)
    , m_exclusive(exclusive)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw EngineError(QStringLiteral("No existe el archivo de tabla %1.").arg(path));
    if (!info.isFile())
        throw EngineError(QStringLiteral("%1 no es un archivo de tabla.").arg(path));
    const QByteArray native = QFile::encodeName(path);
    struct stat st { };
    // Write bits are checked as well as access(), so a file marked read-only
    // is respected even by a user whom the system would let write.
    if (::stat(native.constData(), &st) != 0 || (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0
        || ::access(native.constData(), W_OK) != 0)
        throw EngineError(QStringLiteral("El archivo de tabla %1 es de solo lectura.").arg(path));
    if (::access(QFile::encodeName(info.absolutePath()).constData(), W_OK) != 0)
        throw EngineError(
            QStringLiteral("La carpeta del archivo de tabla %1 no admite escritura.").arg(path));

    m_lockFd = ::open(native.constData(), O_RDWR | O_CLOEXEC);
    if (m_lockFd < 0)
        throw EngineError(QStringLiteral("No se puede abrir el archivo de tabla %1: %2")
                              .arg(path, QString::fromLocal8Bit(strerror(errno))));
    try {
        takeLock(exclusive ? F_WRLCK : F_RDLCK);
        openChecked();
    } catch (...) {
        m_db.reset();
        ::close(m_lockFd);
        throw;
    }
}

TableCursor::~TableCursor()
{
    // Statements and the connection go before the descriptor of our lock.
    for (sql::Statement* stmt : { &m_selectRow, &m_selectBlock, &m_selectVisible, &m_selectOne, &m_insert,
             &m_update, &m_delete, &m_begin, &m_commit, &m_rollback, &m_spanishKey })
        stmt->finalize();
    m_db.reset();
    if (m_lockFd >= 0)
        ::close(m_lockFd);
}

void TableCursor::takeLock(short type)
{
    lockPresence(m_lockFd, type, m_path);
}

void TableCursor::openChecked()
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(m_path).constData(), &raw,
        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_PRIVATECACHE, nullptr);
    m_db = sql::Connection(raw);
    if (rc != SQLITE_OK)
        throw EngineError(
            QStringLiteral("No se puede abrir el archivo de tabla %1: %2").arg(m_path, m_db.errorText()));
    if (sqlite3_db_readonly(m_db.get(), "main") == 1)
        throw EngineError(QStringLiteral("El archivo de tabla %1 es de solo lectura.").arg(m_path));
    sqlite3_busy_timeout(m_db.get(), 5000);

    auto pragma = [&](const char* text) -> qint64 {
        sql::Statement stmt;
        if (stmt.prepare(m_db.get(), QString::fromLatin1(text)) != SQLITE_OK)
            fail(QString());
        const int r = sqlite3_step(stmt.get());
        if (r != SQLITE_ROW)
            fail(QString());
        return sqlite3_column_int64(stmt.get(), 0);
    };
    // A file cut short still reads its first pages, so compare the size it
    // declares with the size it has.
    const qint64 pages = pragma("PRAGMA page_count");
    const qint64 pageSize = pragma("PRAGMA page_size");
    const qint64 fileSize = QFileInfo(m_path).size();
    if (fileSize < pages * pageSize || (pageSize > 0 && fileSize % pageSize != 0))
        throw EngineError(
            QStringLiteral("El archivo de tabla %1 está dañado: le faltan datos (truncado).").arg(m_path));

    const QString table = schema::tableNameOf(m_path);
    m_def = schema::readDef(m_db.get(), m_path, table);
    m_table = sql::quoted(table).toUtf8();

    // EXTRA, not FULL: the folder is synced after the journal is deleted too,
    // or a power cut could bring the journal back and undo the last save.
    exec("PRAGMA synchronous = EXTRA");
    prepare(m_begin, QStringLiteral("BEGIN IMMEDIATE"));
    prepare(m_commit, QStringLiteral("COMMIT"));
    prepare(m_rollback, QStringLiteral("ROLLBACK"));
}

const FieldDef* TableCursor::fileField(const QString& name) const
{
    for (const FieldDef& field : m_def.fields)
        if (field.name.compare(name, Qt::CaseInsensitive) == 0)
            return &field;
    return nullptr;
}

void TableCursor::fail(const QString& what) const
{
    const int code = sqlite3_errcode(m_db.get()) & 0xff;
    const QString detail = what.isEmpty() ? m_db.errorText() : what;
    switch (code) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        throw EngineError(
            QStringLiteral("El archivo de tabla %1 está bloqueado por otro programa; inténtelo de nuevo.")
                .arg(m_path));
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        throw EngineError(
            QStringLiteral("El archivo de tabla %1 está dañado o no es un archivo de tabla (%2).")
                .arg(m_path, detail));
    case SQLITE_READONLY:
        throw EngineError(QStringLiteral("El archivo de tabla %1 es de solo lectura.").arg(m_path));
    case SQLITE_FULL:
        throw EngineError(
            QStringLiteral("No queda espacio en el disco para el archivo de tabla %1.").arg(m_path));
    default:
        throw EngineError(QStringLiteral("Error en el archivo de tabla %1: %2").arg(m_path, detail));
    }
}

void TableCursor::prepare(sql::Statement& stmt, const QString& text) const
{
    if (stmt.prepare(m_db.get(), text) != SQLITE_OK)
        fail(QString());
}

void TableCursor::exec(const char* text) const
{
    if (sqlite3_exec(m_db.get(), text, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(QString());
}

int TableCursor::step(sqlite3_stmt* stmt) const
{
    const int rc = sqlite3_step(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        fail(QString());
    return rc;
}

void TableCursor::setColumns(const std::vector<FieldDef>& fields)
{
    for (const FieldDef& field : fields) {
        const FieldDef* stored = fileField(field.name);
        if (!stored)
            throw EngineError(
                QStringLiteral("Al archivo de tabla %1 le falta el campo %2.").arg(m_path, field.name));
        if (stored->kind != field.kind)
            throw EngineError(QStringLiteral("El campo %2 del archivo de tabla %1 no es del tipo esperado.")
                                  .arg(m_path, field.name));
    }
    // Only now may the file be written, and switching its journal is a write.
    if (!m_shapeChecked) {
        sql::Statement mode;
        prepare(mode, QStringLiteral("PRAGMA journal_mode"));
        if (step(mode.get()) == SQLITE_ROW
            && qstricmp(reinterpret_cast<const char*>(sqlite3_column_text(mode.get(), 0)), "delete") != 0) {
            mode.finalize();
            exec("PRAGMA journal_mode = DELETE");
        }
    }
    m_shapeChecked = true;
    m_columns = fields;
    QStringList all;
    QStringList writable;
    QStringList places;
    QStringList sets;
    for (const FieldDef& field : fields) {
        all << sql::quoted(field.name);
        if (field.kind == FieldKind::Counter)
            continue;
        writable << sql::quoted(field.name);
        places << QStringLiteral("?%1").arg(writable.size());
        sets << QStringLiteral("%1 = ?%2").arg(sql::quoted(field.name)).arg(writable.size() + 1);
    }
    const QString table = QString::fromUtf8(m_table);
    prepare(m_selectRow,
        QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?1").arg(all.join(QLatin1Char(',')), table));
    QStringList block;
    for (int i = 1; i <= kReadAhead; ++i)
        block << QStringLiteral("?%1").arg(i);
    prepare(m_selectBlock,
        QStringLiteral("SELECT %1, rowid FROM %2 WHERE rowid IN (%3)")
            .arg(all.join(QLatin1Char(',')), table, block.join(QLatin1Char(','))));
    m_ahead.clear();
    prepare(m_insert,
        writable.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table)
                           : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                 .arg(table, writable.join(QLatin1Char(',')), places.join(QLatin1Char(','))));
    if (sets.isEmpty())
        m_update.finalize();
    else
        prepare(m_update,
            QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?1").arg(table, sets.join(QLatin1Char(','))));
    prepare(m_delete, QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(table));
}

void TableCursor::setView(
    std::vector<IndexField> order, std::optional<Condition> filter, std::optional<Condition> link)
{
    auto checkField = [&](const QString& name) {
        if (!fileField(name))
            throw EngineError(
                QStringLiteral("El archivo de tabla %1 no tiene el campo %2.").arg(m_path, name));
    };
    for (const IndexField& f : order)
        checkField(f.field);
    if (filter)
        checkField(filter->field);
    if (link)
        checkField(link->field);

    QStringList keys;
    QStringList orderBy;
    m_orderNoCase.clear();
    m_orderTextual.clear();
    for (const IndexField& f : order) {
        // A Spanish key is read as SQLite computes it, so the rows kept here
        // order exactly as the index does.
        keys << (f.order == TextOrder::Spanish ? schema::indexColumnSql(f) : sql::quoted(f.field));
        orderBy << schema::indexColumnSql(f);
        m_orderNoCase.push_back(f.order == TextOrder::NoCase);
        const FieldKind kind = fileField(f.field)->kind;
        m_orderTextual.push_back(
            f.order == TextOrder::Spanish || (kind != FieldKind::Counter && kind != FieldKind::Logical));
    }
    keys << QStringLiteral("rowid");
    orderBy << QStringLiteral("rowid");
    QString where = QStringLiteral("1");
    if (filter)
        where += QStringLiteral(" AND %1 = ?1").arg(sql::quoted(filter->field));
    if (link)
        where += link->value.isNull() || !link->value.isValid()
            ? QStringLiteral(" AND %1 IS NULL").arg(sql::quoted(link->field))
            : QStringLiteral(" AND %1 = ?2").arg(sql::quoted(link->field));
    const QString select = QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                               .arg(keys.join(QLatin1Char(',')), QString::fromUtf8(m_table), where);
    // A master moving keeps the same statements; only their values change.
    const QString visible = select + QStringLiteral(" ORDER BY ") + orderBy.join(QLatin1Char(','));
    if (!m_selectVisible || QString::fromUtf8(sqlite3_sql(m_selectVisible.get())) != visible) {
        prepare(m_selectVisible, visible);
        prepare(m_selectOne, select + QStringLiteral(" AND rowid = ?3"));
    }
    m_order = std::move(order);
    m_filter = std::move(filter);
    m_link = std::move(link);
}

void TableCursor::bindView(sqlite3_stmt* stmt) const
{
    if (m_filter)
        values::bind(stmt, 1, fileField(m_filter->field)->kind, m_filter->value);
    if (m_link && m_link->value.isValid() && !m_link->value.isNull())
        values::bind(stmt, 2, fileField(m_link->field)->kind, m_link->value);
}

void TableCursor::appendRowKey(std::string& key, sqlite3_stmt* stmt) const
{
    const int n = int(m_order.size());
    for (int i = 0; i < n; ++i)
        values::appendKey(key, stmt, i, m_orderNoCase[size_t(i)], m_orderTextual[size_t(i)]);
    values::appendRowid(key, sqlite3_column_int64(stmt, n));
}

void TableCursor::rebuild()
{
    m_ahead.clear();
    m_lastRowRead = -1;
    m_arena.clear();
    m_rows.clear();
    sqlite3_stmt* stmt = m_selectVisible.get();
    sql::ResetGuard guard(stmt);
    bindView(stmt);
    while (step(stmt) == SQLITE_ROW) {
        const size_t offset = m_arena.size();
        appendRowKey(m_arena, stmt);
        m_rows.emplace_back(quint32(offset), quint32(m_arena.size() - offset));
    }
}

namespace {
template <typename Rows, typename KeyAt> int lowerBoundIn(const Rows& rows, std::string_view key, KeyAt keyAt)
{
    int low = 0;
    int high = int(rows.size());
    while (low < high) {
        const int mid = (low + high) / 2;
        if (keyAt(mid) < key)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}
} // namespace

bool TableCursor::locateKey(qint64 rowid, std::string& key, int& row)
{
    sqlite3_stmt* stmt = m_selectOne.get();
    sql::ResetGuard guard(stmt);
    bindView(stmt);
    sqlite3_bind_int64(stmt, 3, rowid);
    if (step(stmt) != SQLITE_ROW)
        return false;
    appendRowKey(key, stmt);
    row = lowerBoundIn(m_rows, key, [this](int r) { return keyAt(r); });
    return true;
}

int TableCursor::find(qint64 rowid)
{
    std::string key;
    int row = 0;
    if (!locateKey(rowid, key, row))
        return -1;
    return row < count() && keyAt(row) == key ? row : -1;
}

int TableCursor::place(qint64 rowid)
{
    std::string key;
    int row = 0;
    if (!locateKey(rowid, key, row))
        return -1;
    if (row < count() && keyAt(row) == key)
        return row;
    pushKey(key, row);
    return row;
}

void TableCursor::pushKey(std::string_view key, int row)
{
    const size_t offset = m_arena.size();
    m_arena.append(key);
    m_rows.insert(m_rows.begin() + row, { quint32(offset), quint32(key.size()) });
}

void TableCursor::erase(int row)
{
    m_rows.erase(m_rows.begin() + row);
}

int TableCursor::lowerBound(const QVariantList& keyValues) const
{
    std::string key;
    for (int i = 0; i < keyValues.size() && i < int(m_order.size()); ++i) {
        const IndexField& order = m_order[size_t(i)];
        const FieldDef* field = fileField(order.field);
        values::Stored stored = values::toStored(field->kind, keyValues[i]);
        if (order.order == TextOrder::Spanish && stored.type == values::Stored::Type::Text)
            stored = spanishKey(stored);
        values::appendKey(key, stored, m_orderNoCase[size_t(i)]);
    }
    return lowerBoundIn(m_rows, key, [this](int r) { return keyAt(r); });
}

values::Stored TableCursor::spanishKey(const values::Stored& text) const
{
    if (!m_spanishKey.get())
        prepare(m_spanishKey, QStringLiteral("SELECT ") + schema::spanishKeySql(QStringLiteral("?1")));
    sqlite3_stmt* stmt = m_spanishKey.get();
    sql::ResetGuard guard(stmt);
    values::bind(stmt, 1, text);
    step(stmt);
    values::Stored key;
    key.type = values::Stored::Type::Text;
    key.text = QByteArray(
        reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), sqlite3_column_bytes(stmt, 0));
    return key;
}

std::optional<std::vector<QVariant>> TableCursor::readRow(qint64 rowid)
{
    sqlite3_stmt* stmt = m_selectRow.get();
    sql::ResetGuard guard(stmt);
    sqlite3_bind_int64(stmt, 1, rowid);
    if (step(stmt) != SQLITE_ROW)
        return std::nullopt;
    std::vector<QVariant> row;
    row.reserve(m_columns.size());
    for (int i = 0; i < int(m_columns.size()); ++i)
        row.push_back(values::read(stmt, i, m_columns[size_t(i)].kind));
    return row;
}

qint64 TableCursor::changeCounter() const
{
    // The file change counter of the header, which every commit in rollback
    // journal mode moves: read from the file, without a statement, whose
    // locking would cost as much as the record itself. A read that meets a
    // commit half written only makes the records be read again.
    unsigned char bytes[4] {};
    if (::pread(m_lockFd, bytes, sizeof bytes, 24) != qint64(sizeof bytes))
        return -1;
    return qint64(bytes[0]) << 24 | qint64(bytes[1]) << 16 | qint64(bytes[2]) << 8 | bytes[3];
}

void TableCursor::readAhead(int row, bool backwards)
{
    m_ahead.clear();
    // Read before the records, so a commit in between only costs a reread.
    m_aheadVersion = changeCounter();
    m_aheadCheckedAt = steadyNanoseconds();
    const int from = backwards ? std::max(0, row - kReadAhead + 1) : row;
    const int to = std::min(count(), from + kReadAhead);
    sqlite3_stmt* stmt = m_selectBlock.get();
    sql::ResetGuard guard(stmt);
    for (int i = 0; i < kReadAhead; ++i)
        sqlite3_bind_int64(stmt, i + 1, from + i < to ? rowidAt(from + i) : -1);
    const int rowidColumn = int(m_columns.size());
    while (step(stmt) == SQLITE_ROW) {
        std::vector<QVariant> values;
        values.reserve(m_columns.size());
        for (int i = 0; i < rowidColumn; ++i)
            values.push_back(values::read(stmt, i, m_columns[size_t(i)].kind));
        m_ahead.emplace(sqlite3_column_int64(stmt, rowidColumn), std::move(values));
    }
}

std::optional<std::vector<QVariant>> TableCursor::readRowAt(int row)
{
    const qint64 rowid = rowidAt(row);
    const bool forwards = m_lastRowRead >= 0 && row == m_lastRowRead + 1;
    const bool backwards = m_lastRowRead >= 0 && row == m_lastRowRead - 1;
    m_lastRowRead = row;
    // What was read ahead goes once another process has committed; looked at
    // every few milliseconds of a walk, not at every step, where the look
    // would cost as much as the record.
    const qint64 now = steadyNanoseconds();
    if (!m_ahead.empty() && now - m_aheadCheckedAt >= kFreshNanoseconds) {
        if (changeCounter() != m_aheadVersion || m_aheadVersion < 0)
            m_ahead.clear();
        m_aheadCheckedAt = now;
    }
    auto found = m_ahead.find(rowid);
    if (found == m_ahead.end()) {
        // A jump reads one record; a walk reads the stretch ahead of it.
        if (!forwards && !backwards)
            return readRow(rowid);
        readAhead(row, backwards);
        found = m_ahead.find(rowid);
        if (found == m_ahead.end())
            return std::nullopt; // deleted by another process
    }
    // Each record of a walk is read once; a second look reads it afresh.
    std::vector<QVariant> values = std::move(found->second);
    m_ahead.erase(found);
    return values;
}

std::vector<QVariantList> TableCursor::readRows(int firstRow, int rowCount, const QStringList& fieldNames)
{
    std::vector<QVariantList> rows;
    const int last = std::min(count(), firstRow + rowCount);
    if (firstRow < 0 || firstRow >= last || fieldNames.isEmpty())
        return rows;
    std::vector<FieldKind> kinds;
    QStringList columns;
    for (const QString& name : fieldNames) {
        const FieldDef* field = fileField(name);
        if (!field)
            throw EngineError(
                QStringLiteral("El archivo de tabla %1 no tiene el campo %2.").arg(m_path, name));
        kinds.push_back(field->kind);
        columns << sql::quoted(field->name);
    }
    sql::Statement stmt;
    prepare(stmt,
        QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?1")
            .arg(columns.join(QLatin1Char(',')), QString::fromUtf8(m_table)));
    rows.reserve(size_t(last - firstRow));
    for (int row = firstRow; row < last; ++row) {
        sql::ResetGuard guard(stmt.get());
        sqlite3_bind_int64(stmt.get(), 1, rowidAt(row));
        QVariantList values;
        const bool found = step(stmt.get()) == SQLITE_ROW;
        for (int i = 0; i < int(kinds.size()); ++i)
            values << (found ? values::read(stmt.get(), i, kinds[size_t(i)]) : QVariant());
        rows.push_back(std::move(values));
    }
    return rows;
}

std::optional<qint64> TableCursor::locate(const QString& fieldName, const QVariant& value)
{
    const FieldDef* field = fileField(fieldName);
    if (!field)
        throw EngineError(
            QStringLiteral("El archivo de tabla %1 no tiene el campo %2.").arg(m_path, fieldName));
    const values::Stored stored = values::toStored(field->kind, value);
    // The visible query, narrowed to the value; its first row is the answer.
    QString text = QString::fromUtf8(sqlite3_sql(m_selectVisible.get()));
    const qsizetype orderAt = text.lastIndexOf(QLatin1String(" ORDER BY "));
    const QString condition = stored.type == values::Stored::Type::Null
        ? QStringLiteral(" AND %1 IS NULL").arg(sql::quoted(field->name))
        : QStringLiteral(" AND %1 = ?4").arg(sql::quoted(field->name));
    text.insert(orderAt, condition);
    sql::Statement stmt;
    prepare(stmt, text + QStringLiteral(" LIMIT 1"));
    bindView(stmt.get());
    if (stored.type != values::Stored::Type::Null)
        values::bind(stmt.get(), 4, stored);
    if (step(stmt.get()) != SQLITE_ROW)
        return std::nullopt;
    return sqlite3_column_int64(stmt.get(), int(m_order.size()));
}

void TableCursor::requireShapeChecked() const
{
    if (!m_shapeChecked)
        throw EngineError(
            QStringLiteral("No se escribe en el archivo de tabla %1: no se han comprobado sus campos.")
                .arg(m_path));
}

bool TableCursor::sameAs(qint64 rowid, const std::vector<QVariant>& expected)
{
    const std::optional<std::vector<QVariant>> stored = readRow(rowid);
    return stored && *stored == expected;
}

class TableCursor::Transaction {
public:
    explicit Transaction(TableCursor& cursor)
        : m_cursor(cursor)
    {
        // Our own writes do not move data_version: what was read ahead goes.
        m_cursor.m_ahead.clear();
        run(m_cursor.m_begin.get());
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction()
    {
        // A begin that failed left nothing open to roll back.
        if (!m_committed && !sqlite3_get_autocommit(m_cursor.m_db.get())) {
            sqlite3_step(m_cursor.m_rollback.get());
            sqlite3_reset(m_cursor.m_rollback.get());
        }
    }
    void commit()
    {
        run(m_cursor.m_commit.get());
        m_committed = true;
    }

private:
    void run(sqlite3_stmt* stmt)
    {
        sql::ResetGuard guard(stmt);
        m_cursor.step(stmt);
    }
    TableCursor& m_cursor;
    bool m_committed = false;
};

qint64 TableCursor::insert(const std::vector<QVariant>& rowValues)
{
    requireShapeChecked();
    Transaction transaction(*this);
    sqlite3_stmt* stmt = m_insert.get();
    {
        sql::ResetGuard guard(stmt);
        int index = 0;
        for (size_t i = 0; i < m_columns.size(); ++i)
            if (m_columns[i].kind != FieldKind::Counter)
                values::bind(stmt, ++index, m_columns[i].kind, rowValues[i]);
        step(stmt);
    }
    const qint64 rowid = sqlite3_last_insert_rowid(m_db.get());
    transaction.commit();
    return rowid;
}

bool TableCursor::update(
    qint64 rowid, const std::vector<QVariant>& expected, const std::vector<QVariant>& rowValues)
{
    requireShapeChecked();
    Transaction transaction(*this);
    if (!sameAs(rowid, expected))
        return false;
    if (sqlite3_stmt* stmt = m_update.get()) {
        sql::ResetGuard guard(stmt);
        sqlite3_bind_int64(stmt, 1, rowid);
        int index = 1;
        for (size_t i = 0; i < m_columns.size(); ++i)
            if (m_columns[i].kind != FieldKind::Counter)
                values::bind(stmt, ++index, m_columns[i].kind, rowValues[i]);
        step(stmt);
    }
    transaction.commit();
    return true;
}

bool TableCursor::remove(qint64 rowid, const std::vector<QVariant>& expected)
{
    requireShapeChecked();
    Transaction transaction(*this);
    if (!sameAs(rowid, expected))
        return false;
    {
        sql::ResetGuard guard(m_delete.get());
        sqlite3_bind_int64(m_delete.get(), 1, rowid);
        step(m_delete.get());
    }
    transaction.commit();
    return true;
}

void TableCursor::empty()
{
    requireShapeChecked();
    if (!m_exclusive)
        takeLock(F_WRLCK);
    struct Downgrade {
        TableCursor* cursor;
        ~Downgrade()
        {
            if (!cursor->m_exclusive) {
                try {
                    cursor->takeLock(F_RDLCK);
                } catch (const EngineError&) {
                    // Going from our write lock to a read lock never conflicts.
                }
            }
        }
    } downgrade { this };
    Transaction transaction(*this);
    exec(QStringLiteral("DELETE FROM %1").arg(QString::fromUtf8(m_table)).toUtf8().constData());
    transaction.commit();
    m_arena.clear();
    m_rows.clear();
}

} // namespace engine
