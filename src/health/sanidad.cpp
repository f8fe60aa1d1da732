#include "health/sanidad.h"

// An empty window for now: its controls and behaviour come with its own part.
TFichaRegSanidad::TFichaRegSanidad(QWidget* parent)
    : platform::Window(parent)
{
    setWindowTitle(QStringLiteral(" Registro Sanitario"));
    setClientSize(742, 390);
    setHelpTopic(5);
}
