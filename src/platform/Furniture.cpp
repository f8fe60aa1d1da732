#include "platform/Furniture.h"

#include "controls/Colors.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPolygonF>
#include <QStyle>
#include <QTableView>
#include <QTextDocument>
#include <QtMath>

namespace platform::furniture {

namespace {

// The picture is one tile repeated over an area just big enough to cover the
// largest client area (742 x 390): start-up draws six prints, not forty, and
// keeps 200 KB of picture instead of 1.2 MB.
constexpr QSize tileSize { 256, 200 };
constexpr QSize backgroundSize { 768, 400 };

QPixmap makeBackground()
{
    struct Print {
        qreal x, y, size, angle;
    };
    // Placed by hand so that, tiled, the prints look scattered.
    static constexpr Print prints[] = {
        { 40, 38, 30, 20 },
        { 150, 24, 26, -35 },
        { 222, 96, 32, 60 },
        { 98, 112, 28, -10 },
        { 28, 166, 24, 45 },
        { 180, 170, 30, -60 },
    };
    QPixmap picture(tileSize);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(232, 232, 232));
    // A print crossing an edge goes on at the opposite one, so tiles join.
    for (const Print& print : prints) {
        for (int dy : { -tileSize.height(), 0, tileSize.height() })
            for (int dx : { -tileSize.width(), 0, tileSize.width() })
                drawPaw(p, QPointF(print.x + dx, print.y + dy), print.size, print.angle);
    }
    return picture;
}

QPolygonF octagon(QRectF box)
{
    QPolygonF shape;
    const QPointF c = box.center();
    const qreal r = box.width() / 2 / qCos(qDegreesToRadians(22.5));
    for (int i = 0; i < 8; ++i) {
        const qreal a = qDegreesToRadians(22.5 + 45.0 * i);
        shape << c + QPointF(r * qCos(a), r * qSin(a));
    }
    return shape;
}

QPainterPath handPath()
{
    // An open hand, palm towards the viewer, on a 32-unit grid.
    QPainterPath hand;
    hand.addRoundedRect(QRectF(10, 14, 12, 11), 3, 3);
    hand.addRoundedRect(QRectF(10, 6.5, 2.8, 10), 1.4, 1.4);
    hand.addRoundedRect(QRectF(13.2, 5, 2.8, 11), 1.4, 1.4);
    hand.addRoundedRect(QRectF(16.4, 5.5, 2.8, 11), 1.4, 1.4);
    hand.addRoundedRect(QRectF(19.4, 7.5, 2.6, 9), 1.3, 1.3);
    QPainterPath thumb;
    thumb.addRoundedRect(QRectF(0, 0, 3, 9), 1.5, 1.5);
    QTransform turn;
    turn.translate(6.5, 14.5);
    turn.rotate(-35);
    hand = hand.united(turn.map(thumb));
    return hand.simplified();
}

QPixmap makeStopSign()
{
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    const QPolygonF outer = octagon(QRectF(0.5, 0.5, 31, 31));
    p.setPen(QPen(QColor(96, 0, 0), 1));
    p.setBrush(Qt::white);
    p.drawPolygon(outer);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(210, 16, 16));
    p.drawPolygon(octagon(QRectF(2.5, 2.5, 27, 27)));
    const QPainterPath hand = handPath();
    // Raised: a dark shadow below right, the hand itself, a light edge above left.
    p.setBrush(QColor(90, 0, 0));
    p.drawPath(hand.translated(1, 1));
    p.setBrush(Qt::white);
    p.drawPath(hand);
    p.setPen(QPen(QColor(150, 150, 150), 0.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(hand);
    return picture;
}

} // namespace

void drawPaw(QPainter& p, QPointF centre, qreal size, qreal angle)
{
    p.save();
    p.translate(centre);
    p.rotate(angle);
    p.scale(size / 40.0, size / 40.0);
    // Main pad and four toes, drawn on a 40-unit grid.
    p.drawEllipse(QRectF(-11, -2, 22, 18));
    p.drawEllipse(QRectF(-19, -13, 9, 11));
    p.drawEllipse(QRectF(-9, -22, 9, 12));
    p.drawEllipse(QRectF(1, -22, 9, 12));
    p.drawEllipse(QRectF(11, -13, 9, 11));
    p.restore();
}

QFont font(const QString& face, int pixelSize, bool bold)
{
    QFont f(face);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

QFont windowFont(bool bold)
{
    return font(QStringLiteral("MS Sans Serif"), 11, bold);
}

const QPixmap& backgroundPicture()
{
    static const QPixmap picture = makeBackground();
    return picture;
}

const QPixmap& stopSignPicture()
{
    static const QPixmap picture = makeStopSign();
    return picture;
}

namespace {

class PictureArea : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override
    {
        const QRect place = QStyle::alignedRect(layoutDirection(), alignment(), backgroundSize, rect());
        QPainter(this).drawTiledPixmap(place, backgroundPicture());
    }
};

} // namespace

QLabel* addBackground(QWidget* window, QRect area, Qt::Alignment alignment)
{
    auto* image = new PictureArea(window);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(area.isEmpty() ? window->rect() : area);
    image->setAlignment(alignment);
    image->setAttribute(Qt::WA_TransparentForMouseEvents);
    image->lower();
    return image;
}

void setGround(QWidget* window, Ground ground)
{
    if (ground == Ground::ButtonFace) {
        window->setBackgroundRole(QPalette::Button);
    } else {
        QPalette white = window->palette();
        white.setColor(QPalette::Window, Qt::white);
        window->setPalette(white);
    }
    window->setAutoFillBackground(true);
}

QFrame* addSeparator(QWidget* window, int top, const QString& name)
{
    auto* band = new QFrame(window);
    band->setObjectName(name);
    band->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    band->setLineWidth(1);
    band->setGeometry(0, top, window->width(), 9);
    return band;
}

namespace {

// A right-aligned text ends where its last glyph's advance ends, which for
// the colon of every field label is a pixel after its ink: the text is drawn
// that much further right, so the ink itself ends at the label's edge.
// Looked at when painted, since the text may change at any time.
class FlushRight : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* label = event->type() == QEvent::Paint ? qobject_cast<QLabel*>(watched) : nullptr;
        if (!label || !(label->alignment() & Qt::AlignRight) || label->text().isEmpty())
            return false;
        const QString text = label->text();
        if (label->textFormat() == Qt::RichText
            || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text)))
            return false;
        const int bearing = label->fontMetrics().rightBearing(text.back());
        if (bearing <= 0)
            return false;
        QPainter painter(label);
        label->style()->drawItemText(&painter, label->contentsRect().adjusted(0, 0, bearing, 0),
            int(QStyle::visualAlignment(label->layoutDirection(), label->alignment())), label->palette(),
            label->isEnabled(), text, label->foregroundRole());
        return true;
    }
};

} // namespace

