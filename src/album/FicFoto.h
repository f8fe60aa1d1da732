// The photo record window: a photograph's description and picture file,
// typed or picked with the picture chooser.
#pragma once

#include "records/RecordWindow.h"

#include <memory>

class QFileDialog;
class QFrame;
class QLabel;
class QToolButton;
class TFichaAlbum;
class TModuloGeneral;
namespace bound {
class DBEdit;
}
namespace engine {
class DataSource;
}

class TFichaFoto : public records::RecordWindow {
    Q_OBJECT
public:
    explicit TFichaFoto(TModuloGeneral& dataModule, QWidget* parent = nullptr);
    ~TFichaFoto() override;

    // The album whose picture this window reloads when it closes.
    void setAlbumWindow(TFichaAlbum* album) { m_album = album; }

    // Aceptar and Cancelar; Aceptar on a location whose picture does not
    // load stores nothing and keeps the window open, so the location can be
    // corrected. Closed any other way, the window acts as Cancelar.
    void acceptPhoto();
    void cancelPhoto();
    // "Seleccionar Imagen": the chosen file's path goes into CARPETA as the
    // chooser returns it; cancelling changes nothing.
    void choosePicture();

    // The chooser, made at its first use and kept for the window's life.
    QFileDialog* pictureChooser();

    void done(int result) override;

    QLabel* Image1 = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    bound::DBEdit* EDIT_DESC = nullptr;
    bound::DBEdit* EDIT_CARPETA = nullptr;
    bound::DBEdit* DBEdit1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;

protected:
    void build() override;
    engine::Table& recordTable() const override;

private:
    bound::DBEdit* addBox(const char* name, engine::DataSource* source, const char* field, int top);
    int failedDisplays() const;

    TModuloGeneral& m_data;
    TFichaAlbum* m_album = nullptr;
    std::unique_ptr<QFileDialog> m_chooser;
    QString m_lastFile;
    QString m_lastFilter;
    // Set while Aceptar closes the window: a picture that then fails keeps it open.
    bool m_accepting = false;
    // Failed displays when the operation closing the window began (-1: none
    // under way): a failure already shown in it is not shown twice.
    int m_failedAtOperation = -1;
};
