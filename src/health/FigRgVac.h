// The vaccination record window:
// the ticks and dates of a pet's vaccines.
#pragma once

#include "platform/Window.h"

class TFichaRegVacunas : public platform::Window {
    Q_OBJECT
public:
    explicit TFichaRegVacunas(QWidget* parent = nullptr);
};
