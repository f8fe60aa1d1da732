// The photo record window:
// a photograph's description and picture file.
#pragma once

#include "records/RecordWindow.h"

class TModuloGeneral;

class TFichaFoto : public records::RecordWindow {
    Q_OBJECT
public:
    explicit TFichaFoto(TModuloGeneral& dataModule, QWidget* parent = nullptr);

protected:
    engine::Table& recordTable() const override;

private:
    TModuloGeneral& m_data;
};
