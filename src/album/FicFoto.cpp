#include "album/FicFoto.h"

// An empty window for now: its controls and behaviour come with its own part.
TFichaFoto::TFichaFoto(QWidget* parent)
    : platform::Window(parent)
{
    setWindowTitle(QStringLiteral("  Datos de la Fotografia."));
    setClientSize(692, 223);
    setHelpTopic(5, true);
}
