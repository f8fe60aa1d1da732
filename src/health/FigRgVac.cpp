#include "health/FigRgVac.h"

#include "data/ModGen.h"

// An empty window for now: its controls and behaviour come with its own part.
TFichaRegVacunas::TFichaRegVacunas(TModuloGeneral& dataModule, QWidget* parent)
    : records::RecordWindow(parent)
    , m_data(dataModule)
{
    setWindowTitle(QStringLiteral("Modificación datos Vacunas."));
    setClientSize(420, 203);
    setHelpTopic(6, true);
}

engine::Table& TFichaRegVacunas::recordTable() const
{
    return *m_data.TablaVacunas;
}
