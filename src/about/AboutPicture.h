// The about window's background: a 728 x 495 picture drawn once, on first
// use, of which the window shows the middle at natural size.
#pragma once

#include <QPixmap>

namespace about {

inline constexpr QSize kAboutPictureSize { 728, 495 };

const QPixmap& aboutPicture();

} // namespace about
