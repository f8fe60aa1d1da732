#include "about/AboutPicture.h"

#include "platform/Furniture.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace about {

namespace {

QPixmap makePicture()
{
    QPixmap picture(kAboutPictureSize);
    const QRectF all(QPointF(0, 0), kAboutPictureSize);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);

    // Warm paper above, pale sky below: light enough for every label's colour.
    QLinearGradient sky(all.topLeft(), all.bottomLeft());
    sky.setColorAt(0.0, QColor(253, 246, 228));
    sky.setColorAt(0.55, QColor(246, 242, 232));
    sky.setColorAt(1.0, QColor(222, 234, 246));
    p.fillRect(all, sky);

    // A glow behind the title.
    QRadialGradient glow(QPointF(364, 120), 260);
    glow.setColorAt(0.0, QColor(255, 255, 255, 200));
    glow.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.fillRect(all, glow);

    // A large faint print as a watermark under the links.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(128, 0, 0, 14));
    platform::furniture::drawPaw(p, QPointF(364, 236), 230, -12);

    // A trail of small prints walking across, from lower left to upper right.
    p.setBrush(QColor(90, 70, 40, 30));
    for (int step = 0; step < 11; ++step) {
        const qreal x = 40 + step * 62;
        const qreal y = 420 - step * 34 + (step % 2 == 0 ? 14 : -14);
        platform::furniture::drawPaw(p, QPointF(x, y), 26, 60);
    }

    // Low hills along the bottom, behind the buttons.
    QPainterPath hills;
    hills.moveTo(0, 380);
    hills.cubicTo(150, 350, 260, 400, 380, 372);
    hills.cubicTo(500, 346, 620, 392, 728, 366);
    hills.lineTo(728, 495);
    hills.lineTo(0, 495);
    hills.closeSubpath();
    QLinearGradient grass(QPointF(0, 350), QPointF(0, 495));
    grass.setColorAt(0.0, QColor(206, 226, 196));
    grass.setColorAt(1.0, QColor(176, 206, 168));
    p.setBrush(grass);
    p.drawPath(hills);
    return picture;
}

} // namespace

const QPixmap& aboutPicture()
{
    static const QPixmap picture = makePicture();
    return picture;
}

} // namespace about
