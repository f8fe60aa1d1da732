#include "bound/DBCheckBox.h"

#include "engine/Field.h"
#include "platform/Guarded.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace bound {

DBCheckBox::DBCheckBox(QWidget* parent)
    : DBCheckBox(QString(), parent)
{
}

DBCheckBox::DBCheckBox(const QString& text, QWidget* parent)
    : QCheckBox(text, parent)
    , m_link([this] { showField(); })
{
    // Grey stands for a field without a value; the user never sets it.
    setTristate(true);
    // Letters typed on a check box go to the window's buttons.
    setProperty("hlrTakesCharacters", false);
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
    platform::guarded([&] {
        if (m_readOnly || !m_link.edit())
            return;
        const bool tick = checkState() != Qt::Checked;
        // The field's data change shows the new state.
        m_link.field()->setAsBoolean(tick);
        showField();
    });
}

} // namespace bound

namespace bound {

void DBCheckBox::keyPressEvent(QKeyEvent* event)
{
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    const int key = event->key();
    if (plain && key >= Qt::Key_A && key <= Qt::Key_Z) {
        const QKeySequence withAlt(QKeyCombination(Qt::AltModifier, Qt::Key(key)));
        const auto boxes = window()->findChildren<QAbstractButton*>();
        for (QAbstractButton* box : boxes) {
            if (box->window() != window() || !box->isVisible() || !box->isEnabled())
                continue;
            if (QKeySequence::mnemonic(box->text()) == withAlt) {
                // What the mnemonic does: focus, then a click the user sees.
                box->setFocus(Qt::ShortcutFocusReason);
                box->animateClick();
                event->accept();
                return;
            }
        }
    }
    QCheckBox::keyPressEvent(event);
}

} // namespace bound
