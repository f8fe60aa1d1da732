// The reminders list:
// dated reminders kept by the owner.
#pragma once

#include "platform/Window.h"

class TFicheroAvisos : public platform::Window {
    Q_OBJECT
public:
    explicit TFicheroAvisos(QWidget* parent = nullptr);
};
