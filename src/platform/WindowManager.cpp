#include "platform/WindowManager.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>

namespace platform::windowmanager {

namespace {

// The Motif hint layout every X window manager reads.
constexpr uint32_t kMwmHintsFunctions = 1u << 0;
constexpr uint32_t kMwmHintsDecorations = 1u << 1;
constexpr uint32_t kMwmFuncMove = 1u << 2;
constexpr uint32_t kMwmFuncClose = 1u << 5;
constexpr uint32_t kMwmDecorBorder = 1u << 1;
constexpr uint32_t kMwmDecorTitle = 1u << 3;

xcb_connection_t* x11Connection()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

class ModalRestorer : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & 0x7f) == XCB_FOCUS_IN) {
            // Widgets are not touched from inside the window system's dispatch.
            QMetaObject::invokeMethod(
                qApp, [] { restoreHiddenModal(); }, Qt::QueuedConnection);
        }
        return false;
    }
};

} // namespace

void setOpener(QWidget* window)
{
    QWidget* opener = QApplication::activeModalWidget();
    if (!opener || opener == window)
        opener = QApplication::activeWindow();
    if (!opener || opener == window || !opener->windowHandle())
        return;
    window->winId(); // the native window must exist to carry the hint
    if (QWindow* handle = window->windowHandle())
        handle->setTransientParent(opener->windowHandle());
}

void askNoMinimiseOrMaximise(QWidget* window)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return;
    static const char name[] = "_MOTIF_WM_HINTS";
    xcb_intern_atom_reply_t* reply
        = xcb_intern_atom_reply(connection, xcb_intern_atom(connection, 0, sizeof name - 1, name), nullptr);
    if (!reply)
        return;
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    // Closing stays allowed: every window handles being closed by the window manager.
    const uint32_t hints[5] = { kMwmHintsFunctions | kMwmHintsDecorations, kMwmFuncMove | kMwmFuncClose,
        kMwmDecorBorder | kMwmDecorTitle, 0, 0 };
    xcb_change_property(
        connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()), atom, atom, 32, 5, hints);
    xcb_flush(connection);
}

bool restoreHiddenModal()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible() || !modal->isMinimized())
        return false;
    modal->setWindowState(modal->windowState() & ~Qt::WindowMinimized);
    modal->show();
    modal->raise();
    modal->activateWindow();
    return true;
}

void installModalRestorer()
{
    static ModalRestorer restorer;
    static bool installed = false;
    if (installed || !x11Connection())
        return;
    installed = true;
    qApp->installNativeEventFilter(&restorer);
}

} // namespace platform::windowmanager
