// The photo album: a pet's photographs with the picture of the chosen one,
// opened with the desktop's program (Abrir) or stretched to its area (Ajustar).
#pragma once

#include "engine/Listeners.h"
#include "records/ListWindow.h"

#include <QStringList>

class QFrame;
class QLabel;
class TModuloGeneral;
namespace album {
class PictureArea;
}

class TFichaAlbum : public records::ListWindow {
    Q_OBJECT
public:
    explicit TFichaAlbum(TModuloGeneral& dataModule, QWidget* parent = nullptr);
    ~TFichaAlbum() override;

    // Abrir: hands the stored location to the desktop; nothing is reported.
    void openPicture();
    // Ajustar: switches the area's stretching and stores it with the photograph.
    void adjustPicture();

    // The picture display: the current photograph's file, stretched as its
    // ADJUST says. A picture that cannot be loaded throws PictureError and
    // leaves the area as it was.
    void showCurrentPicture();
    // After the photo window: the current photograph's file at its own size.
    void showCurrentPictureAtOwnSize();
    // Loads that failed in the picture display so far; their message has
    // been shown. Operations compare it to stop after a failed step.
    int failedDisplays() const { return m_failedDisplays; }

    QLabel* Image1 = nullptr;
    QFrame* Bevel1 = nullptr;
    bound::DBGrid* DbGridMascotas = nullptr;
    bound::DBGrid* DBGrid1 = nullptr;
    album::PictureArea* Imagen = nullptr;
    TDsFancyButton* But_Abrir = nullptr;
    TDsFancyButton* But_Ajustar = nullptr;
    TDsFancyButton* But_Anadir = nullptr;
    TDsFancyButton* But_Modificar = nullptr;
    TDsFancyButton* But_Borrar = nullptr;
    TDsFancyButton* But_Salir = nullptr;

protected:
    void build() override;
    engine::Table& listTable() const override;
    std::vector<engine::Table*> tablesToOpen() const override;
    std::vector<engine::Table*> tablesToClose() const override;

private:
    void loadCurrentPicture(bool stretched);
    // The picture display; a failing load is reported, never thrown. Inside a
    // change of the album table (`whenChangeEnds`) the message waits until
    // the grid and the photo window's boxes have followed the change, so the
    // box shows what the message speaks of. Returns whether it was shown.
    bool displayReportingFailure(bool whenChangeEnds = false);
    void showWaitingFailures();
    // The photographs before and after the current one are decoded in the
    // background, so a move to either is served from the picture cache.
    void readAheadNeighbours();

    TModuloGeneral& m_data;
    int m_failedDisplays = 0;
    QStringList m_waitingFailures;
    // Heard after every other listener of the album table's changes.
    engine::ScopedConnection m_changeEnded;
};
