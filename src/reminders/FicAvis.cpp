#include "reminders/FicAvis.h"

// An empty window for now: its controls and behaviour come with its own part.
TFicheroAvisos::TFicheroAvisos(QWidget* parent)
    : platform::Window(parent)
{
    setWindowTitle(QStringLiteral("  Registro de Avisos y Recordatorios."));
    setClientSize(742, 390);
    setHelpTopic(8);
}
