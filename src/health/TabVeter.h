// The clinics list: the address book of veterinary clinics in a grid in the
// order of their names, with Añadir, Modificar, Ver, Borrar and Salir.
#pragma once

#include "records/ListWindow.h"

class QFrame;
class QLabel;
class TModuloGeneral;

class TFicheroVeterinarios : public records::ListWindow {
    Q_OBJECT
public:
    explicit TFicheroVeterinarios(TModuloGeneral& dataModule, QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;
    bound::DBGrid* DBGrid1 = nullptr;
    QFrame* Bevel1 = nullptr;
    TDsFancyButton* But_Anadir = nullptr;
    TDsFancyButton* But_Modificar = nullptr;
    TDsFancyButton* But_Ver = nullptr;
    TDsFancyButton* But_Borrar = nullptr;
    TDsFancyButton* But_Salir = nullptr;

protected:
    void build() override;
    engine::Table& listTable() const override;
    std::vector<engine::Table*> tablesToOpen() const override;
    std::vector<engine::Table*> tablesToClose() const override;
    void activate() override;

private:
    TModuloGeneral& m_data;
};
