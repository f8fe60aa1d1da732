// The photo record window:
// a photograph's description and picture file.
#pragma once

#include "platform/Window.h"

class TFichaFoto : public platform::Window {
    Q_OBJECT
public:
    explicit TFichaFoto(QWidget* parent = nullptr);
};
