// The vaccination record window: the tick and the date of each of a pet's
// four vaccines, accepted or cancelled.
#pragma once

#include "records/RecordWindow.h"

class QFrame;
class QLabel;
class TModuloGeneral;
namespace bound {
class DBCheckBox;
class DBEdit;
} // namespace bound

class TFichaRegVacunas : public records::RecordWindow {
    Q_OBJECT
public:
    explicit TFichaRegVacunas(TModuloGeneral& dataModule, QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;
    QLabel* Etiqueta_1 = nullptr;
    QLabel* Etiqueta_2 = nullptr;
    QLabel* Etiqueta_3 = nullptr;
    QLabel* Etiqueta_4 = nullptr;
    bound::DBCheckBox* DBCheckBox1 = nullptr;
    bound::DBCheckBox* DBCheckBox2 = nullptr;
    bound::DBCheckBox* DBCheckBox3 = nullptr;
    bound::DBCheckBox* DBCheckBox4 = nullptr;
    bound::DBEdit* EditFecha = nullptr;
    bound::DBEdit* DBEdit2 = nullptr;
    bound::DBEdit* DBEdit3 = nullptr;
    bound::DBEdit* DBEdit4 = nullptr;
    QFrame* Bevel1 = nullptr;

protected:
    void build() override;
    engine::Table& recordTable() const override;
    // The names by the pet's species, then the focus on the first tick.
    void activate() override;
    // Closed without Aceptar (Alt+F4 on the desktop): as Cancelar.
    void closing() override;

private:
    TModuloGeneral& m_data;
};
