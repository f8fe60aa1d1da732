#include "platform/Window.h"

#include "platform/Furniture.h"
#include "platform/Guarded.h"
#include "platform/Help.h"
#include "platform/WindowManager.h"

#include <QGuiApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

namespace platform {

namespace {

int deferDepth = 0;

} // namespace

Window::DeferBuilding::DeferBuilding()
{
    ++deferDepth;
}

Window::DeferBuilding::~DeferBuilding()
{
    --deferDepth;
}

Window::Window(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    // Windows keep their controls' contents between showings: never deleted on close.
    setAttribute(Qt::WA_DeleteOnClose, false);
    setSizeGripEnabled(false);
    // Every window's own font: MS Sans Serif, 8 pt.
    setFont(furniture::windowFont());
}

void Window::setClientSize(int width, int height)
{
    setFixedSize(width, height);
}

void Window::setHelpTopic(int topic, bool popup)
{
    m_helpTopic = topic;
    m_helpPopup = popup;
}

void Window::ensureBuilt()
{
    if (m_built)
        return;
    // Marked first: a failure half-way must not make the controls twice.
    m_built = true;
    build();
}

void Window::buildUnlessDeferred()
{
    if (deferDepth == 0)
        ensureBuilt();
}

void Window::setVisible(bool visible)
{
    // Before the window is shown, so sizes, focus and tab order are in place
    // when the activation step runs.
    if (visible) {
        ensureBuilt();
        // The main window is a plain window; every other one a dialog of the
        // window that shows it, which the window manager keeps together.
        if (windowType() == Qt::Dialog && !isVisible()) {
            windowmanager::setOpener(this);
            windowmanager::askNoMinimiseOrMaximise(this);
        }
    }
    QDialog::setVisible(visible);
}

void Window::showModal()
{
    exec();
}

void Window::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // A spontaneous show comes from the window system (restored from
    // minimised); only the program's own showing counts as a new showing.
    if (event->spontaneous() || m_shown)
        return;
    m_shown = true;
    QScreen* target = screen() ? screen() : QGuiApplication::primaryScreen();
    if (target) {
        // The client area is centred; the frame's offset is known once the
        // window has been shown before.
        const QPoint frameOffset = geometry().topLeft() - pos();
        move(target->availableGeometry().center() - QPoint(width() / 2, height() / 2) - frameOffset);
    }
    guarded([this] { activate(); });
}

void Window::closeEvent(QCloseEvent* event)
{
    // QDialog turns a close into reject(), which ends in done(): the closing
    // step runs there, so it runs once whichever way the window goes.
    if (!guarded([this, event] { QDialog::closeEvent(event); }))
        event->ignore();
}

void Window::done(int result)
{
    // A closing step that fails keeps the window open, as it was.
    if (!guarded([this] { endShowing(); }))
        return;
    QDialog::done(result);
}

void Window::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    // Minimising hides spontaneously and is not a close; a plain hide() is.
    if (event->spontaneous())
        return;
    if (!guarded([this] { endShowing(); }))
        return;
    // The window that showed this one takes the input back; without this a
    // hidden window could stay the active one until the desktop says otherwise.
    if (QWindow* opener = windowHandle() ? windowHandle()->transientParent() : nullptr;
        opener && opener->isVisible())
        opener->requestActivate();
}

void Window::endShowing()
{
    if (!m_shown)
        return;
    m_shown = false;
    closing();
}

void Window::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        // Escape never closes a window; a control that wants it has had it first.
        event->accept();
        return;
    case Qt::Key_F1:
        event->accept();
        if (m_helpTopic == 0)
            return;
        guarded([this] {
            if (m_helpPopup)
                help::showPopup(this, m_helpTopic);
            else
                help::showTopic(this, m_helpTopic);
        });
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // No default button: Enter never presses a button of a window.
        event->ignore();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

} // namespace platform
