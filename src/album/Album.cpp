#include "album/Album.h"

#include "album/PictureArea.h"
#include "album/PictureLoaders.h"
#include "bound/DBGrid.h"
#include "controls/ButtonLook.h"
#include "data/ModGen.h"
#include "engine/Table.h"
#include "platform/Application.h"
#include "platform/Guarded.h"
#include "platform/Shell.h"

#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QTimer>

TFichaAlbum::TFichaAlbum(TModuloGeneral& dataModule, QWidget* parent)
    : records::ListWindow(parent)
    , m_data(dataModule)
{
    setObjectName(QStringLiteral("FichaAlbum"));
    setWindowTitle(QStringLiteral("  Albúm de Fotografias."));
    setClientSize(742, 390);
    setHelpTopic(4, true);

    buildUnlessDeferred();
}

TFichaAlbum::~TFichaAlbum()
{
    m_data.refreshAlbumPicture = {};
}

void TFichaAlbum::build()
{
    // Built from back to front.
    const ListFurniture made = addListFurniture();
    Image1 = made.picture;
    Bevel1 = made.band;
    Bevel1->setGeometry(0, 320, 750, 9);

    DbGridMascotas = new bound::DBGrid(this);
    DbGridMascotas->setObjectName(QStringLiteral("DbGridMascotas"));
    DbGridMascotas->setGeometry(8, 12, 337, 75);
    DbGridMascotas->setDataSource(m_data.SourceMascotas);
    DbGridMascotas->setColumns(
        { { QStringLiteral("NOM_FAMI"), QStringLiteral("Seleccionar Mascota"), 332 } });
    DbGridMascotas->setSelection(bound::DBGrid::Selection::Cell);

    DBGrid1 = new bound::DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(8, 104, 337, 201);
    DBGrid1->setDataSource(m_data.SourceAlbum);
    DBGrid1->setColumns({ { QStringLiteral("DESCRIPCION"), QStringLiteral("Descripción Fotografia"), 330 } });
    DBGrid1->setSelection(bound::DBGrid::Selection::Rows);
    modifyOnDoubleClick(DBGrid1);
    QWidget::setTabOrder(DbGridMascotas, DBGrid1);

    Imagen = new album::PictureArea(this);
    Imagen->setObjectName(QStringLiteral("Imagen"));
    Imagen->setGeometry(360, 12, 369, 297);

    But_Abrir = controls::makeWindowButton(
        this, QStringLiteral("But_Abrir"), QStringLiteral("&Abrir"), QRect(31, 345, 95, 30));
    connect(But_Abrir, &TDsFancyButton::clicked, this, platform::guard(this, &TFichaAlbum::openPicture));
    But_Ajustar = controls::makeWindowButton(
        this, QStringLiteral("But_Ajustar"), QStringLiteral("A&justar"), QRect(147, 345, 95, 30));
    connect(But_Ajustar, &TDsFancyButton::clicked, this, platform::guard(this, &TFichaAlbum::adjustPicture));
    But_Anadir = addOperationButton(Operation::Append, 264);
    But_Modificar = addOperationButton(Operation::Modify, 381);
    But_Borrar = addOperationButton(Operation::Delete, 498);
    But_Salir = addOperationButton(Operation::Leave, 615);

    // Grids do not take typed characters, so letters alone work the buttons.
    DbGridMascotas->setFocus();

    // The picture display runs in the data module, which knows no widget.
    m_data.refreshAlbumPicture = [this] { displayReportingFailure(true); };
    // The data module hears the album table first; this listener, added
    // after the grids and boxes, hears it last.
    m_changeEnded = m_data.TablaAlbum->onDataChanged([this](engine::Field*) { showWaitingFailures(); });
}

engine::Table& TFichaAlbum::listTable() const
{
    return *m_data.TablaAlbum;
}

std::vector<engine::Table*> TFichaAlbum::tablesToOpen() const
{
    return { m_data.TablaMascotas, m_data.TablaAlbum };
}

std::vector<engine::Table*> TFichaAlbum::tablesToClose() const
{
    // Releasing the pet link shows a photograph once more; a picture that
    // fails then is reported by the display and the closing goes on.
    return { m_data.TablaMascotas, m_data.TablaAlbum };
}

