#include "album/PictureArea.h"

#include "album/PictureLoaders.h"

#include <QPainter>

namespace album {

PictureArea::PictureArea(QWidget* parent)
    : QWidget(parent)
{
    // No ground of its own: the window's background shows through the
    // picture's transparent pixels and around a small picture.
    setAutoFillBackground(false);
}

void PictureArea::load(const QString& path, bool stretched)
{
    const pictures::Fit fit = stretched ? pictures::Fit::Stretch : pictures::Fit::OwnSize;
    QImage image = album::loadPicture(path, size(), fit, pictures::BitmapTransparency::BottomLeftPixel);
    m_image = std::move(image);
    m_loadedFit = fit;
    update();
}

void PictureArea::clear()
{
    m_image = QImage();
    update();
}

void PictureArea::setStretched(bool on)
{
    if (m_stretched == on)
        return;
    m_stretched = on;
    update();
}

QRect PictureArea::imageRect() const
{
    if (m_image.isNull())
        return {};
    // An image decoded at its own size but asked for stretched is scaled to
    // the area; one decoded stretched already fills it. Both happen only
    // until the next successful load.
    if (m_stretched || m_loadedFit == pictures::Fit::Stretch)
        return rect();
    const QSize own = m_image.size();
    return QRect(QPoint((width() - own.width()) / 2, (height() - own.height()) / 2), own);
}

void PictureArea::paintEvent(QPaintEvent*)
{
    if (m_image.isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(imageRect(), m_image);
}

} // namespace album
