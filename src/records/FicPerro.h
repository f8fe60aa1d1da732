// The pet record window: one pet's names, sex, species, breed, colour, hair,
// size, birth date and chip, with the breed list narrowed to the species.
#pragma once

#include "records/RecordWindow.h"

class QLabel;
class QFrame;
class TModuloGeneral;
namespace bound {
class DBCheckBox;
class DBEdit;
class DBLookupComboBox;
} // namespace bound

class TFichaPerro : public records::RecordWindow {
    Q_OBJECT
public:
    explicit TFichaPerro(TModuloGeneral& dataModule, QWidget* parent = nullptr);
    ~TFichaPerro() override;

    // The breeds table shows only the breeds of the species chosen.
    void filterBreeds();
    static QString breedFilter(const QString& speciesCode);

    // While the pets list shows the window, the list keeps the three tables
    // open: closing the window then only drops a pending change and widens
    // the breed list again.
    void setTablesLent(bool lent) { m_tablesLent = lent; }

    QLabel* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* Label10 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    bound::DBEdit* EDITNOM_FAMI = nullptr;
    bound::DBEdit* EDITNOM_OFICIA = nullptr;
    bound::DBEdit* EditSexo = nullptr;
    bound::DBLookupComboBox* DBLookupComboBox2 = nullptr; // species
    bound::DBLookupComboBox* DBLookupComboBox1 = nullptr; // breed
    bound::DBEdit* DBEdit2 = nullptr; // colour
    bound::DBEdit* DBEdit1 = nullptr; // hair
    bound::DBCheckBox* DBCheckBox1 = nullptr;
    bound::DBCheckBox* DBCheckBox2 = nullptr;
    bound::DBCheckBox* DBCheckBox3 = nullptr;
    bound::DBEdit* DBEdit3 = nullptr; // birth date
    bound::DBEdit* DBEdit4 = nullptr; // chip
    QFrame* Bevel1 = nullptr;

protected:
    void build() override;
    engine::Table& recordTable() const override;
    // However the window closes, a pending change is dropped (after Aceptar
    // there is none left) and the three tables are put back.
    void closing() override;

private:
    void closeTables();

    TModuloGeneral& m_data;
    bool m_tablesLent = false;
};
