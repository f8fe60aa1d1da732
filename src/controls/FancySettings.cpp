// Assignment rules of the fancy button's settings objects.
#include "controls/FancySettings.h"

#include <algorithm>

void TDsEffect::changed()
{
    if (m_onEffectChange)
        m_onEffectChange();
}

void TDsEffect::setFrameStyle(TFrameStyle value)
{
    m_frameStyle = value;
    changed();
}

void TDsEffect::setFrameWidth(int value)
{
    m_frameWidth = std::clamp(value, MinFrameWidth, MaxFrameWidth);
    changed();
}

void TDsEffect::setHoverColor(const QColor& value)
{
    m_hoverColor = value;
    changed();
}

void TDsEffect::setShape(TBtnShape value)
{
    m_shape = value;
    changed();
}

void TDsEffect::setCornerRadius(int value)
{
    m_cornerRadius = std::clamp(value, 0, MaxCornerRadius);
    changed();
}

void TDsEffect::setTextStyle(TTextStyle value)
{
    m_textStyle = value;
    changed();
}

void TDsGlyph::changed()
{
    if (m_onGlyphChange)
        m_onGlyphChange();
}

void TDsGlyph::setGlyph(const QImage& value)
{
    // A deep copy in one known format, so later changes to the caller's image never reach the
    // button and the paint can compare pixels directly.
    m_glyph = value.isNull() ? QImage() : value.convertToFormat(QImage::Format_ARGB32);
    m_glyph.detach();
    changed();
}

void TDsGlyph::setGlyphStyle(TGlyphStyle value)
{
    m_glyphStyle = value;
    changed();
}

void TDsGlyph::setLayout(TBmpLayout value)
{
    m_layout = value;
    changed();
}

void TDsGlyph::setNumber(int value)
{
    m_number = std::clamp(value, 1, MaxNumber);
    changed();
}

void TDsGlyph::setDistance(int value)
{
    m_distance = std::max(value, 0);
    changed();
}
