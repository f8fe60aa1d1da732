// The pending reminders window shown at start-up: the reminders due today,
// gathered into the work table by the scan, with one button that closes it.
#pragma once

#include "platform/Window.h"

class QFrame;
class QLabel;
class TDsFancyButton;
class TModuloGeneral;
namespace bound {
class DBGrid;
}

class TFicheroIniAvisos : public platform::Window {
    Q_OBJECT
public:
    explicit TFicheroIniAvisos(TModuloGeneral& dataModule, QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;
    QFrame* Bevel1 = nullptr;
    bound::DBGrid* DBGrid1 = nullptr;
    // Captioned "&Aceptar"; it only closes the window.
    TDsFancyButton* But_Cancelar = nullptr;

protected:
    void build() override;
    void activate() override;

private:
    void fitColumns();

    TModuloGeneral& m_data;
};
