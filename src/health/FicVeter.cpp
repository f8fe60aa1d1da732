#include "health/FicVeter.h"

#include "data/ModGen.h"

// An empty window for now: its controls and behaviour come with its own part.
TFichaVeterinarios::TFichaVeterinarios(TModuloGeneral& dataModule, QWidget* parent)
    : records::RecordWindow(parent)
    , m_data(dataModule)
{
    setWindowTitle(QStringLiteral(" Datos de la Clínica Veterinaria"));
    setClientSize(742, 390);
    setHelpTopic(7);
}

engine::Table& TFichaVeterinarios::recordTable() const
{
    return *m_data.TablaVeterinarios;
}
