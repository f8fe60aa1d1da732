#include "health/FicVeter.h"

#include "data/ModGen.h"

// The window's frame: its caption, size and help topic, with no controls,
// tables or buttons yet.
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
