// Test helpers for the fancy button: a shown window holding one button, and rendering a button
// onto a sentinel colour so unpainted pixels can be told apart.
#pragma once

#include "controls/ButtonLook.h"
#include "controls/FancyButton.h"
#include "controls/Fonts.h"

#include <QCursor>
#include <QImage>
#include <QTest>
#include <QWidget>

#include <memory>

namespace testhelpers {

// A colour no part of the button paints.
inline constexpr QColor kSentinel { 1, 2, 3 };

// A button that counts the repaints its rules ask for.
class CountingButton : public TDsFancyButton {
public:
    using TDsFancyButton::TDsFancyButton;
    int repaints = 0;

protected:
    void requestRepaint() override
    {
        ++repaints;
        TDsFancyButton::requestRepaint();
    }
};

// The button alone, drawn without any background over the sentinel colour.
inline QImage render(TDsFancyButton& button)
{
    QImage image(button.size(), QImage::Format_ARGB32);
    image.fill(kSentinel);
    button.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

inline QColor at(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y)).toRgb();
}

// A shown window with one button in the standard window look at (10, 10), 113 × 30, no caption.
struct ButtonHost {
    QWidget window;
    CountingButton* button = nullptr;

    explicit ButtonHost(QSize size = { 113, 30 })
    {
        controls::installFontSubstitutions();
        // Keep the pointer away from where the window appears, or the button starts out hot.
        QCursor::setPos(QPoint(0, 0));
        window.setGeometry(100, 100, size.width() + 40, size.height() + 40);
        button = new CountingButton(&window);
        controls::applyWindowLook(*button);
        button->setGeometry(QRect(QPoint(10, 10), size));
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    QPoint centre() const { return button->rect().center(); }
};

} // namespace testhelpers
