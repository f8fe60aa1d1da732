// The vaccination card of a pet:
// four vaccines with a tick and a date each.
#pragma once

#include "platform/Window.h"

class TFichaVacunas : public platform::Window {
    Q_OBJECT
public:
    explicit TFichaVacunas(QWidget* parent = nullptr);
};
