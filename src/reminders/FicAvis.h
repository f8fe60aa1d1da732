// The reminders list: every dated reminder in a grid in the order of its
// first day, with Añadir, Modificar, Ver, Borrar and Salir on the current one.
#pragma once

#include "records/ListWindow.h"

class QFrame;
class QLabel;
class TModuloGeneral;

class TFicheroAvisos : public records::ListWindow {
    Q_OBJECT
public:
    explicit TFicheroAvisos(TModuloGeneral& dataModule, QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;
    TDsFancyButton* But_Anadir = nullptr;
    TDsFancyButton* But_Salir = nullptr;
    QFrame* Bevel1 = nullptr;
    TDsFancyButton* But_Borrar = nullptr;
    TDsFancyButton* But_Modificar = nullptr;
    TDsFancyButton* But_Ver = nullptr;
    bound::DBGrid* DBGrid1 = nullptr;

protected:
    void build() override;
    engine::Table& listTable() const override;
    std::vector<engine::Table*> tablesToOpen() const override;
    std::vector<engine::Table*> tablesToClose() const override;
    void activate() override;

private:
    TModuloGeneral& m_data;
};
