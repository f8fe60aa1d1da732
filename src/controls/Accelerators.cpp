// An application event filter that offers typed accelerator characters to the fancy buttons.
#include "controls/Accelerators.h"

#include "controls/FancyButton.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace controls {

namespace {

constexpr char kFilterName[] = "hlrAcceleratorFilter";

class AcceleratorFilter : public QObject {
public:
    explicit AcceleratorFilter(QObject* parent)
        : QObject(parent)
    {
        setObjectName(QString::fromLatin1(kFilterName));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Key events reach the QWindow first and then the widget; only the widget's copy counts.
        const QEvent::Type type = event->type();
        if ((type != QEvent::KeyPress && type != QEvent::ShortcutOverride) || !watched->isWidgetType())
            return false;
        auto* receiver = static_cast<QWidget*>(watched);
        QWidget* window = QApplication::activeWindow();
        if (!window)
            window = receiver->window();
        if (receiver->window() != window)
            return false; // a popup such as an open combo list, or a window that is not active

        QWidget* focus = QApplication::focusWidget();
        if (focus && focus->window() != window)
            focus = nullptr;
        auto* key = static_cast<QKeyEvent*>(event);
        const QChar c = acceleratorCharacter(*key, focus);
        if (c.isNull())
            return false;

        const auto buttons = window->findChildren<TDsFancyButton*>();
        for (TDsFancyButton* button : buttons) {
            if (button->window() != window) // buttons of a child dialog belong to that dialog
                continue;
            if (type == QEvent::ShortcutOverride) {
                // Claim the key before Qt's shortcuts (mnemonics of other controls) see it; the
                // click itself happens on the key press that follows.
                if (button->acceptsAccelerator(c)) {
                    event->accept();
                    return true;
                }
            } else if (button->offerAccelerator(c)) {
                return true;
            }
        }
        return false;
    }
};

} // namespace

void installAccelerators(QApplication& app)
{
    if (app.findChild<QObject*>(QString::fromLatin1(kFilterName), Qt::FindDirectChildrenOnly))
        return;
    auto* filter = new AcceleratorFilter(&app); // owned by the application
    app.installEventFilter(filter);
}

bool takesTypedCharacters(const QWidget* widget)
{
    if (!widget)
        return false;
    const QVariant own = widget->property("hlrTakesCharacters");
    if (own.isValid())
        return own.toBool();
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QTextEdit*>(widget)
        || qobject_cast<const QPlainTextEdit*>(widget) || qobject_cast<const QComboBox*>(widget)
        || qobject_cast<const QAbstractSpinBox*>(widget);
}

QChar acceleratorCharacter(const QKeyEvent& event, const QWidget* focus)
{
    const Qt::KeyboardModifiers mods = event.modifiers();
    if (mods & (Qt::ControlModifier | Qt::MetaModifier))
        return {};

    QChar c;
    const QString text = event.text();
    if (!text.isEmpty() && text.at(0).isPrint()) {
        c = text.at(0);
    } else {
        // With Alt held some platforms send no text; the key code still names the letter or digit.
        const int key = event.key();
        if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
            c = QChar(key);
    }
    if (!c.isLetterOrNumber())
        return {};
    if (!(mods & Qt::AltModifier) && takesTypedCharacters(focus))
        return {};
    return c;
}

} // namespace controls
