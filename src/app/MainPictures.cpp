#include "app/MainPictures.h"

#include "controls/Colors.h"
#include "controls/Fonts.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QResource>

#include <cstring>

namespace app::pictures {

namespace {

const QColor kInk { 0, 0, 128 }; // navy, as the buttons' captions
const QColor kPawBrown { 150, 96, 52 };

// A paw print on a 40-unit grid: the main pad and four toes.
void drawPaw(QPainter& p, QPointF centre, qreal size, qreal angle)
{
    p.save();
    p.translate(centre);
    p.rotate(angle);
    p.scale(size / 40.0, size / 40.0);
    QPainterPath pad;
    pad.moveTo(0, -2);
    pad.cubicTo(8, -2, 14, 8, 13, 13);
    pad.cubicTo(12, 18, 5, 17, 0, 16);
    pad.cubicTo(-5, 17, -12, 18, -13, 13);
    pad.cubicTo(-14, 8, -8, -2, 0, -2);
    p.drawPath(pad);
    p.drawEllipse(QRectF(-20, -13, 9, 11));
    p.drawEllipse(QRectF(-10, -23, 9, 12));
    p.drawEllipse(QRectF(1, -23, 9, 12));
    p.drawEllipse(QRectF(11, -13, 9, 11));
    p.restore();
}

QPixmap blank(int width, int height)
{
    QPixmap picture(width, height);
    picture.fill(Qt::transparent);
    return picture;
}

} // namespace

QImage drawLogo()
{
    QImage picture(349, 84, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(Qt::NoPen);

    // The print first, a soft shadow under it.
    p.setBrush(QColor(0, 0, 0, 40));
    drawPaw(p, QPointF(44, 46), 66, -18);
    p.setBrush(kPawBrown);
    drawPaw(p, QPointF(42, 44), 66, -18);

    // The name in a serif face, fitted to the room right of the print.
    QFont face = controls::makeFont(QString::fromLatin1(controls::kTimesFace), 52, true, true);
    const QString name = QStringLiteral("Huellario");
    const QRectF room(88, 6, 256, 72);
    while (face.pixelSize() > 20 && QFontMetricsF(face).horizontalAdvance(name) > room.width())
        face.setPixelSize(face.pixelSize() - 2);
    QPainterPath text;
    const QFontMetricsF metrics(face);
    const qreal baseline = room.center().y() + (metrics.ascent() - metrics.descent()) / 2;
    text.addText(room.left(), baseline, face, name);
    p.setBrush(QColor(0, 0, 0, 50));
    p.drawPath(text.translated(2, 2));
    QLinearGradient ink(0, room.top(), 0, room.bottom());
    ink.setColorAt(0, QColor(40, 60, 170));
    ink.setColorAt(1, kInk);
    p.setBrush(ink);
    p.drawPath(text);
    p.end();
    return picture;
}

namespace {

constexpr char kRawMagic[8] = { 'H', 'L', 'R', 'I', 'M', 'G', '1', '\0' };
constexpr qint64 kRawHeader = 16;

void putLittle32(QByteArray& out, quint32 value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.append(char((value >> shift) & 0xff));
}

quint32 getLittle32(const uchar* data)
{
    return quint32(data[0]) | quint32(data[1]) << 8 | quint32(data[2]) << 16 | quint32(data[3]) << 24;
}

// The round badge every header picture stands on.
void drawBadge(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient face(0, 2, 0, 30);
    face.setColorAt(0, Qt::white);
    face.setColorAt(1, QColor(214, 226, 246));
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.2));
    p.setBrush(face);
    p.drawEllipse(QRectF(2.5, 2.5, 27, 27));
}

QPixmap makeHelp()
{
    QPixmap picture = blank(32, 32);
    QPainter p(&picture);
    drawBadge(p);
    // A question mark drawn as a hook and a dot, independent of fonts.
    QPen pen(kInk, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    QPainterPath hook;
    hook.moveTo(11.5, 12.5);
    hook.cubicTo(11.5, 7.5, 20.5, 7.5, 20.5, 12.5);
    hook.cubicTo(20.5, 16, 16, 16, 16, 19.5);
    p.drawPath(hook);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(16, 24), 1.9, 1.9);
    return picture;
}

QPixmap makeAbout()
{
    QPixmap picture = blank(32, 32);
    QPainter p(&picture);
    drawBadge(p);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(16, 9.5), 2.2, 2.2);
    p.drawRoundedRect(QRectF(14, 13.5, 4, 11.5), 1, 1);
    p.drawRoundedRect(QRectF(12, 23.5, 8, 2), 1, 1);
    p.drawRoundedRect(QRectF(12, 13.5, 4, 2), 1, 1);
    return picture;
}

QPixmap makeMinimise()
{
    QPixmap picture = blank(32, 32);
    QPainter p(&picture);
    drawBadge(p);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRoundedRect(QRectF(9.5, 19, 13, 3.4), 1.5, 1.5);
    return picture;
}

QPixmap makeClose()
{
    QPixmap picture = blank(32, 32);
    QPainter p(&picture);
    drawBadge(p);
    p.setPen(QPen(QColor(170, 20, 20), 3.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11, 11), QPointF(21, 21));
    p.drawLine(QPointF(21, 11), QPointF(11, 21));
    return picture;
}

} // namespace

QByteArray rawPicture(const QImage& image)
{
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QByteArray out(kRawMagic, sizeof kRawMagic);
    putLittle32(out, quint32(pixels.width()));
    putLittle32(out, quint32(pixels.height()));
    for (int y = 0; y < pixels.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x)
            putLittle32(out, row[x]);
    }
    return out;
}

QImage fromRawPicture(const uchar* data, qint64 size)
{
    if (!data || size < kRawHeader || memcmp(data, kRawMagic, sizeof kRawMagic) != 0)
        return {};
    const quint32 width = getLittle32(data + 8);
    const quint32 height = getLittle32(data + 12);
    if (width == 0 || height == 0 || width > 4096 || height > 4096
        || size != kRawHeader + qint64(width) * height * 4)
        return {};
    QImage image(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    const uchar* pixel = data + kRawHeader;
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x, pixel += 4)
            row[x] = getLittle32(pixel);
    }
    return image;
}

const QPixmap& logo()
{
    static const QPixmap picture = [] {
        const QResource stored(QStringLiteral(":/pictures/logo.raw"));
        const QImage image = stored.isValid() && stored.compressionAlgorithm() == QResource::NoCompression
            ? fromRawPicture(stored.data(), stored.size())
            : QImage();
        return QPixmap::fromImage(image.size() == QSize(349, 84) ? image : drawLogo());
    }();
    return picture;
}

const QPixmap& help()
{
    static const QPixmap picture = makeHelp();
    return picture;
}

const QPixmap& about()
{
    static const QPixmap picture = makeAbout();
    return picture;
}

const QPixmap& minimise()
{
    static const QPixmap picture = makeMinimise();
    return picture;
}

const QPixmap& close()
{
    static const QPixmap picture = makeClose();
    return picture;
}

} // namespace app::pictures
