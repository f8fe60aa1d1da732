// The settings objects of the fancy button: its effects (frame, shape, caption relief) and its
// image strip, with the enumerations that name their values. Every assignment notifies the owner.
#pragma once

#include <QColor>
#include <QImage>

#include <functional>

// The ordinal values are part of the control's interface: keep them.
enum TFrameStyle { fmNone = 0, fmGradient = 1 };
enum TBtnShape { btnCapsule = 0, btnOval = 1, btnRectangle = 2 };
enum TTextStyle { txPlain = 0, txLowered = 1, txRaised = 2, txShadowed = 3 };
enum TGlyphStyle { gsNormal = 0, gsRaised = 1, gsLowered = 2 };
enum TBmpLayout { lyLeft = 0, lyTop = 1, lyRight = 2, lyBottom = 3, lyCenter = 4 };

// Frame, shape and caption relief of a fancy button.
class TDsEffect {
public:
    static constexpr int MinFrameWidth = 3;
    static constexpr int MaxFrameWidth = 14;
    static constexpr int MaxCornerRadius = 145;

    TFrameStyle frameStyle() const { return m_frameStyle; }
    int frameWidth() const { return m_frameWidth; }
    QColor hoverColor() const { return m_hoverColor; }
    TBtnShape shape() const { return m_shape; }
    int cornerRadius() const { return m_cornerRadius; }
    TTextStyle textStyle() const { return m_textStyle; }

    // Each setter stores the value (clamped where said) and then notifies, even when nothing changed.
    void setFrameStyle(TFrameStyle value);
    void setFrameWidth(int value); // clamped to 3..14
    void setHoverColor(const QColor& value);
    void setShape(TBtnShape value);
    void setCornerRadius(int value); // clamped to 0..145
    void setTextStyle(TTextStyle value);

    void setOnEffectChange(std::function<void()> handler) { m_onEffectChange = std::move(handler); }

private:
    void changed();

    TFrameStyle m_frameStyle = fmGradient;
    int m_frameWidth = 6;
    QColor m_hoverColor { 0, 0, 255 };
    TBtnShape m_shape = btnRectangle;
    int m_cornerRadius = 3;
    TTextStyle m_textStyle = txLowered;
    std::function<void()> m_onEffectChange;
};

// The image strip of a fancy button: up to four images of equal width side by side,
// from the left normal, disabled, down and hot.
class TDsGlyph {
public:
    static constexpr int MaxNumber = 4;

    const QImage& glyph() const { return m_glyph; }
    TGlyphStyle glyphStyle() const { return m_glyphStyle; }
    TBmpLayout layout() const { return m_layout; }
    int number() const { return m_number; }
    int distance() const { return m_distance; }

    // Width of one image of the strip; 0 when there is no usable image.
    int imageWidth() const { return m_glyph.isNull() ? 0 : m_glyph.width() / m_number; }

    void setGlyph(const QImage& value); // copied into the object's own image
    void setGlyphStyle(TGlyphStyle value);
    void setLayout(TBmpLayout value);
    void setNumber(int value); // clamped to 1..4
    void setDistance(int value); // negative becomes 0

    void setOnGlyphChange(std::function<void()> handler) { m_onGlyphChange = std::move(handler); }

private:
    void changed();

    QImage m_glyph;
    TGlyphStyle m_glyphStyle = gsNormal;
    TBmpLayout m_layout = lyLeft;
    int m_number = 1;
    int m_distance = 0;
    std::function<void()> m_onGlyphChange;
};
