// A check box bound to a logical field: ticked true, unticked false, grey
// without a value; a click writes the new value into the field at once.
#pragma once

#include "bound/FieldLink.h"

#include <QCheckBox>

namespace bound {

class DBCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit DBCheckBox(QWidget* parent = nullptr);
    explicit DBCheckBox(const QString& text, QWidget* parent = nullptr);

    void setDataSource(engine::DataSource* source);
    engine::DataSource* dataSource() const { return m_link.dataSource(); }
    void setDataField(const QString& fieldName);
    const QString& dataField() const { return m_link.fieldName(); }

    // The read-only variant shows its field and ignores clicks.
    void setReadOnly(bool on) { m_readOnly = on; }
    bool isReadOnly() const { return m_readOnly; }

protected:
    void nextCheckState() override;
    // A check box takes no text, so a letter alone works as with Alt.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showField();

    FieldLink m_link;
    bool m_readOnly = false;
};

} // namespace bound
