#include "health/TabVeter.h"

// An empty window for now: its controls and behaviour come with its own part.
TFicheroVeterinarios::TFicheroVeterinarios(QWidget* parent)
    : platform::Window(parent)
{
    setWindowTitle(QStringLiteral("Tabla de Clínicas Veterinarias y Veterinarios."));
    setClientSize(742, 390);
    setHelpTopic(7);
}
