#include "reminders/FicIni.h"

// An empty window for now: its controls and behaviour come with its own part.
TFicheroIniAvisos::TFicheroIniAvisos(QWidget* parent)
    : platform::Window(parent)
{
    setWindowTitle(QStringLiteral("  Existen Avisos pendientes."));
    setClientSize(487, 184);
    setHelpTopic(8);
}
