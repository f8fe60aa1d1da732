// The fancy button's properties, pointer state machine and accelerator; painting is in
// FancyButtonPaint.cpp.
#include "controls/FancyButton.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainterPath>
#include <QPointer>

#include <algorithm>

TDsFancyButton::TDsFancyButton(QWidget* parent)
    : QWidget(parent)
    , m_effects(std::make_unique<TDsEffect>())
    , m_glyphs(std::make_unique<TDsGlyph>())
{
    // Windowless in spirit: no focus, no background of its own, pointer moves even with no button held.
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(false);
    setMouseTracking(true);
    resize(97, 25);
    m_effects->setOnEffectChange([this] { requestRepaint(); });
    m_glyphs->setOnGlyphChange([this] { requestRepaint(); });
}

// Members go in reverse order: the image strip with Glyphs first, then FancyEffects.
TDsFancyButton::~TDsFancyButton() = default;

void TDsFancyButton::setCaption(const QString& caption)
{
    m_caption = caption;
    requestRepaint();
}

QColor TDsFancyButton::resolve(const ColorSetting& setting) const
{
    if (const auto* fixed = std::get_if<QColor>(&setting))
        return *fixed;
    return controls::systemColor(std::get<controls::SystemColor>(setting), palette());
}

QColor TDsFancyButton::color() const
{
    return resolve(m_color);
}

void TDsFancyButton::setColor(const QColor& color)
{
    m_color = color;
    requestRepaint();
}

void TDsFancyButton::setColor(controls::SystemColor color)
{
    m_color = color;
    requestRepaint();
}

QColor TDsFancyButton::fontColor() const
{
    return resolve(m_fontColor);
}

void TDsFancyButton::setFontColor(const QColor& color)
{
    m_fontColor = color;
    requestRepaint();
}

void TDsFancyButton::setFontColor(controls::SystemColor color)
{
    m_fontColor = color;
    requestRepaint();
}

void TDsFancyButton::requestRepaint()
{
    update();
}

QColor TDsFancyButton::ShiftColor(const QColor& color, int delta)
{
    const auto shift = [delta](int channel) { return std::clamp(channel + delta, 0, 255); };
    return QColor(shift(color.red()), shift(color.green()), shift(color.blue()));
}

QColor TDsFancyButton::ShiftColor(controls::SystemColor color, int delta) const
{
    return ShiftColor(controls::systemColor(color, palette()), delta);
}

bool TDsFancyButton::PointInShape(int x, int y) const
{
    const QRectF area(0, 0, width(), height());
    QPainterPath shape;
    if (m_effects->shape() == btnOval) {
        shape.addEllipse(area);
    } else {
        const qreal radius = cornerSize() / 2.0;
        shape.addRoundedRect(area, radius, radius);
    }
    // A pixel belongs to the shape when its centre does, as for the aliased fills of the paint.
    return shape.contains(QPointF(x + 0.5, y + 0.5));
}

QChar TDsFancyButton::acceleratorOf(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != u'&')
            continue;
        if (caption.at(i + 1) == u'&') {
            ++i; // "&&" stands for a literal '&'
            continue;
        }
        return caption.at(i + 1);
    }
    return {};
}

bool TDsFancyButton::acceptsAccelerator(QChar c) const
{
    const QChar accel = acceleratorOf(m_caption);
    if (accel.isNull() || c.isNull() || !isEnabled() || !isVisible())
        return false;
    return accel.toCaseFolded() == c.toCaseFolded();
}

bool TDsFancyButton::offerAccelerator(QChar c)
{
    if (!acceptsAccelerator(c))
        return false;
    emit clicked();
    return true;
}

QSize TDsFancyButton::captionSize() const
{
    if (m_caption.isEmpty())
        return { 0, 0 };
    const QFontMetrics metrics(drawingFont());
    return { metrics.horizontalAdvance(m_caption), metrics.height() };
}

