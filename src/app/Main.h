// The main window, hub of the program: its creation installs Enter as Tab
// and the help file; closing it ends the program.
#pragma once

#include "platform/EnterAsTab.h"
#include "platform/Window.h"

#include <memory>

class TMenuGeneral : public platform::Window {
    Q_OBJECT
public:
    explicit TMenuGeneral(QWidget* parent = nullptr);
    ~TMenuGeneral() override;

private:
    // The application-wide Enter-as-Tab hook, installed for the whole run.
    std::unique_ptr<platform::EnterAsTab> AppMessage;
};
