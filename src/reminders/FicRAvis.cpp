#include "reminders/FicRAvis.h"

// An empty window for now: its controls and behaviour come with its own part.
TFichaRegAvisos::TFichaRegAvisos(QWidget* parent)
    : platform::Window(parent)
{
    setWindowTitle(QStringLiteral("Datos del Aviso."));
    setClientSize(537, 232);
    setHelpTopic(8, true);
}
