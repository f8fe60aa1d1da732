// The about window:
// the product's title and version, links to the maker and the news sign-up.
#pragma once

#include "platform/Window.h"

class TAboutBox : public platform::Window {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};
