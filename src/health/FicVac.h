// The vaccination card of a pet:
// four vaccines with a tick and a date each.
#pragma once

#include "records/ListWindow.h"

class TModuloGeneral;

class TFichaVacunas : public records::ListWindow {
    Q_OBJECT
public:
    explicit TFichaVacunas(TModuloGeneral& dataModule, QWidget* parent = nullptr);

protected:
    engine::Table& listTable() const override;
    std::vector<engine::Table*> tablesToOpen() const override;
    std::vector<engine::Table*> tablesToClose() const override;

private:
    TModuloGeneral& m_data;
};
