#include "health/FicVac.h"

#include "data/ModGen.h"

// An empty window for now: its controls and behaviour come with its own part.
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