void TFichaAlbum::loadCurrentPicture(bool stretched)
{
    const QString path = m_data.TablaAlbumCARPETA->asString();
    if (path.isEmpty())
        Imagen->clear();
    else
        Imagen->load(path, stretched);
}

void TFichaAlbum::showCurrentPicture()
{
    ensureBuilt();
    const bool stretched = m_data.TablaAlbumADJUST->asBoolean();
    loadCurrentPicture(stretched);
    Imagen->setStretched(stretched);
    Imagen->update();
}

void TFichaAlbum::showCurrentPictureAtOwnSize()
{
    ensureBuilt();
    loadCurrentPicture(false);
    Imagen->setStretched(false);
    Imagen->update();
}

bool TFichaAlbum::displayReportingFailure(bool whenChangeEnds)
{
    QString message;
    try {
        showCurrentPicture();
        readAheadNeighbours();
        return true;
    } catch (const engine::EngineError& error) {
        message = error.message();
    } catch (const std::exception& error) {
        message = QString::fromLocal8Bit(error.what());
    }
    // Counted at once: the operation that caused the change stops on it.
    ++m_failedDisplays;
    m_waitingFailures << message;
    if (whenChangeEnds) {
        // Should another listener throw, the change never reaches the last
        // one: the message then comes as soon as the program is idle.
        QTimer::singleShot(0, this, &TFichaAlbum::showWaitingFailures);
    } else {
        showWaitingFailures();
    }
    return false;
}

void TFichaAlbum::showWaitingFailures()
{
    // Taken first: a message box runs its own loop, in which another change
    // may fail and queue its own message.
    while (!m_waitingFailures.isEmpty())
        platform::Application::showError(m_waitingFailures.takeFirst());
}

void TFichaAlbum::readAheadNeighbours()
{
    engine::Table& album = *m_data.TablaAlbum;
    // While a photograph is edited the same one is shown again and again.
    if (album.state() != engine::TableState::Browse)
        return;
    std::vector<pictures::PictureRequest> wanted;
    try {
        const int row = album.rowIndex();
        const int count = album.recordCount();
        for (const int neighbour : { row + 1, row - 1 }) {
            if (row < 0 || neighbour < 0 || neighbour >= count)
                continue;
            const auto values
                = album.readRows(neighbour, 1, { QStringLiteral("CARPETA"), QStringLiteral("ADJUST") });
            const QString path = values.empty() ? QString() : values.front().at(0).toString();
            if (path.isEmpty())
                continue;
            const bool stretched = values.front().at(1).toBool();
            wanted.push_back(
                { path, Imagen->size(), stretched ? pictures::Fit::Stretch : pictures::Fit::OwnSize,
                    pictures::BitmapTransparency::BottomLeftPixel });
        }
    } catch (const engine::EngineError&) {
        // Reading ahead is only a head start; the move itself reports.
        wanted.clear();
    }
    album::readAhead(std::move(wanted));
}

void TFichaAlbum::openPicture()
{
    const QString location = m_data.TablaAlbumCARPETA->asString();
    // Only a path goes to the desktop: a web or mail address stored here
    // would otherwise open a browser or a mail program. The shell itself
    // opens nothing but existing picture files; its answer is not reported.
    if (!QDir::isAbsolutePath(location))
        return;
    platform::shell().openText(location);
}

void TFichaAlbum::adjustPicture()
{
    engine::Table& album = *m_data.TablaAlbum;
    // Without a photograph there is nothing to stretch: an edit would start
    // an empty photograph and the post would store it.
    if (!album.active() || (album.state() == engine::TableState::Browse && album.isEmpty()))
        return;
    // Decided from what the area shows, not from the stored flag.
    const bool stretched = !Imagen->stretched();
    Imagen->setStretched(stretched);
    const int failedBefore = m_failedDisplays;
    album.edit();
    // The display runs on entering edit state too; its failure stops here,
    // before the flag is written.
    if (m_failedDisplays != failedBefore || !displayReportingFailure())
        return;
    m_data.TablaAlbumADJUST->setAsBoolean(stretched);
    if (m_failedDisplays != failedBefore)
        return;
    album.post();
    Imagen->update();
}
