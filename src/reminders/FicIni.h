// The pending reminders shown at start-up:
// those whose dates contain today.
#pragma once

#include "platform/Window.h"

class TFicheroIniAvisos : public platform::Window {
    Q_OBJECT
public:
    explicit TFicheroIniAvisos(QWidget* parent = nullptr);
};
