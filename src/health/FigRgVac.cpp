#include "health/FigRgVac.h"

// An empty window for now: its controls and behaviour come with its own part.
TFichaRegVacunas::TFichaRegVacunas(QWidget* parent)
    : platform::Window(parent)
{
    setWindowTitle(QStringLiteral("Modificación datos Vacunas."));
    setClientSize(420, 203);
    setHelpTopic(6, true);
}
