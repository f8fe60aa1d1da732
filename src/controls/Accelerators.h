// The program's accelerator keys: a letter or digit typed with Alt, or alone when the focused control
// takes no typed characters, works the shown, enabled fancy button of the active window that carries it.
#pragma once

#include <QChar>

class QApplication;
class QKeyEvent;
class QWidget;

namespace controls {

// Installs the application-wide key filter; once is enough, calling it again does nothing.
void installAccelerators(QApplication& app);

// Whether the control keeps typed letters for itself (text boxes, combo and spin boxes), so that
// a letter alone is not an accelerator there. A widget may say so itself with the dynamic
// property "hlrTakesCharacters" (true or false), which then decides.
bool takesTypedCharacters(const QWidget* widget);

// The accelerator character a key event stands for, given the focused control (null for none),
// or a null QChar when the key is not one: Ctrl or Meta held, not a letter or digit, or typed
// alone into a control that takes characters.
QChar acceleratorCharacter(const QKeyEvent& event, const QWidget* focus);

} // namespace controls
