#include "album/Album.h"

#include "data/ModGen.h"

// An empty window for now: its controls and behaviour come with its own part.
TFichaAlbum::TFichaAlbum(TModuloGeneral& dataModule, QWidget* parent)
    : records::ListWindow(parent)
    , m_data(dataModule)
{
    setWindowTitle(QStringLiteral("  Albúm de Fotografias."));
    setClientSize(742, 390);
    setHelpTopic(4, true);
}

engine::Table& TFichaAlbum::listTable() const
{
    return *m_data.TablaAlbum;
}

std::vector<engine::Table*> TFichaAlbum::tablesToOpen() const
{
    return {};
}

std::vector<engine::Table*> TFichaAlbum::tablesToClose() const
{
    return {};
}
