// The delete confirmation dialog shared by every list window: it answers
// through BorrarConfirmado, 1 when the user chose "&Eliminar".
#pragma once

#include "platform/Window.h"

class QLabel;
class QFrame;
class TDsFancyButton;

class TFichaBorrar : public platform::Window {
    Q_OBJECT
public:
    explicit TFichaBorrar(QWidget* parent = nullptr);

    void confirm();
    void cancel();

    QLabel* Image1 = nullptr;
    TDsFancyButton* But_Aceptar = nullptr;
    TDsFancyButton* But_Cancelar = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Image2 = nullptr;

protected:
    void build() override;
    void activate() override;
};
