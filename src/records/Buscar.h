// The search text dialog shared by the list windows: it answers through
// TextoBuscado, the text accepted or empty when cancelled.
#pragma once

#include "platform/Window.h"

class QLabel;
class QFrame;
class QLineEdit;
class TDsFancyButton;

class TFichaBuscar : public platform::Window {
    Q_OBJECT
public:
    explicit TFichaBuscar(QWidget* parent = nullptr);

    void acceptText();
    void cancel();

    QLabel* Image1 = nullptr;
    TDsFancyButton* But_Aceptar = nullptr;
    TDsFancyButton* But_Cancelar = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* TextoBusqueda = nullptr;

protected:
    void build() override;
    void activate() override;
};
