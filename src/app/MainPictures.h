// The main window's own pictures, drawn in code: the logo and the four
// header pictures (help, about, minimise, close), all on a transparent ground.
#pragma once

#include <QPixmap>

namespace app::pictures {

// "Huellario" with a paw print, 349 x 84.
const QPixmap& logo();

// 32 x 32 each, meant for the header's title-bar colour.
const QPixmap& help();
const QPixmap& about();
const QPixmap& minimise();
const QPixmap& close();

} // namespace app::pictures
