// A read-only text that follows a field of the current record.
#pragma once

#include "bound/FieldLink.h"

#include <QLabel>

namespace bound {

class DBText : public QLabel {
    Q_OBJECT
public:
    explicit DBText(QWidget* parent = nullptr);

    void setDataSource(engine::DataSource* source);
    void setDataField(const QString& fieldName);
    const QString& dataField() const { return m_link.fieldName(); }

private:
    void showField();

    FieldLink m_link;
};

} // namespace bound
