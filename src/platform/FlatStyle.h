// The flat skin of the standard controls while the main window exists: one-pixel
// borders tinted under the pointer or with the focus, flat lists and menus.
#pragma once

#include <QProxyStyle>

namespace platform {

class FlatStyle : public QProxyStyle {
    Q_OBJECT
public:
    // Draws over `base` (owned); by default a fresh copy of the current style.
    explicit FlatStyle(QStyle* base = nullptr);

    // Border of a box at rest, and while the pointer is over it or it has the focus.
    static QColor borderColor();
    static QColor tintColor();
    // The band behind the icons of a menu.
    static QColor iconColumnColor();
    static constexpr int kIconColumn = 24;

    void polish(QWidget* widget) override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
        const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
        QStyleHintReturn* returnData) const override;
};

namespace skin {

// Switched on by the main window's creation and off by its closing; both may
// run more than once.
void switchOn();
void switchOff();
bool isOn();

} // namespace skin

} // namespace platform
