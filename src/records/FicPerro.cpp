#include "records/FicPerro.h"

// An empty window for now: its controls and behaviour come with its own part.
TFichaPerro::TFichaPerro(QWidget* parent)
    : platform::Window(parent)
{
    setWindowTitle(QStringLiteral("Datos de la Mascota"));
    setClientSize(742, 390);
    setHelpTopic(3, true);
}
