// The album's way to the picture decoders. They are the module
// huellario-imagenes (with libjpeg), loaded when the album first shows a
// picture, so the program starts without them; a program that links their
// objects (the tests do) uses those and loads nothing.
#pragma once

#include "pictures/Picture.h"

namespace album {

// pictures::loadPicture() through the module. engine::EngineError, in
// Spanish and naming the file, when the module is missing or cannot be loaded.
QImage loadPicture(
    const QString& path, QSize frame, pictures::Fit fit, pictures::BitmapTransparency transparency);

// pictures::readAhead() through the module; nothing when it cannot be loaded
// (reading ahead is only a head start, and showing the picture reports it).
void readAhead(std::vector<pictures::PictureRequest> requests);

// The module, as platform::programModule() finds it; another file for tests.
QString picturesModule();
void setPicturesModule(const QString& path);

} // namespace album
