// The album's picture area: the last picture loaded into it, drawn stretched
// to the area or at its own size, centred; transparent where the picture is.
#pragma once

#include "pictures/PictureTypes.h"

#include <QImage>
#include <QWidget>

namespace album {

class PictureArea : public QWidget {
    Q_OBJECT
public:
    explicit PictureArea(QWidget* parent = nullptr);

    // Loads the picture for drawing as `stretched` says; a picture that fails
    // throws pictures::PictureError and leaves the one shown before.
    void load(const QString& path, bool stretched);
    void clear();
    bool isEmpty() const { return m_image.isNull(); }

    bool stretched() const { return m_stretched; }
    void setStretched(bool on);

    // What is drawn, for tests: the image and where it lands in the area.
    QImage image() const { return m_image; }
    QRect imageRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
    // How m_image was decoded; it may differ from m_stretched only when a
    // reload failed after the stretching was switched.
    pictures::Fit m_loadedFit = pictures::Fit::OwnSize;
    bool m_stretched = false;
};

} // namespace album
