// The SQLite side of a table, private to the engine: the checked connection
// to one table file, the lock that tells other processes it is open, the
// visible records as ordered sort keys, and the record reads and writes.
#pragma once

#include "FieldDef.h"
#include "Sqlite.h"
#include "Values.h"

#include <QString>
#include <QVariant>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace engine {

class TableCursor {
public:
    // Opens and checks the file; EngineError naming it when it is missing,
    // read-only, not a table file or damaged, or busy (`exclusive` and
    // another process has it open, or the other way round).
    TableCursor(const QString& path, bool exclusive);
    ~TableCursor();
    TableCursor(const TableCursor&) = delete;
    TableCursor& operator=(const TableCursor&) = delete;

    const QString& path() const { return m_path; }
    const TableDef& fileDef() const { return m_def; }
    const FieldDef* fileField(const QString& name) const;

    // The fields of the record buffer, in buffer order; EngineError naming
    // the file when it lacks one or holds it as another kind. Until this
    // check has passed, every write is refused, so a file of the wrong shape
    // is never touched.
    void setColumns(const std::vector<FieldDef>& fields);
    // The order (index fields; empty: rowid) and the restriction: an equal
    // filter and the master link (a null value: only NULLs). Takes effect at
    // the next rebuild.
    struct Condition {
        QString field;
        QVariant value;
    };
    void setView(
        std::vector<IndexField> order, std::optional<Condition> filter, std::optional<Condition> link);
    void rebuild();

    int count() const { return int(m_rows.size()); }
    qint64 rowidAt(int row) const { return values::rowidOfKey(keyAt(row)); }
    // The row of a record among the visible ones, -1 when not visible.
    int find(qint64 rowid);
    // The first row at or after the values of the leading order fields.
    int lowerBound(const QVariantList& values) const;
    // Enters a stored record among the visible ones if it belongs there;
    // returns its row or -1.
    int place(qint64 rowid);
    void erase(int row);

    // The buffer values of a record; nullopt when it is gone.
    std::optional<std::vector<QVariant>> readRow(qint64 rowid);
    // The same for the record at a visible row. Moving row by row, the next
    // rows in that direction are read in the same query and served from
    // memory while nobody has written to the file since.
    std::optional<std::vector<QVariant>> readRowAt(int row);
    std::vector<QVariantList> readRows(int firstRow, int count, const QStringList& fieldNames);
    // The first visible record whose field equals the value, in order.
    std::optional<qint64> locate(const QString& fieldName, const QVariant& value);

    // Each write is one transaction. update and remove first compare the
    // stored record with `expected` and return false, writing nothing, when
    // another process changed or deleted it.
    qint64 insert(const std::vector<QVariant>& values);
    bool update(qint64 rowid, const std::vector<QVariant>& expected, const std::vector<QVariant>& values);
    bool remove(qint64 rowid, const std::vector<QVariant>& expected);
    // Deletes every record while holding the file alone.
    void empty();

private:
    // Reads a visible record's sort key and where it stands among the rows;
    // false when the record is not visible.
    bool locateKey(qint64 rowid, std::string& key, int& row);
    std::string_view keyAt(int row) const
    {
        const auto& [offset, size] = m_rows[size_t(row)];
        return std::string_view(m_arena.data() + offset, size);
    }
    void pushKey(std::string_view key, int row);
    qint64 changeCounter() const;
    void readAhead(int row, bool backwards);
    void appendRowKey(std::string& key, sqlite3_stmt* stmt) const;
    // A text's key in the Spanish order, as the index computes it.
    values::Stored spanishKey(const values::Stored& text) const;
    void prepare(sql::Statement& stmt, const QString& text) const;
    void exec(const char* text) const;
    int step(sqlite3_stmt* stmt) const;
    // One write: begun at once, rolled back unless committed.
    class Transaction;
    [[noreturn]] void fail(const QString& what) const;
    bool sameAs(qint64 rowid, const std::vector<QVariant>& expected);
    void bindView(sqlite3_stmt* stmt) const;
    void takeLock(short type);
    void openChecked();
    void requireShapeChecked() const;

    QString m_path;
    QByteArray m_table; // the quoted SQL table name
    TableDef m_def;
    int m_lockFd = -1;
    bool m_exclusive = false;
    bool m_shapeChecked = false;
    sql::Connection m_db;

    std::vector<FieldDef> m_columns;
    std::vector<IndexField> m_order;
    std::vector<bool> m_orderNoCase;
    std::vector<bool> m_orderTextual;
    std::optional<Condition> m_filter;
    std::optional<Condition> m_link;

    // The visible records: sort keys packed in one buffer, in order.
    std::string m_arena;
    std::vector<std::pair<quint32, quint32>> m_rows;

    static constexpr int kReadAhead = 200;
    // How long records read ahead are served without looking whether another
    // process has committed since: below what a person could notice.
    static constexpr qint64 kFreshNanoseconds = 5'000'000;
    qint64 m_aheadCheckedAt = 0;
    sql::Statement m_selectBlock; // kReadAhead rowids, the columns and the rowid back
    std::unordered_map<qint64, std::vector<QVariant>> m_ahead;
    qint64 m_aheadVersion = -1;
    int m_lastRowRead = -1;

    sql::Statement m_selectRow;
    // Prepared once: the key's expression is long, and preparing it cost
    // more than the seek it serves.
    mutable sql::Statement m_spanishKey;
    sql::Statement m_selectVisible;
    sql::Statement m_selectOne;
    sql::Statement m_insert;
    sql::Statement m_update;
    sql::Statement m_delete;
    sql::Statement m_begin;
    sql::Statement m_commit;
    sql::Statement m_rollback;
};

} // namespace engine