void styleFieldLabel(QLabel* label, LabelBack back)
{
    static FlushRight* const flushRight = new FlushRight(QCoreApplication::instance());
    label->installEventFilter(flushRight);
    label->setFont(windowFont(true));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, controls::clMaroon);
    palette.setColor(QPalette::Window, Qt::white);
    label->setPalette(palette);
    // On a button-face ground Qt would draw the text in the button-text colour.
    label->setForegroundRole(QPalette::WindowText);
    label->setBackgroundRole(QPalette::Window);
    label->setAutoFillBackground(back == LabelBack::White);
}

QLabel* addFieldLabel(
    QWidget* parent, const QString& text, int right, int top, LabelBack back, const QString& name)
{
    auto* label = new QLabel(text, parent);
    if (!name.isEmpty())
        label->setObjectName(name);
    styleFieldLabel(label, back);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label->adjustSize();
    label->move(right - label->width(), top);
    return label;
}

void styleBoundBox(QWidget* box)
{
    box->setFont(windowFont(true));
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, controls::kBoxBackground);
    palette.setColor(QPalette::Button, controls::kBoxBackground);
    box->setPalette(palette);
}

void styleGrid(QTableView* grid)
{
    grid->setShowGrid(true);
    QHeaderView* titles = grid->horizontalHeader();
    QFont bold = titles->font();
    bold.setBold(true);
    titles->setFont(bold);
    titles->setStyleSheet(QStringLiteral(
        "QHeaderView::section { background-color: %1; font-weight: bold;"
        " border: 0px; border-right: 1px solid gray; border-bottom: 1px solid gray; padding: 1px 2px; }")
                              .arg(controls::clSkyBlue.name()));
    // The current row stays marked when the grid loses the focus.
    QPalette palette = grid->palette();
    palette.setColor(
        QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
        palette.color(QPalette::Active, QPalette::HighlightedText));
    grid->setPalette(palette);
}

} // namespace platform::furniture
