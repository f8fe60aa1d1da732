#include "platform/FlatStyle.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOption>

namespace platform {

namespace {

bool tinted(const QStyleOption* option)
{
    return (option->state & QStyle::State_Enabled)
        && (option->state & (QStyle::State_MouseOver | QStyle::State_HasFocus | QStyle::State_On));
}

// A one-pixel border just inside `rect`.
void drawBorder(QPainter* painter, const QRect& rect, const QColor& color)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(color);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
    painter->restore();
}

QStyle* freshCopyOf(const QStyle* style)
{
    QStyle* copy = style ? QStyleFactory::create(style->name()) : nullptr;
    return copy ? copy : QStyleFactory::create(QStringLiteral("Fusion"));
}

void drawCheckIndicator(QPainter* painter, const QStyleOption* option)
{
    const QRect box = option->rect.adjusted(0, 0, -1, -1);
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    const bool noValue = option->state & QStyle::State_NoChange;
    const bool enabled = option->state & QStyle::State_Enabled;
    const bool focused = enabled && (option->state & QStyle::State_HasFocus);
    // Grey without a value: a light ground with a short grey bar, which reads
    // as neither ticked nor unticked.
    painter->fillRect(option->rect, noValue ? QColor(224, 224, 224) : option->palette.color(QPalette::Base));
    // Not tinted for being ticked: the tint must tell where the focus is.
    const bool tint = focused || (enabled && (option->state & QStyle::State_MouseOver));
    painter->setPen(tint ? FlatStyle::tintColor() : FlatStyle::borderColor());
    painter->drawRect(box);
    // A box has no room for a focus rectangle: the focused one gets a double
    // border, which the pointer over another box never gives.
    if (focused)
        painter->drawRect(box.adjusted(1, 1, -1, -1));
    if (noValue) {
        const int y = box.center().y();
        painter->fillRect(QRect(box.left() + 3, y - 1, box.width() - 5, 2), QColor(150, 150, 150));
    } else if (option->state & QStyle::State_On) {
        painter->setRenderHint(QPainter::Antialiasing, true);
        QPen pen(option->palette.color(QPalette::Text), 2);
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        painter->setPen(pen);
        const QRectF r = QRectF(box).adjusted(3, 3, -3, -3);
        const QPointF tick[] = { { r.left(), r.center().y() }, { r.left() + r.width() * 0.4, r.bottom() },
            { r.right(), r.top() } };
        painter->drawPolyline(tick, 3);
    }
    painter->restore();
}

QPointer<QStyle> installed;
QString baseName;

} // namespace

FlatStyle::FlatStyle(QStyle* base)
    : QProxyStyle(base ? base : freshCopyOf(QApplication::style()))
{
}

QColor FlatStyle::borderColor()
{
    return QColor(127, 157, 185);
}

QColor FlatStyle::tintColor()
{
    return QColor(0, 0, 128);
}

QColor FlatStyle::iconColumnColor()
{
    return QColor(221, 232, 246);
}

void FlatStyle::polish(QWidget* widget)
{
    QProxyStyle::polish(widget);
    // The tint follows the pointer, which Qt only reports to widgets that ask.
    if (qobject_cast<QLineEdit*>(widget) || qobject_cast<QComboBox*>(widget)
        || qobject_cast<QAbstractButton*>(widget) || qobject_cast<QAbstractSpinBox*>(widget))
        widget->setAttribute(Qt::WA_Hover);
}

