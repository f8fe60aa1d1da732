// Painting of the fancy button: background shape, gradient rings, inner line, image strip with
// its relief, and the caption with its relief. All aliased, so every colour lands on whole pixels.
#include "controls/FancyButton.h"
#include "controls/Fonts.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// The area of a shape in the rectangle (l, t, r, b), right and bottom excluded: an aliased fill
// paints exactly the pixels whose centres lie inside it.
QPainterPath shapeArea(const QRect& box, TBtnShape shape, int corner)
{
    QPainterPath path;
    const QRectF area(box.left(), box.top(), box.width(), box.height());
    if (area.isEmpty())
        return path;
    if (shape == btnOval)
        path.addEllipse(area);
    else if (corner > 0)
        path.addRoundedRect(area, corner / 2.0, corner / 2.0);
    else
        path.addRect(area);
    return path;
}

// Rectangle from its left, top, right and bottom, right and bottom excluded.
QRect edges(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

QRgb rgbOf(QRgb pixel)
{
    return pixel & RGB_MASK;
}

// The image with every pixel of the transparent colour left undrawn.
void drawTransparent(QPainter& painter, QPoint at, const QImage& image, QRgb transparent)
{
    QImage masked = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < masked.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x) {
            if (rgbOf(line[x]) == transparent)
                line[x] = 0;
        }
    }
    painter.drawImage(at, masked);
}

} // namespace

QFont TDsFancyButton::drawingFont() const
{
    // Aliased text too: the caption and its relief are solid pixels of their exact colours.
    QFont f = font();
    f.setStyleStrategy(QFont::NoAntialias);
    return controls::withoutFallbacksFor(f, m_caption);
}

int TDsFancyButton::cornerSize() const
{
    if (m_effects->shape() == btnCapsule)
        return std::min(width(), height());
    return 2 * m_effects->cornerRadius();
}

void TDsFancyButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);

    const QImage& strip = m_glyphs->glyph();
    m_imageWidth = m_glyphs->imageWidth();
    painter.setFont(drawingFont());
    const QColor face = color();

    if (m_effects->frameStyle() == fmGradient)
        paintBackground(painter, face);
    painter.setBrush(Qt::NoBrush);
    if (m_effects->frameStyle() == fmGradient)
        paintFrame(painter, face);

    const QSize textSize = captionSize();
    const Placement place = computeLayout(
        m_glyphs->layout(), size(), QSize(m_imageWidth, strip.height()), textSize, m_glyphs->distance());
    m_imagePos = place.image;
    m_captionPos = place.caption;

    if (m_imageWidth > 0)
        paintImage(painter, face, m_imageWidth);
    paintCaption(painter, face, textSize);
}

void TDsFancyButton::paintBackground(QPainter& painter, const QColor& face) const
{
    const int W = width(), H = height();
    const TBtnShape shape = m_effects->shape();
    const int corner = cornerSize();
    painter.setPen(Qt::NoPen);
    if (!m_down) {
        painter.fillPath(shapeArea(edges(0, 0, W - 1, H - 1), shape, corner), face);
        return;
    }
    // Down: a one-pixel outline in one colour around a darker fill.
    painter.fillPath(shapeArea(edges(0, 0, W - 1, H - 1), shape, corner), ShiftColor(face, -5));
    painter.fillPath(
        shapeArea(edges(1, 1, W - 2, H - 2), shape, std::max(corner - 2, 0)), ShiftColor(face, -65));
}

