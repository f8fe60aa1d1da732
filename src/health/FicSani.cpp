#include "health/FicSani.h"

#include "data/ModGen.h"

// The window's frame: its caption, size and help topic, with no controls,
// tables or buttons yet.
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
