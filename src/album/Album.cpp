#include "album/Album.h"

#include "data/ModGen.h"

// The window's frame: its caption, size and help topic, with no controls,
// tables or buttons yet.
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
