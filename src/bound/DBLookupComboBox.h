// A drop-down list bound to a field whose values are the keys of a list
// table: shows the list table's entries and stores the chosen entry's key.
#pragma once

#include "bound/FieldLink.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QPointer>
#include <QVariant>
#include <vector>

namespace bound {

class DBLookupComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DBLookupComboBox(QWidget* parent = nullptr);

    void setDataSource(engine::DataSource* source);
    engine::DataSource* dataSource() const { return m_link.dataSource(); }
    void setDataField(const QString& fieldName);
    const QString& dataField() const { return m_link.fieldName(); }

    void setListSource(engine::DataSource* source);
    engine::DataSource* listSource() const { return m_listSource; }
    void setKeyField(const QString& fieldName);
    void setListField(const QString& fieldName);
    // Where entries share a key (two clinics of one name), the one shown is
    // the one just picked for this record, else the one whose `listField`
    // equals the record's `dataField`; when that does not tell them apart,
    // none is. Without it the first of them is shown.
    void setMatchFields(const QString& listField, const QString& dataField);

    // The entries as shown, in the list table's order.
    QStringList entries() const;
    // Chooses the entry at `row`: the list table moves to it, then its key is
    // stored into the field, also when it is the key already stored.
    void choose(int row);

signals:
    // The focus came into the list from another control, by keyboard or by
    // mouse; not when it comes back from the list's own drop-down.
    void entered();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void reloadList();
    void showField();
    int rowOfKey(const QVariant& key) const;
    bool searchTyped(const QString& text);

    FieldLink m_link;
    QPointer<engine::DataSource> m_listSource;
    engine::ScopedConnection m_listConnection;
    QString m_keyField;
    QString m_listField;
    std::vector<QVariant> m_keys;
    QString m_matchListField;
    QString m_matchDataField;
    std::vector<QVariant> m_matches; // the entries' match values, when set
    // The entry picked last, and the record it was picked for.
    struct Pick {
        int row = -1;
        int recordRow = -1;
        int state = -1;
    } m_pick;
    QString m_search;
    QElapsedTimer m_lastKey;
    bool m_showing = false;
};

} // namespace bound
