// The main window, hub of the program: a coloured header with four pictures
// and two columns of fancy buttons that open every other window modally.
#pragma once

#include "platform/EnterAsTab.h"
#include "platform/Window.h"

#include <QLabel>
#include <memory>

class QCoreApplication;
class TDsFancyButton;
class TModuloGeneral;
class TFichaPerro;
class TFichaAlbum;
class TFichaRegSanidad;
class TFichaVacunas;
class TFicheroVeterinarios;
class TFicheroMascotas;
class TFicheroAvisos;
class TAboutBox;
class TFicheroIniAvisos;

namespace app {

// A header picture that answers a click of the left button.
class ClickImage : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
};

// Qt's own texts (the file chooser, the print dialog, the standard buttons of
// its dialogs) in Spanish, from Qt's catalogue beside its libraries, read when
// Qt first asks for one of them; the program's own texts are Spanish already.
// Returns whether the catalogue is there; without it those texts stay English.
bool loadQtTranslations(QCoreApplication& application);

} // namespace app

class TMenuGeneral : public platform::Window {
    Q_OBJECT
public:
    // What the main window shows and reads. It is created before the data
    // module, so the registry hands these over once everything exists; a
    // button whose window is missing does nothing.
    struct Windows {
        TModuloGeneral* data = nullptr;
        TFichaPerro* pet = nullptr;
        TFicheroMascotas* petList = nullptr;
        TFichaAlbum* album = nullptr;
        TFichaRegSanidad* healthRegister = nullptr;
        TFichaVacunas* vaccinations = nullptr;
        TFicheroVeterinarios* clinics = nullptr;
        TFicheroAvisos* reminders = nullptr;
        TAboutBox* about = nullptr;
        TFicheroIniAvisos* pendingReminders = nullptr;
    };

    // The creation handler: builds the window, installs Enter as Tab and sets
    // the help file.
    explicit TMenuGeneral(QWidget* parent = nullptr);
    ~TMenuGeneral() override;

    void setWindows(const Windows& windows) { m_windows = windows; }

    // Menu reset: the main buttons green again, the right column hidden.
    void Limpia_Menu();

    QLabel* Panel1 = nullptr;
    QWidget* Panel2 = nullptr;
    QWidget* Panel3 = nullptr;
    QWidget* Panel4 = nullptr;
    QWidget* Contenido = nullptr; // the content area, 732 x 336 at (5, 49)
    QLabel* Image1 = nullptr;
    QLabel* Image7 = nullptr;
    app::ClickImage* Image5 = nullptr; // help
    app::ClickImage* Image3 = nullptr; // about
    app::ClickImage* Image4 = nullptr; // minimise
    app::ClickImage* Image6 = nullptr; // close

    TDsFancyButton* But_Datos_Mascotas = nullptr;
    TDsFancyButton* But_Album = nullptr;
    TDsFancyButton* But_Control_Sanitario = nullptr;
    TDsFancyButton* But_Avisos = nullptr;
    TDsFancyButton* But_Configuraciones = nullptr;
    TDsFancyButton* But_Salir = nullptr;

    TDsFancyButton* But_Mascota_1 = nullptr;
    TDsFancyButton* But_Mascota_2 = nullptr;
    TDsFancyButton* But_Todas_Mascotas = nullptr;
    TDsFancyButton* But_Registro = nullptr;
    TDsFancyButton* But_Vacunaciones = nullptr;
    TDsFancyButton* But_Veterinarios = nullptr;

protected:
    // The first activation runs the pending reminders scan.
    void activate() override;
    // The close handler: the flat look goes with the main window.
    void closing() override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildHeader();
    void buildContent();

    // The button actions, named for what the user chooses.
    void showPetButtons();
    void openPet(bool second);
    void showAlbum();
    void showHealthButtons();
    void showHealthRegister();
    void showVaccinations();
    void showClinics();
    void showPetList();
    void showReminders();
    void showAbout();
    void showHelpContents();
    void minimiseProgram();

    // The pending reminders scan of the start-up, once per run.
    void runPendingReminders();

    // The application-wide Enter-as-Tab hook, installed for the whole run.
    std::unique_ptr<platform::EnterAsTab> AppMessage;
    Windows m_windows;
    bool m_remindersScanned = false;
    bool m_scanAfterPaint = false;
};
