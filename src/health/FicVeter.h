// The clinic record window:
// one clinic with its mail and web buttons.
#pragma once

#include "platform/Window.h"

class TFichaVeterinarios : public platform::Window {
    Q_OBJECT
public:
    explicit TFichaVeterinarios(QWidget* parent = nullptr);
};
