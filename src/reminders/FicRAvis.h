// The reminder record window:
// one reminder's dates, description and remarks.
#pragma once

#include "platform/Window.h"

class TFichaRegAvisos : public platform::Window {
    Q_OBJECT
public:
    explicit TFichaRegAvisos(QWidget* parent = nullptr);
};
