#include "bound/DBCheckBox.h"

#include "engine/Field.h"

namespace bound {

DBCheckBox::DBCheckBox(QWidget* parent)
    : DBCheckBox(QString(), parent)
{
}

DBCheckBox::DBCheckBox(const QString& text, QWidget* parent)
    : QCheckBox(text, parent)
{
    // Grey stands for a field without a value; the user never sets it.
    setTristate(true);
    // Letters typed on a check box go to the window's buttons.
    setProperty("hlrTakesCharacters", false);
    connect(&m_link, &FieldLink::recordChanged, this, &DBCheckBox::showField);
}

void DBCheckBox::setDataSource(engine::DataSource* source)
{
    m_link.setDataSource(source);
}

void DBCheckBox::setDataField(const QString& fieldName)
{
    m_link.setFieldName(fieldName);
}

void DBCheckBox::showField()
{
    const engine::Field* f = m_link.field();
    if (!f || f->isNull())
        setCheckState(Qt::PartiallyChecked);
    else
        setCheckState(f->asBoolean() ? Qt::Checked : Qt::Unchecked);
}

void DBCheckBox::nextCheckState()
{
    if (m_readOnly || !m_link.edit())
        return;
    const bool tick = checkState() != Qt::Checked;
    // The field's data change shows the new state.
    m_link.field()->setAsBoolean(tick);
    showField();
}

} // namespace bound
