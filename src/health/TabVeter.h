// The clinics list:
// the address book of veterinary clinics.
#pragma once

#include "platform/Window.h"

class TFicheroVeterinarios : public platform::Window {
    Q_OBJECT
public:
    explicit TFicheroVeterinarios(QWidget* parent = nullptr);
};
