// The standard look shared by every window: background picture, separator
// band, field labels, bound box and grid looks, the stop sign of the delete dialog.
#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QPointF>
#include <QRect>
#include <QString>

class QFrame;
class QLabel;
class QTableView;
class QWidget;

class QPainter;

namespace platform::furniture {

// A font by face name and pixel height.
QFont font(const QString& face, int pixelSize, bool bold = false);
// "MS Sans Serif", 11 px (8 pt): the windows' own font.
QFont windowFont(bool bold = false);

// One paw print (pad and four toes) of `size` pixels centred at `centre`,
// turned by `angle` degrees, in the painter's pen and brush.
void drawPaw(QPainter& p, QPointF centre, qreal size, qreal angle);

// A tile of light grey paw prints scattered on white, made once and cached;
// picture areas repeat it over a 768 x 400 picture.
const QPixmap& backgroundPicture();
// A 32 x 32 stop sign: a raised open hand on a red octagon.
const QPixmap& stopSignPicture();

// The picture area `Image1` behind every control: `area` (the client area
// when empty) with the picture placed by `alignment` inside it. The picture
// is drawn at the first paint, not when the window is built, so start-up
// does not pay for it.
QLabel* addBackground(QWidget* window, QRect area = {}, Qt::Alignment alignment = Qt::AlignCenter);

// The lowered band, 9 px high, across the whole width at `top`.
QFrame* addSeparator(QWidget* window, int top, const QString& name = QStringLiteral("Bevel1"));

// A window's ground: white, or the desktop's button face.
enum class Ground { White, ButtonFace };
void setGround(QWidget* window, Ground ground);

enum class LabelBack { Transparent, White };
// A field label in bold maroon whose text ends at `right`, its top at `top`.
QLabel* addFieldLabel(QWidget* parent, const QString& text, int right, int top,
    LabelBack back = LabelBack::Transparent, const QString& name = {});
// Gives an existing label the field label look.
void styleFieldLabel(QLabel* label, LabelBack back = LabelBack::Transparent);

// Light blue background, bold 11 px: the look of every bound box.
void styleBoundBox(QWidget* box);
// Bold titles on sky blue, row and column lines.
void styleGrid(QTableView* grid);

} // namespace platform::furniture
