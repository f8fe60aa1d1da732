#include "platform/EnterAsTab.h"

#include "platform/Window.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace platform {

namespace {

bool isEnter(const QKeyEvent* key)
{
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        && !(key->modifiers() & Qt::AltModifier);
}

// A text box that keeps Tab for itself would put a tab into its text; Enter
// must move on from it as from any other box, so its window moves the focus.
QWidget* tabTarget(QWidget* widget)
{
    for (QWidget* w = widget; w && !w->isWindow(); w = w->parentWidget()) {
        if (auto* edit = qobject_cast<QTextEdit*>(w); edit && !edit->tabChangesFocus())
            return widget->window();
        if (auto* edit = qobject_cast<QPlainTextEdit*>(w); edit && !edit->tabChangesFocus())
            return widget->window();
    }
    return widget;
}

} // namespace

EnterAsTab::EnterAsTab(QObject* parent)
    : QObject(parent)
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

EnterAsTab::~EnterAsTab()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool EnterAsTab::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::KeyPress && type != QEvent::ShortcutOverride) || !watched->isWidgetType())
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    auto* widget = static_cast<QWidget*>(watched);
    // Only the program's own windows; message boxes, file choosers and
    // drop-down lists keep Enter, as standard dialogs do on every desktop.
    if (!isEnter(key) || !qobject_cast<Window*>(widget->window()))
        return false;
    if (type == QEvent::ShortcutOverride) {
        // Claimed here so that no shortcut bound to Enter fires; the key
        // press that follows is turned into Tab below.
        event->accept();
        return true;
    }
    const bool back = key->modifiers() & Qt::ShiftModifier;
    QKeyEvent tab(QEvent::KeyPress, back ? Qt::Key_Backtab : Qt::Key_Tab, key->modifiers(),
        back ? QString() : QStringLiteral("\t"), key->isAutoRepeat(), key->count());
    QCoreApplication::sendEvent(tabTarget(widget), &tab);
    return true;
}

} // namespace platform
