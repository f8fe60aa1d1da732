#include "album/FicFoto.h"

#include "data/ModGen.h"

// The window's frame: its caption, size and help topic, with no controls,
// tables or buttons yet.
TFichaFoto::TFichaFoto(TModuloGeneral& dataModule, QWidget* parent)
    : records::RecordWindow(parent)
    , m_data(dataModule)
{
    setWindowTitle(QStringLiteral("  Datos de la Fotografia."));
    setClientSize(692, 223);
    setHelpTopic(5, true);
}

engine::Table& TFichaFoto::recordTable() const
{
    return *m_data.TablaAlbum;
}
