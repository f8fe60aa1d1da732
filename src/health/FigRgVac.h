// The vaccination record window:
// the ticks and dates of a pet's vaccines.
#pragma once

#include "records/RecordWindow.h"

class TModuloGeneral;

class TFichaRegVacunas : public records::RecordWindow {
    Q_OBJECT
public:
    explicit TFichaRegVacunas(TModuloGeneral& dataModule, QWidget* parent = nullptr);

protected:
    engine::Table& recordTable() const override;

private:
    TModuloGeneral& m_data;
};
