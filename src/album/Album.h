// The photo album:
// a pet's photographs with the picture of the chosen one.
#pragma once

#include "platform/Window.h"

class TFichaAlbum : public platform::Window {
    Q_OBJECT
public:
    explicit TFichaAlbum(QWidget* parent = nullptr);
};
