#include "health/FigRgVac.h"

#include "data/ModGen.h"

// The window's frame: its caption, size and help topic, with no controls,
// tables or buttons yet.
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
