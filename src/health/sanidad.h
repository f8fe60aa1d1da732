// The health register:
// a pet's visits and treatments, with search and listing.
#pragma once

#include "records/ListWindow.h"

class TModuloGeneral;

class TFichaRegSanidad : public records::ListWindow {
    Q_OBJECT
public:
    explicit TFichaRegSanidad(TModuloGeneral& dataModule, QWidget* parent = nullptr);

protected:
    engine::Table& listTable() const override;
    std::vector<engine::Table*> tablesToOpen() const override;
    std::vector<engine::Table*> tablesToClose() const override;

private:
    TModuloGeneral& m_data;
};
