#include "health/sanidad.h"

#include "data/ModGen.h"

// The window's frame: its caption, size and help topic, with no controls,
// tables or buttons yet.
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
