#include "health/sanidad.h"

#include "data/ModGen.h"

// An empty window for now: its controls and behaviour come with its own part.
TFichaRegSanidad::TFichaRegSanidad(TModuloGeneral& dataModule, QWidget* parent)
    : records::ListWindow(parent)
    , m_data(dataModule)
{
    setWindowTitle(QStringLiteral(" Registro Sanitario"));
    setClientSize(742, 390);
    setHelpTopic(5);
}

engine::Table& TFichaRegSanidad::listTable() const
{
    return *m_data.TablaSanidad;
}

std::vector<engine::Table*> TFichaRegSanidad::tablesToOpen() const
{
    return {};
}

std::vector<engine::Table*> TFichaRegSanidad::tablesToClose() const
{
    return {};
}
