// The clinic record window:
// one clinic with its mail and web buttons.
#pragma once

#include "records/RecordWindow.h"

class TModuloGeneral;

class TFichaVeterinarios : public records::RecordWindow {
    Q_OBJECT
public:
    explicit TFichaVeterinarios(TModuloGeneral& dataModule, QWidget* parent = nullptr);

protected:
    engine::Table& recordTable() const override;

private:
    TModuloGeneral& m_data;
};
