#include "bound/DBText.h"

#include "engine/Field.h"

namespace bound {

DBText::DBText(QWidget* parent)
    : QLabel(parent)
    , m_link([this] { showField(); })
{
    // Table contents are never read as markup.
    setTextFormat(Qt::PlainText);
}

void DBText::setDataSource(engine::DataSource* source)
{
    m_link.setDataSource(source);
}

void DBText::setDataField(const QString& fieldName)
{
    m_link.setFieldName(fieldName);
}

void DBText::showField()
{
    const engine::Field* f = m_link.field();
    setText(f ? f->asString() : QString());
}

} // namespace bound
