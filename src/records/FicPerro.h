// The pet record window:
// one pet's identity, species, breed and size.
#pragma once

#include "platform/Window.h"

class TFichaPerro : public platform::Window {
    Q_OBJECT
public:
    explicit TFichaPerro(QWidget* parent = nullptr);
};
