#include "health/FicVac.h"

#include "data/ModGen.h"

// The window's frame: its caption, size and help topic, with no controls,
// tables or buttons yet.
TFichaVacunas::TFichaVacunas(TModuloGeneral& dataModule, QWidget* parent)
    : records::ListWindow(parent)
    , m_data(dataModule)
{
    setWindowTitle(QStringLiteral("  Registro Visita / Tratamiento"));
    setClientSize(742, 390);
    setHelpTopic(6);
}

engine::Table& TFichaVacunas::listTable() const
{
    return *m_data.TablaVacunas;
}

std::vector<engine::Table*> TFichaVacunas::tablesToOpen() const
{
    return {};
}

std::vector<engine::Table*> TFichaVacunas::tablesToClose() const
{
    return {};
}
