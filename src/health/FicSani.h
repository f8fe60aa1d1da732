// The health visit record window: one visit or treatment of a pet, with the
// clinic chosen from the clinics table.
#pragma once

#include "records/RecordWindow.h"

class QFrame;
class QLabel;
class TModuloGeneral;
namespace bound {
class DBEdit;
class DBLookupComboBox;
} // namespace bound

class TFichaSanidad : public records::RecordWindow {
    Q_OBJECT
public:
    explicit TFichaSanidad(TModuloGeneral& dataModule, QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLabel* Label9 = nullptr;
    bound::DBEdit* EditFecha = nullptr;
    bound::DBEdit* EditConcepto = nullptr;
    bound::DBLookupComboBox* DBLookupComboBox1 = nullptr;
    bound::DBEdit* EditVeterinario = nullptr;
    bound::DBEdit* EditTratamiento = nullptr;
    bound::DBEdit* EditMedicacion = nullptr;
    bound::DBEdit* EditProx_Visita = nullptr;
    bound::DBEdit* EditObserva1 = nullptr;
    bound::DBEdit* EditObserva2 = nullptr;
    bound::DBEdit* DBEdit2 = nullptr;

protected:
    void build() override;
    engine::Table& recordTable() const override;

private:
    bound::DBEdit* addBox(const char* name, const char* field, const QRect& geometry);

    TModuloGeneral& m_data;
};
