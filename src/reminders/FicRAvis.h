// The reminder record window: one reminder's first and last day, description
// and remarks, accepted, cancelled or left with Cerrar, which drops any change.
#pragma once

#include "records/RecordWindow.h"

class QFrame;
class QLabel;
class TModuloGeneral;
namespace bound {
class DBEdit;
}

class TFichaRegAvisos : public records::RecordWindow {
    Q_OBJECT
public:
    explicit TFichaRegAvisos(TModuloGeneral& dataModule, QWidget* parent = nullptr);

    // Cerrar cancels the pending change first, so a change typed while
    // viewing never stays behind in the table.
    void closeRecord() override;

    QLabel* Image1 = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label4 = nullptr;
    // The same button as the base's But_Cerrar, under this window's own name.
    TDsFancyButton* But_cerrar = nullptr;
    bound::DBEdit* EditInicio = nullptr;
    bound::DBEdit* EditFin = nullptr;
    bound::DBEdit* EditConcepto = nullptr;
    bound::DBEdit* EditObserva1 = nullptr;
    bound::DBEdit* EditObserva2 = nullptr;

protected:
    void build() override;
    engine::Table& recordTable() const override;
    void activate() override;

private:
    TModuloGeneral& m_data;
};
