#include "health/FicVeter.h"

// An empty window for now: its controls and behaviour come with its own part.
TFichaVeterinarios::TFichaVeterinarios(QWidget* parent)
    : platform::Window(parent)
{
    setWindowTitle(QStringLiteral(" Datos de la Clínica Veterinaria"));
    setClientSize(742, 390);
    setHelpTopic(7);
}
