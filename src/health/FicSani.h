// The health visit record window:
// one visit or treatment of a pet.
#pragma once

#include "records/RecordWindow.h"

class TModuloGeneral;

class TFichaSanidad : public records::RecordWindow {
    Q_OBJECT
public:
    explicit TFichaSanidad(TModuloGeneral& dataModule, QWidget* parent = nullptr);

protected:
    engine::Table& recordTable() const override;

private:
    TModuloGeneral& m_data;
};
