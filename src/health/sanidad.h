// The health register: the pet selector and the chosen pet's visits and
// treatments, with the list operations, Localizar and the printed listing.
#pragma once

#include "records/ListWindow.h"
#include "report/ReportProject.h"

class QFrame;
class QLabel;
class TModuloGeneral;

class TFichaRegSanidad : public records::ListWindow {
    Q_OBJECT
public:
    explicit TFichaRegSanidad(TModuloGeneral& dataModule, QWidget* parent = nullptr);

    // Localizar: asks for the beginning of a reason and moves to the first of
    // the pet's visits at or after it, or to its last visit when none is.
    void locateVisit();
    // Listar: the report "Registro" through the output setup window.
    void listRegister();

    QLabel* Image1 = nullptr;
    QFrame* Bevel1 = nullptr;
    bound::DBGrid* DbGridMascotas = nullptr;
    bound::DBGrid* DBGrid1 = nullptr;
    TDsFancyButton* But_Anadir = nullptr;
    TDsFancyButton* But_Modificar = nullptr;
    TDsFancyButton* But_Ver = nullptr;
    TDsFancyButton* But_Borrar = nullptr;
    TDsFancyButton* But_Localizar = nullptr;
    TDsFancyButton* But_Listar = nullptr;
    TDsFancyButton* But_Salir = nullptr;

    // The report project of the listing, its file beside the executable.
    report::ReportProject RvListaSanidad;

protected:
    void build() override;
    engine::Table& listTable() const override;
    std::vector<engine::Table*> tablesToOpen() const override;
    std::vector<engine::Table*> tablesToClose() const override;
    void activate() override;
    void closing() override;

private:
    TModuloGeneral& m_data;
};
