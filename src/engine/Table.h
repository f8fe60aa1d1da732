// A table of the data folder behind a cursor: open and close, moving, the
// record buffer with its states, filter, index order, master link, find
// nearest, exclusive emptying. Every post and delete is one transaction.
#pragma once

#include "Field.h"
#include "FieldDef.h"
#include "Listeners.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVariantList>
#include <memory>
#include <vector>

namespace engine {

class Database;
class DataSource;
class TableCursor; // the SQLite side, private to the engine

enum class TableState { Inactive, Browse, Edit, Insert };

class Table : public QObject {
    Q_OBJECT
public:
    // `name` is the component's name ("TablaAvisos"), used in messages;
    // `fileName` the table file in the database's folder ("AVISOS.DB").
    Table(Database& db, QString name, QString fileName, QObject* parent = nullptr);
    ~Table() override;

    const QString& name() const { return m_name; }
    const QString& fileName() const { return m_fileName; }
    Database& database() const { return m_db; }

    // Declared fields, before the first open; open checks the file has them.
    // Without declarations open takes the fields the file holds.
    Field& addField(const FieldDef& def);
    Field& field(const QString& name); // EngineError "<table>: Field 'X' not found"
    Field* findField(const QString& name);
    const std::vector<std::unique_ptr<Field>>& fields() const { return m_fields; }

    // Order: a stored index by name, or the stored index whose leading field
    // is the given one. Set while closed.
    void setIndexName(const QString& indexName);
    void setIndexFieldNames(const QString& fieldNames);
    QStringList indexFields() const; // fields of the active index, once open

    // Master link: only records whose `field` equals the master's current
    // record's `field`; appended records receive it.
    void setMasterSource(DataSource* master, const QString& field);

    // Filter: exactly `FIELD = 'literal'`, inner quotes doubled; anything
    // else is an EngineError when it takes effect.
    void setFilter(const QString& text);
    const QString& filter() const { return m_filterText; }
    void setFiltered(bool on);
    bool filtered() const { return m_filtered; }

    // Exclusive flag, set on a closed table: open and emptyTable then fail
    // with a "table is busy" error while another process has the file open.
    void setExclusive(bool on);
    bool exclusive() const { return m_exclusive; }
    void emptyTable();

    void open(); // on the first record; no effect when open, so it keeps the position
    void close(); // no effect when closed; drops unposted changes
    bool active() const { return m_state != TableState::Inactive; }
    TableState state() const { return m_state; }

    void first();
    void next(); // on the last record: eof() and stays
    void prior();
    void last(); // the end flag is set too
    bool eof() const;
    bool bof() const;
    bool isEmpty() const;

    void append(); // settles a pending change first; master's value filled in
    void edit(); // unchanged in edit or insert; on an empty table: insert
    void post(); // "Dataset not in edit or insert mode" in browse
    void cancel(); // no effect in browse
    void remove(); // "Cannot perform this operation on an empty dataset"
    void refresh(); // re-reads the records (another process's changes)

    // Moves to the first record at or after the values, given for the
    // leading fields of the active index ("Field index out of range" when
    // more values than fields).
    void findNearest(const QVariantList& values);
    // Moves to the first record (in index order) whose field equals value.
    bool locate(const QString& fieldName, const QVariant& value);

    // Bound controls do not follow the cursor in between; enabling again
    // sends one data change.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_disableCount > 0; }

    // For grids and lookup lists: the visible records in order, read without
    // moving the cursor. Row numbers count from 0. When the current record is
    // among them and another process changed it, the record buffer takes the
    // stored values too, so a delete compares with what the grid shows.
    int recordCount() const;
    int rowIndex() const; // the current record's row, -1 when none
    void moveToRow(int row);
    std::vector<QVariantList> readRows(int firstRow, int count, const QStringList& fieldNames) const;

    // Notifications, called directly so a listener's refusal reaches the
    // caller of the table operation. The state change; the data change (field
    // null on open, scroll, post, cancel and any change of the visible
    // records; the field when its value was stored); the visible records may
    // differ (open, close, filter, master move, post, delete, append, cancel),
    // sent before the data change so grids re-read their rows; post is about
    // to store, so bound controls write their pending text.
    Connection onStateChanged(std::function<void()> listener)
    {
        return m_stateChanged.add(std::move(listener));
    }
    Connection onDataChanged(std::function<void(Field*)> listener)
    {
        return m_dataChanged.add(std::move(listener));
    }
    Connection onRowsChanged(std::function<void()> listener)
    {
        return m_rowsChanged.add(std::move(listener));
    }
    Connection onUpdateRecord(std::function<void()> listener)
    {
        return m_updateRecord.add(std::move(listener));
    }

private:
    friend class Field;
    QVariant currentValue(int column) const;
    void checkStore(const Field& field) const;
    void storeValue(Field& field, const QVariant& value);
    QString refusal(const QString& message) const; // "<name>: <message>"

    std::vector<FieldDef> declaredColumns() const;
    void requireActive() const;
    void requireClosed() const;
    // Posts a pending change if a field was stored since edit or insert
    // began, else cancels it.
    void settle();
    void changeOrder(const QString& indexName, const QString& fieldNames);
    // Makes `row` (clamped) the current record, dropping records that
    // another process deleted; returns whether any was dropped.
    bool loadRow(int row);
    void notify(bool rows);
    void notifyState();
    // Hands the order, the filter and the master link to the cursor.
    void applyView();
    std::vector<IndexField> resolveOrder() const;
    // Re-reads the visible records after a change of filter or master and
    // goes to the first.
    void restart();
    void followMaster();
    bool masterLinkActive() const;
    QVariant masterValue() const;
    [[noreturn]] void refuseChanged() const;
    // The record buffer takes the values a grid just read of the current
    // record, when they differ.
    void catchUp(int firstRow, int rowCount);
    // After a refused post or delete: grids read the records again, and a
    // browsed record shows what is stored now.
    [[noreturn]] void refuseChangedAndShowStored();

    Database& m_db;
    QString m_name;
    QString m_fileName;
    std::vector<std::unique_ptr<Field>> m_fields;
    QString m_indexName;
    QString m_indexFieldNames;
    QPointer<DataSource> m_master;
    QString m_masterField;
    ScopedConnection m_masterDataLink;
    ScopedConnection m_masterStateLink;
    bool m_linkActive = false; // the restriction the visible records were read with
    QVariant m_linkValue;
    QString m_filterText;
    bool m_filtered = false;
    bool m_exclusive = false;
    TableState m_state = TableState::Inactive;
    TableState m_stateWhenDisabled = TableState::Inactive;
    int m_disableCount = 0;
    Listeners<> m_stateChanged;
    Listeners<Field*> m_dataChanged;
    Listeners<> m_rowsChanged;
    Listeners<> m_updateRecord;
    std::unique_ptr<TableCursor> m_cursor;
    std::vector<IndexField> m_order;

    // The current record: its values, those it had when edit began, whether
    // a field was stored since, and where it is.
    std::vector<QVariant> m_buffer;
    std::vector<QVariant> m_original;
    bool m_modified = false;
    int m_row = -1;
    qint64 m_rowid = -1;
    int m_returnRow = -1; // where cancel of an insert goes back to
    bool m_eof = true;
    bool m_bof = true;
};

} // namespace engine
