// The health visit record window:
// one visit or treatment of a pet.
#pragma once

#include "platform/Window.h"

class TFichaSanidad : public platform::Window {
    Q_OBJECT
public:
    explicit TFichaSanidad(QWidget* parent = nullptr);
};
