#include "album/Album.h"

// An empty window for now: its controls and behaviour come with its own part.
TFichaAlbum::TFichaAlbum(QWidget* parent)
    : platform::Window(parent)
{
    setWindowTitle(QStringLiteral("  Albúm de Fotografias."));
    setClientSize(742, 390);
    setHelpTopic(4, true);
}
