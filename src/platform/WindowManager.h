// What the window manager is told about our windows: every window but the main
// one is a dialog of the window that showed it, without minimise or maximise.
#pragma once

class QWidget;

namespace platform::windowmanager {

// Makes `window` transient for the window that is showing it (the innermost
// modal window, else the active one). Call before the window is mapped.
void setOpener(QWidget* window);
// Asks for a title and border only, and for no minimise or maximise function,
// in both the decorations and the functions of _MOTIF_WM_HINTS (X11 only).
void askNoMinimiseOrMaximise(QWidget* window);

// A modal window minimised anyway leaves every window under it deaf; the
// window manager activating one of them brings the modal window back.
bool restoreHiddenModal();
// Watches the window system for that activation; once per program.
void installModalRestorer();

} // namespace platform::windowmanager
