// The vaccination card of a pet: the pets in a selector grid and, for the
// chosen one, its four vaccines read-only against the usual schedule.
#pragma once

#include "records/ListWindow.h"

#include <memory>

class QFrame;
class QLabel;
class TModuloGeneral;
namespace bound {
class DBCheckBox;
class DBText;
} // namespace bound
namespace data {
struct PetCard;
struct VaccineLabels;
} // namespace data
namespace report {
class ReportProject;
}
class QContextMenuEvent;

class TFichaVacunas : public records::ListWindow {
    Q_OBJECT
public:
    explicit TFichaVacunas(TModuloGeneral& dataModule, QWidget* parent = nullptr);
    ~TFichaVacunas() override;

    // The current pet's card to hand over, through "Opciones de Salida":
    // Ctrl+P, or "Imprimir cartilla..." in the window's context menu.
    void printCard();

    QLabel* Image1 = nullptr;
    bound::DBGrid* DbGridMascotas = nullptr;
    QFrame* Bevel2 = nullptr;
    QLabel* Etiqueta_1 = nullptr;
    QLabel* Etiqueta_2 = nullptr;
    QLabel* Etiqueta_3 = nullptr;
    QLabel* Etiqueta_4 = nullptr;
    bound::DBCheckBox* DBCheckBox1 = nullptr;
    bound::DBCheckBox* DBCheckBox2 = nullptr;
    bound::DBCheckBox* DBCheckBox3 = nullptr;
    bound::DBCheckBox* DBCheckBox4 = nullptr;
    bound::DBText* DBText1 = nullptr;
    bound::DBText* DBText2 = nullptr;
    bound::DBText* DBText3 = nullptr;
    bound::DBText* DBText4 = nullptr;
    QLabel* Texto_1 = nullptr;
    QLabel* Texto_2 = nullptr;
    QLabel* Texto_3 = nullptr;
    QLabel* Texto_4 = nullptr;
    QLabel* Etiqueta_5 = nullptr;
    QFrame* Bevel3 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QFrame* Bevel1 = nullptr;
    TDsFancyButton* But_Modificar = nullptr;
    TDsFancyButton* But_Salir = nullptr;

protected:
    void build() override;
    engine::Table& listTable() const override;
    std::vector<engine::Table*> tablesToOpen() const override;
    std::vector<engine::Table*> tablesToClose() const override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // The texts the data module's species rule hands over.
    void showLabels(const data::VaccineLabels& labels);

    TModuloGeneral& m_data;
    // The card read at each printing, in views the project keeps.
    std::unique_ptr<data::PetCard> m_card;
    std::unique_ptr<report::ReportProject> m_cardProject;
};
