#include "health/FicSani.h"

#include "data/ModGen.h"

// An empty window for now: its controls and behaviour come with its own part.
TFichaSanidad::TFichaSanidad(TModuloGeneral& dataModule, QWidget* parent)
    : records::RecordWindow(parent)
    , m_data(dataModule)
{
    setWindowTitle(QStringLiteral("  Registro Visita / Tratamiento"));
    setClientSize(742, 390);
    setHelpTopic(5);
}

engine::Table& TFichaSanidad::recordTable() const
{
    return *m_data.TablaSanidad;
}