void FlatStyle::drawPrimitive(
    PrimitiveElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const
{
    switch (element) {
    case PE_PanelLineEdit:
        painter->fillRect(option->rect, option->palette.color(QPalette::Base));
        if (const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
            frame && frame->lineWidth > 0)
            drawBorder(painter, option->rect, tinted(option) ? tintColor() : borderColor());
        return;
    case PE_FrameLineEdit:
        drawBorder(painter, option->rect, tinted(option) ? tintColor() : borderColor());
        return;
    case PE_IndicatorCheckBox:
        drawCheckIndicator(painter, option);
        return;
    case PE_Frame:
        // Grids and lists: a one-pixel border on all four sides. The relief
        // below would draw its light right and bottom sides white, unseen on
        // a white window, leaving a lone left line.
        if (qobject_cast<const QAbstractScrollArea*>(widget)) {
            drawBorder(painter, option->rect, borderColor());
            return;
        }
        [[fallthrough]];
    case PE_FrameGroupBox: {
        // Panels keep their relief in one pixel: dark above and left when lowered.
        const QRect r = option->rect.adjusted(0, 0, -1, -1);
        const QColor dark = option->palette.color(QPalette::Mid);
        const QColor light = option->palette.color(QPalette::Light);
        const bool sunken = option->state & State_Sunken;
        const bool raised = option->state & State_Raised;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(raised ? light : dark);
        painter->drawLine(r.topLeft(), r.topRight());
        painter->drawLine(r.topLeft(), r.bottomLeft());
        painter->setPen(sunken ? light : dark);
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        painter->drawLine(r.topRight(), r.bottomRight());
        painter->restore();
        return;
    }
    case PE_PanelButtonTool:
    case PE_PanelButtonCommand:
    case PE_PanelButtonBevel: {
        const bool down = option->state & (State_Sunken | State_On);
        const QColor face = option->palette.color(QPalette::Button);
        painter->fillRect(
            option->rect, down ? face.darker(110) : (tinted(option) ? face.lighter(106) : face));
        drawBorder(painter, option->rect, tinted(option) ? tintColor() : borderColor());
        return;
    }
    case PE_PanelMenu:
        painter->fillRect(option->rect, option->palette.color(QPalette::Base));
        painter->fillRect(QRect(option->rect.left(), option->rect.top(), kIconColumn, option->rect.height()),
            iconColumnColor());
        return;
    case PE_FrameMenu:
        drawBorder(painter, option->rect, borderColor());
        return;
    case PE_FrameFocusRect:
        // The tinted border already shows the focus.
        if (qobject_cast<const QAbstractButton*>(widget))
            return;
        break;
    default:
        break;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void FlatStyle::drawControl(
    ControlElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const
{
    if (element == CE_MenuItem) {
        if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
            QStyleOptionMenuItem plain = *item;
            if ((item->state & State_Selected) && (item->state & State_Enabled)
                && item->menuItemType != QStyleOptionMenuItem::Separator) {
                painter->fillRect(item->rect, QColor(196, 219, 244));
                drawBorder(painter, item->rect, tintColor());
                plain.state &= ~State_Selected;
            }
            // The text on our own flat ground, in the menu's text colour.
            plain.palette.setColor(QPalette::Window, Qt::transparent);
            plain.palette.setColor(QPalette::Button, Qt::transparent);
            QProxyStyle::drawControl(element, &plain, painter, widget);
            return;
        }
    }
    if (element == CE_MenuEmptyArea || element == CE_MenuBarEmptyArea)
        return;
    QProxyStyle::drawControl(element, option, painter, widget);
}

void FlatStyle::drawComplexControl(
    ComplexControl control, const QStyleOptionComplex* option, QPainter* painter, const QWidget* widget) const
{
    if (control == CC_ComboBox) {
        if (const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option)) {
            // The box's own ground (the bound boxes' light blue), no gradient.
            painter->fillRect(combo->rect, combo->palette.color(QPalette::Base));
            const QColor line = tinted(option) ? tintColor() : borderColor();
            const QRect arrow = subControlRect(CC_ComboBox, combo, SC_ComboBoxArrow, widget);
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing, false);
            if (combo->state & (State_MouseOver | State_On))
                painter->fillRect(arrow, iconColumnColor());
            painter->setPen(line);
            painter->drawLine(arrow.topLeft(), arrow.bottomLeft());
            // A small solid triangle pointing down.
            const QPoint c = arrow.center();
            const QPoint triangle[]
                = { { c.x() - 3, c.y() - 1 }, { c.x() + 3, c.y() - 1 }, { c.x(), c.y() + 2 } };
            painter->setRenderHint(QPainter::Antialiasing, true);
            painter->setPen(Qt::NoPen);
            painter->setBrush(combo->palette.color(
                combo->state & State_Enabled ? QPalette::Active : QPalette::Disabled, QPalette::Text));
            painter->drawPolygon(triangle, 3);
            painter->restore();
            drawBorder(painter, combo->rect, line);
            return;
        }
    }
    QProxyStyle::drawComplexControl(control, option, painter, widget);
}

int FlatStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    switch (metric) {
    case PM_DefaultFrameWidth:
    case PM_MenuPanelWidth:
    case PM_ComboBoxFrameWidth:
        return 1;
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
        return 13;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

int FlatStyle::styleHint(
    StyleHint hint, const QStyleOption* option, const QWidget* widget, QStyleHintReturn* returnData) const
{
    switch (hint) {
    case SH_ComboBox_Popup:
        // A plain list on the box's ground, not a grey menu.
        return 0;
    case SH_ComboBox_PopupFrameStyle:
        return int(QFrame::Box) | int(QFrame::Plain);
    default:
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
}

namespace skin {

void switchOn()
{
    if (isOn())
        return;
    baseName = QApplication::style()->name();
    auto* style = new FlatStyle(freshCopyOf(QApplication::style()));
    installed = style;
    QApplication::setStyle(style); // the application owns it from here
}

void switchOff()
{
    if (!isOn())
        return;
    installed = nullptr;
    QStyle* plain = QStyleFactory::create(baseName);
    QApplication::setStyle(plain ? plain : QStyleFactory::create(QStringLiteral("Fusion")));
}

bool isOn()
{
    return installed && QApplication::style() == installed.data();
}

} // namespace skin

} // namespace platform
