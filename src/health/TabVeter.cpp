#include "health/TabVeter.h"

#include "data/ModGen.h"

// An empty window for now: its controls and behaviour come with its own part.
TFicheroVeterinarios::TFicheroVeterinarios(TModuloGeneral& dataModule, QWidget* parent)
    : records::ListWindow(parent)
    , m_data(dataModule)
{
    setWindowTitle(QStringLiteral("Tabla de Clínicas Veterinarias y Veterinarios."));
    setClientSize(742, 390);
    setHelpTopic(7);
}

engine::Table& TFicheroVeterinarios::listTable() const
{
    return *m_data.TablaVeterinarios;
}

std::vector<engine::Table*> TFicheroVeterinarios::tablesToOpen() const
{
    return {};
}

std::vector<engine::Table*> TFicheroVeterinarios::tablesToClose() const
{
    return {};
}
