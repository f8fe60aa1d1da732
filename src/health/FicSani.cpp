#include "health/FicSani.h"

// An empty window for now: its controls and behaviour come with its own part.
TFichaSanidad::TFichaSanidad(QWidget* parent)
    : platform::Window(parent)
{
    setWindowTitle(QStringLiteral("  Registro Visita / Tratamiento"));
    setClientSize(742, 390);
    setHelpTopic(5);
}
