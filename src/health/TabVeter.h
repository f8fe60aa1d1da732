// The clinics list:
// the address book of veterinary clinics.
#pragma once

#include "records/ListWindow.h"

class TModuloGeneral;

class TFicheroVeterinarios : public records::ListWindow {
    Q_OBJECT
public:
    explicit TFicheroVeterinarios(TModuloGeneral& dataModule, QWidget* parent = nullptr);

protected:
    engine::Table& listTable() const override;
    std::vector<engine::Table*> tablesToOpen() const override;
    std::vector<engine::Table*> tablesToClose() const override;

private:
    TModuloGeneral& m_data;
};