TDsFancyButton::Placement TDsFancyButton::computeLayout(
    TBmpLayout layout, QSize button, QSize image, QSize caption, int distance)
{
    // Integer division truncates toward zero, which is the halving the layout is defined with.
    const int W = button.width(), H = button.height();
    const int gw = image.width(), gh = image.height();
    const int tw = caption.width(), th = caption.height();
    const int D = distance;
    const int sideMargin = D + gw + tw < W ? (W - gw - D - tw) / 2 : 0;
    const int stackMargin = gh + D + th < H ? (H - gh - D - th) / 2 : 0;
    const int centredX = gw < W ? (W - gw) / 2 : 0;
    const int sideY = gh < H ? (H - gh) / 2 - 1 : 0;

    Placement p;
    switch (layout) {
    case lyLeft:
        p.image = { sideMargin, sideY };
        p.caption = { p.image.x() + gw + D, (H - th) / 2 - 1 };
        break;
    case lyRight:
        p.image = { W - gw - sideMargin, sideY };
        p.caption = { p.image.x() - tw - D, (H - th) / 2 - 1 };
        break;
    case lyTop:
        p.image = { centredX, gh + D + th < H ? stackMargin - 1 : 0 };
        p.caption = { (W - tw) / 2, p.image.y() + gh + D };
        break;
    case lyBottom:
        p.image = { centredX, H - gh - stackMargin };
        p.caption = { (W - tw) / 2, p.image.y() - D - th };
        break;
    case lyCenter:
        p.image = { centredX, gh < H ? (H - gh) / 2 : 0 };
        p.caption = { (W - tw) / 2, (H - th) / 2 };
        break;
    }
    return p;
}

void TDsFancyButton::trackPointer(QPoint pos)
{
    if (m_down)
        return;
    if (PointInShape(pos.x(), pos.y())) {
        m_hot = true;
        if (m_stateImage != 4) {
            m_stateImage = 4;
            requestRepaint();
        }
    } else {
        m_hot = false;
        if (m_stateImage != 1) {
            m_stateImage = 1;
            requestRepaint();
        }
    }
}

void TDsFancyButton::pointerLeft()
{
    m_stateImage = isEnabled() ? 1 : 2;
    m_hot = false;
    m_down = false;
    requestRepaint();
}

void TDsFancyButton::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    emit mouseMoved(event->modifiers(), pos);
    trackPointer(pos);
    if (rect().contains(pos)) {
        m_leftWhileHeld = false;
    } else if (event->buttons() != Qt::NoButton && !m_leftWhileHeld) {
        // Dragged off the button with a mouse button held: this is where the pointer leaves it.
        m_leftWhileHeld = true;
        pointerLeft();
    }
}

void TDsFancyButton::press(QMouseEvent* event)
{
    emit mousePressed(event->button(), event->modifiers(), event->position().toPoint());
    // The pointer may arrive with no move at all (tap-to-click, a tablet, a remote desktop, a modal
    // window closing under a resting pointer): a press over the shape counts as being over it.
    trackPointer(event->position().toPoint());
    if (event->button() == Qt::RightButton || !m_hot)
        return;
    m_down = true;
    m_stateImage = 3;
    requestRepaint();
}

void TDsFancyButton::mousePressEvent(QMouseEvent* event)
{
    press(event);
}

// The button takes no double clicks as such: the second press is an ordinary one, so a double
// click gives two clicks.
void TDsFancyButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    press(event);
}

void TDsFancyButton::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseReleased(event->button(), event->modifiers(), event->position().toPoint());
    if (event->button() == Qt::RightButton || !m_hot)
        return;
    // The button stays down while the click handler runs (it may show a modal window), and the
    // handler may even destroy the button.
    const QPointer<TDsFancyButton> self(this);
    emit clicked();
    if (!self)
        return;
    m_down = false;
    requestRepaint();
}

// Qt sends no pointer move when a button appears under a resting pointer (a modal window closing,
// say); taking the entry point as a move gives the hot look the desktop user expects.
void TDsFancyButton::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    m_leftWhileHeld = false;
    if (isEnabled()) // Qt still sends enter events to a disabled widget; it takes no pointer input
        trackPointer(event->position().toPoint());
}

void TDsFancyButton::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (m_leftWhileHeld) {
        m_leftWhileHeld = false;
        return;
    }
    pointerLeft();
}

void TDsFancyButton::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        m_stateImage = isEnabled() ? 1 : 2;
        requestRepaint();
    }
}
