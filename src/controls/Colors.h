// The named colours of the system's windows, in one place, so every window shares the same look.
// Fixed colours are RGB constants; system colours follow the desktop through the palette.
#pragma once

#include <QColor>
#include <QPalette>

namespace controls {

// The classic sixteen colours and the two extras the windows use, by the names the windows give them.
inline constexpr QColor clBlack { 0, 0, 0 };
inline constexpr QColor clMaroon { 128, 0, 0 };
inline constexpr QColor clGreen { 0, 128, 0 };
inline constexpr QColor clOlive { 128, 128, 0 };
inline constexpr QColor clNavy { 0, 0, 128 };
inline constexpr QColor clPurple { 128, 0, 128 };
inline constexpr QColor clTeal { 0, 128, 128 };
inline constexpr QColor clGray { 128, 128, 128 };
inline constexpr QColor clSilver { 192, 192, 192 };
inline constexpr QColor clRed { 255, 0, 0 };
inline constexpr QColor clLime { 0, 255, 0 };
inline constexpr QColor clYellow { 255, 255, 0 };
inline constexpr QColor clBlue { 0, 0, 255 };
inline constexpr QColor clFuchsia { 255, 0, 255 };
inline constexpr QColor clAqua { 0, 255, 255 };
inline constexpr QColor clWhite { 255, 255, 255 };
inline constexpr QColor clMoneyGreen { 192, 220, 192 };
inline constexpr QColor clSkyBlue { 166, 202, 240 };
inline constexpr QColor clCream { 255, 251, 240 };
inline constexpr QColor clMedGray { 160, 160, 164 };

// Background of the bound text boxes, lists and check boxes: a light blue.
inline constexpr QColor kBoxBackground { 196, 219, 244 };

// Desktop colours, resolved when used so they follow the desktop's settings.
enum class SystemColor {
    BtnFace, // button face
    BtnShadow, // button shadow
    WindowText, // text of windows and labels
    Window, // window background
    ActiveCaption, // active title bar
    Highlight, // selection background
};

// The current value of a system colour in the given palette (the active colour group).
QColor systemColor(SystemColor which, const QPalette& palette);

} // namespace controls
