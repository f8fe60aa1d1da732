// The health register:
// a pet's visits and treatments, with search and listing.
#pragma once

#include "platform/Window.h"

class TFichaRegSanidad : public platform::Window {
    Q_OBJECT
public:
    explicit TFichaRegSanidad(QWidget* parent = nullptr);
};
