// The photo album:
// a pet's photographs with the picture of the chosen one.
#pragma once

#include "records/ListWindow.h"

class TModuloGeneral;

class TFichaAlbum : public records::ListWindow {
    Q_OBJECT
public:
    explicit TFichaAlbum(TModuloGeneral& dataModule, QWidget* parent = nullptr);

protected:
    engine::Table& listTable() const override;
    std::vector<engine::Table*> tablesToOpen() const override;
    std::vector<engine::Table*> tablesToClose() const override;

private:
    TModuloGeneral& m_data;
};
