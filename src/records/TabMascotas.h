// The pets list: every pet of the house in a grid in the order of their
// codes, with Añadir, Modificar, Ver, Borrar, Localizar by name and Cerrar;
// its record window is the pet window.
#pragma once

#include "records/ListWindow.h"

class QFrame;
class QLabel;
class TFichaPerro;
class TModuloGeneral;

class TFicheroMascotas : public records::ListWindow {
    Q_OBJECT
public:
    explicit TFicheroMascotas(TModuloGeneral& dataModule, QWidget* parent = nullptr);

    // The pet window, which this one lends its tables to while it shows.
    void setPetWindow(TFichaPerro* window);

    // A new pet gets the next free code before the pet window shows.
    void addRecord() override;
    // Asks first, naming the pet and what goes with it.
    void deleteRecord() override;
    // The first pet whose familiar name starts with the text asked for, or
    // failing that contains it, without regard to case or accents.
    void locatePet();

    // The text of the deletion's question.
    static QString deletionQuestion(
        const QString& name, const QString& code, int visits, int cards, int photographs);

    QLabel* Image1 = nullptr;
    bound::DBGrid* DBGrid1 = nullptr;
    QFrame* Bevel1 = nullptr;
    TDsFancyButton* But_Anadir = nullptr;
    TDsFancyButton* But_Modificar = nullptr;
    TDsFancyButton* But_Ver = nullptr;
    TDsFancyButton* But_Borrar = nullptr;
    TDsFancyButton* But_Localizar = nullptr;
    TDsFancyButton* But_Salir = nullptr;

protected:
    void build() override;
    engine::Table& listTable() const override;
    std::vector<engine::Table*> tablesToOpen() const override;
    std::vector<engine::Table*> tablesToClose() const override;
    void activate() override;
    void closing() override;

private:
    TModuloGeneral& m_data;
    TFichaPerro* m_petWindow = nullptr;
};