void TDsFancyButton::paintFrame(QPainter& painter, const QColor& face) const
{
    const int W = width(), H = height();
    const int fw = m_effects->frameWidth();
    const TBtnShape shape = m_effects->shape();
    const int corner = cornerSize();
    const QColor base = m_down ? face : (m_hot ? ShiftColor(face, 10) : face);
    const QColor dark = ShiftColor(base, -80);
    const int o = m_down ? 2 : 0;

    // One ring per pixel of frame width, each filled over the previous one, its colour following
    // a circular profile from dark at the edge to the base colour inside.
    for (int i = 0; i < fw; ++i) {
        if (m_down && i > fw / 3)
            break;
        const double t = std::sqrt(double(fw * fw - (fw - i) * (fw - i))) / fw;
        const auto channel = [t](int b, int d) { return d + int(std::lround((b - d) * t)); };
        const QColor ring(channel(base.red(), dark.red()), channel(base.green(), dark.green()),
            channel(base.blue(), dark.blue()));
        const QRect area = edges(i + 1 + o, i + 1 + o, W - i - 1 + o, H - i - 1 + o);
        const int ringCorner = shape == btnOval ? 0 : std::max(corner - 2 * i, 0);
        painter.fillPath(shapeArea(area, shape, ringCorner), ring);
    }

    // The thin darker line inside the upper-left edge, never shifted.
    int rx = 0, ry = 0;
    if (shape == btnOval) {
        rx = W / 2;
        ry = H / 2;
    } else if (shape == btnCapsule) {
        rx = ry = std::min(W, H) / 2;
    } else {
        rx = ry = m_effects->cornerRadius();
    }
    const QColor line = ShiftColor(face, m_down ? -10 : -15);
    if (rx > 0 && ry > 0) {
        // Qt's aliased 1-pixel arc covers its rectangle's right and bottom edges as well, hence the
        // rectangle one pixel smaller than the ellipse's pixel extent (2 .. 2·r+1).
        painter.setPen(QPen(line, 1));
        painter.drawArc(QRect(2, 2, 2 * rx - 1, 2 * ry - 1), 90 * 16, 90 * 16);
        painter.setPen(Qt::NoPen);
    }
    if (H - ry - 1 > ry + 1)
        painter.fillRect(edges(2, ry + 1, 3, H - ry - 1), line);
    if (W - rx - 1 > rx + 1)
        painter.fillRect(edges(rx + 1, 2, W - rx - 1, 3), line);
}

void TDsFancyButton::paintImage(QPainter& painter, const QColor& face, int gw)
{
    const QImage& strip = m_glyphs->glyph();
    const int gh = strip.height();
    if (m_stateImage > m_glyphs->number())
        m_stateImage = 1;
    const int k = m_stateImage;
    QPoint corner = m_imagePos;
    if (m_down)
        corner += QPoint(1, 1);

    const QImage work = strip.copy((k - 1) * gw, 0, gw, gh);
    const QRgb comparison = rgbOf(work.pixel(0, gh - 1));

    const TGlyphStyle style = m_glyphs->glyphStyle();
    if (m_down || style != gsNormal) {
        // The silhouette comes from the strip's first image, the comparison colour from the image shown.
        QColor first, second;
        if (m_down) {
            first = ShiftColor(face, -50);
            second = ShiftColor(face, 20);
        } else if (style == gsRaised) {
            first = ShiftColor(face, 20);
            second = ShiftColor(face, -50);
        } else {
            first = ShiftColor(face, -30);
            second = ShiftColor(face, 25);
        }
        QImage relief = work.convertToFormat(QImage::Format_ARGB32);
        const std::pair<QColor, QPoint> passes[] = { { first, QPoint(-1, -1) }, { second, QPoint(1, 1) } };
        for (const auto& [passColor, offset] : passes) {
            const QRgb value = passColor.rgb();
            for (int y = 0; y < gh; ++y) {
                for (int x = 0; x < gw; ++x) {
                    if (rgbOf(strip.pixel(x, y)) != comparison)
                        relief.setPixel(x, y, value);
                }
            }
            drawTransparent(painter, corner + offset, relief, rgbOf(relief.pixel(0, gh - 1)));
        }
    }

    drawTransparent(painter, corner, work, rgbOf(strip.pixel(0, gh - 1)));
}

void TDsFancyButton::paintCaption(QPainter& painter, const QColor& face, QSize textSize) const
{
    if (m_caption.isEmpty())
        return;
    const QRect rect(m_captionPos, textSize);
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine | Qt::TextShowMnemonic;
    const auto drawAt = [&](const QColor& colour, QPoint offset) {
        const QRect moved = rect.translated(offset);
        painter.save();
        painter.setClipRect(moved, Qt::IntersectClip);
        painter.setPen(colour);
        painter.drawText(moved, flags, m_caption);
        painter.restore();
    };

    const TTextStyle style = m_effects->textStyle();
    switch (style) {
    case txPlain:
        break;
    case txLowered:
        drawAt(ShiftColor(face, 25), m_down ? QPoint(2, 2) : QPoint(1, 1));
        break;
    case txRaised:
        drawAt(ShiftColor(face, 25), m_down ? QPoint(0, 0) : QPoint(-1, -1));
        break;
    case txShadowed:
        drawAt(ShiftColor(face, -50), m_down ? QPoint(3, 3) : QPoint(2, 2));
        break;
    }

    QColor text;
    if (!isEnabled())
        text = ShiftColor(
            style == txShadowed ? controls::SystemColor::BtnFace : controls::SystemColor::BtnShadow, 0);
    else if (m_hot && !m_down)
        text = m_effects->hoverColor();
    else
        text = fontColor();
    drawAt(text, m_down ? QPoint(1, 1) : QPoint(0, 0));
}
