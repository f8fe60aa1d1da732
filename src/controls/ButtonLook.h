// The three standard looks of the system's buttons (window buttons, main menu buttons and
// second-column buttons) and factories that make a button in one of them; used by every window.
#pragma once

#include "controls/FancyButton.h"

#include <QRect>
#include <QString>

class QWidget;

namespace controls {

enum class ButtonLook {
    Window, // every window but the main window: sky blue, bold 16 px
    MainMenu, // main window, first column: money green, bold italic 21 px
    SecondColumn, // main window, buttons shown on demand: sky blue, bold italic 21 px
};

// Sets colour, font, font colour, effects, glyph settings and the hand cursor of the look.
// The main window's "&Menú Principal" keeps the arrow: its window calls unsetCursor() afterwards.
void applyLook(TDsFancyButton& button, ButtonLook look);
inline void applyWindowLook(TDsFancyButton& button)
{
    applyLook(button, ButtonLook::Window);
}
inline void applyMainMenuLook(TDsFancyButton& button)
{
    applyLook(button, ButtonLook::MainMenu);
}
inline void applySecondColumnLook(TDsFancyButton& button)
{
    applyLook(button, ButtonLook::SecondColumn);
}

// A button owned by parent, with its object name, caption, place and size, hint and look.
TDsFancyButton* makeButton(ButtonLook look, QWidget* parent, const QString& objectName,
    const QString& caption, const QRect& geometry, const QString& hint = {});
inline TDsFancyButton* makeWindowButton(QWidget* parent, const QString& objectName, const QString& caption,
    const QRect& geometry, const QString& hint = {})
{
    return makeButton(ButtonLook::Window, parent, objectName, caption, geometry, hint);
}

} // namespace controls
