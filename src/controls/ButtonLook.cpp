// The standard button looks, set in one place so no window repeats them.
#include "controls/ButtonLook.h"

#include "controls/Colors.h"
#include "controls/Fonts.h"

namespace controls {

void applyLook(TDsFancyButton& button, ButtonLook look)
{
    const bool window = look == ButtonLook::Window;
    button.setColor(look == ButtonLook::MainMenu ? clMoneyGreen : clSkyBlue);
    button.setFont(makeFont(QString::fromLatin1(kTimesFace), window ? 16 : 21, true, !window));
    button.setFontColor(clNavy);

    TDsEffect& effects = button.FancyEffects();
    effects.setFrameStyle(fmGradient);
    effects.setFrameWidth(6);
    effects.setHoverColor(clBlue);
    effects.setShape(btnRectangle);
    effects.setCornerRadius(5);
    effects.setTextStyle(txLowered);

    TDsGlyph& glyphs = button.Glyphs();
    glyphs.setGlyph(QImage());
    glyphs.setGlyphStyle(gsNormal);
    glyphs.setLayout(lyLeft);
    glyphs.setNumber(1);
    glyphs.setDistance(0);

    button.setCursor(Qt::PointingHandCursor);
}

TDsFancyButton* makeButton(ButtonLook look, QWidget* parent, const QString& objectName,
    const QString& caption, const QRect& geometry, const QString& hint)
{
    auto* button = new TDsFancyButton(parent); // owned by parent
    button->setObjectName(objectName);
    button->setCaption(caption);
    button->setGeometry(geometry);
    button->setToolTip(hint);
    applyLook(*button, look);
    return button;
}

} // namespace controls
