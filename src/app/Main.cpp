#include "app/Main.h"

#include "about/Acerca.h"
#include "album/Album.h"
#include "app/MainPictures.h"
#include "controls/ButtonLook.h"
#include "controls/Colors.h"
#include "controls/Fonts.h"
#include "data/ModGen.h"
#include "health/FicVac.h"
#include "health/TabVeter.h"
#include "health/sanidad.h"
#include "platform/FlatStyle.h"
#include "platform/Furniture.h"
#include "platform/Guarded.h"
#include "platform/Help.h"
#include "platform/ProgramFiles.h"
#include "platform/WindowManager.h"
#include "records/FicPerro.h"
#include "records/TabMascotas.h"
#include "reminders/FicAvis.h"
#include "reminders/PendingScan.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMetaObject>
#include <QMouseEvent>
#include <QTranslator>

#include <mutex>

namespace app {

void ClickImage::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void ClickImage::mouseReleaseEvent(QMouseEvent* event)
{
    // A click is a press and a release over the picture, as for a button.
    const bool click
        = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}

namespace {

// Qt's catalogue, read at the first of Qt's texts asked for (the first of its
// dialogs shown), not at start-up, where nothing of Qt's shows yet.
class QtCatalogue : public QTranslator {
public:
    QtCatalogue(QString file, QObject* parent)
        : QTranslator(parent)
        , m_file(std::move(file))
    {
    }

    QString translate(
        const char* context, const char* sourceText, const char* disambiguation, int n) const override
    {
        // Qt asks this one as the catalogue is installed; Spanish reads
        // left to right, which needs no catalogue read.
        if (qstrcmp(context, "QGuiApplication") == 0 && qstrcmp(sourceText, "QT_LAYOUT_DIRECTION") == 0)
            return QStringLiteral("LTR");
        std::call_once(m_loading, [this] { m_loaded = m_catalogue.load(m_file); });
        // Without it Qt keeps its own (English) text.
        return m_loaded ? m_catalogue.translate(context, sourceText, disambiguation, n) : QString();
    }
    bool isEmpty() const override { return false; }

private:
    QString m_file;
    mutable std::once_flag m_loading;
    mutable QTranslator m_catalogue;
    mutable bool m_loaded = false;
};

} // namespace

bool loadQtTranslations(QCoreApplication& application)
{
    const QString file = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_es.qm");
    if (!QFileInfo::exists(file))
        return false;
    return QCoreApplication::installTranslator(new QtCatalogue(file, &application));
}

} // namespace app

namespace {

constexpr int kButtonWidth = 241;
constexpr int kButtonHeight = 30;
constexpr int kLeftColumn = 16;
constexpr int kRightColumn = 288;

QString petCaption(int number, const QString& name)
{
    // The name's own ampersands are doubled, or the caption would take them
    // as accelerators ("TOM & JERRY" showing "TOM _JERRY").
    QString shown = name.isEmpty() ? QStringLiteral("MASCOTA") : name;
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(number).arg(shown);
}

} // namespace

TMenuGeneral::TMenuGeneral(QWidget* parent)
    : platform::Window(parent)
{
    // A borderless top-level window: the caption is never drawn, but it names
    // the window for the desktop.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QStringLiteral("Huellario  2.0"));
    setClientSize(742, 390);
    setHelpTopic(2);
    platform::furniture::setGround(this, platform::furniture::Ground::White);
    // Every window's standard controls take the flat look while this one exists.
    platform::skin::switchOn();

    buildHeader();
    buildContent();

    AppMessage = std::make_unique<platform::EnterAsTab>();
    platform::windowmanager::installModalRestorer();
    platform::help::setHelpFile(platform::programDataFile(QStringLiteral("HLR20.HLP")));
}

TMenuGeneral::~TMenuGeneral()
{
    platform::skin::switchOff();
}

void TMenuGeneral::closing()
{
    platform::Window::closing();
    platform::skin::switchOff();
}

void TMenuGeneral::buildHeader()
{
    const QColor titleBar = controls::systemColor(controls::SystemColor::ActiveCaption, palette());
    auto strip = [this, &titleBar](QWidget* panel, const char* name, QRect place) {
        panel->setObjectName(QString::fromLatin1(name));
        panel->setGeometry(place);
        panel->setAutoFillBackground(true);
        QPalette colours = panel->palette();
        colours.setColor(QPalette::Window, titleBar);
        panel->setPalette(colours);
    };

    Panel1 = new QLabel(QStringLiteral("    Huellario "), this);
    strip(Panel1, "Panel1", QRect(0, 0, 742, 49));
    Panel1->setTextFormat(Qt::PlainText);
    Panel1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Panel1->setFont(controls::withoutFallbacksFor(
        controls::makeFont(QString::fromLatin1(controls::kBerlingFace), 27, true, true), Panel1->text()));
    QPalette header = Panel1->palette();
    header.setColor(QPalette::WindowText, Qt::white);
    Panel1->setPalette(header);

    Panel2 = new QWidget(this);
    strip(Panel2, "Panel2", QRect(0, 49, 5, 336));
    Panel3 = new QWidget(this);
    strip(Panel3, "Panel3", QRect(737, 49, 5, 336));
    Panel4 = new QWidget(this);
    strip(Panel4, "Panel4", QRect(0, 385, 742, 5));

    auto image = [this](const char* name, int left, const QPixmap& picture, const QString& hint) {
        auto* label = new app::ClickImage(Panel1);
        label->setObjectName(QString::fromLatin1(name));
        label->setGeometry(left, 8, 32, 32);
        label->setPixmap(picture);
        label->setCursor(Qt::PointingHandCursor);
        label->setToolTip(hint);
        return label;
    };
    Image5 = image("Image5", 580, app::pictures::help(), QStringLiteral("Ayuda"));
    Image3 = image("Image3", 624, app::pictures::about(), QStringLiteral("Acerca de ..."));
    Image4 = image("Image4", 664, app::pictures::minimise(), QStringLiteral("Minimizar Programa"));
    Image6 = image("Image6", 704, app::pictures::close(), QStringLiteral("Cerrar Programa"));
    connect(Image5, &app::ClickImage::clicked, this, platform::guard(this, &TMenuGeneral::showHelpContents));
    connect(Image3, &app::ClickImage::clicked, this, platform::guard(this, &TMenuGeneral::showAbout));
    connect(Image4, &app::ClickImage::clicked, this, platform::guard(this, &TMenuGeneral::minimiseProgram));
    connect(Image6, &app::ClickImage::clicked, this, &QWidget::close);
}

void TMenuGeneral::buildContent()
{
    Contenido = new QWidget(this);
    Contenido->setObjectName(QStringLiteral("Contenido"));
    Contenido->setGeometry(5, 49, 732, 336);
    Image1 = platform::furniture::addBackground(Contenido);

    Image7 = new QLabel(Contenido);
    Image7->setObjectName(QStringLiteral("Image7"));
    Image7->setGeometry(368, 248, 349, 84);
    Image7->setPixmap(app::pictures::logo());
    Image7->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto button = [this](controls::ButtonLook look, const char* name, int top, const QString& caption,
                      const QString& hint) {
        const int left = look == controls::ButtonLook::MainMenu ? kLeftColumn : kRightColumn;
        return controls::makeButton(look, Contenido, QString::fromLatin1(name), caption,
            QRect(left, top, kButtonWidth, kButtonHeight), hint);
    };
    using controls::ButtonLook;
    But_Datos_Mascotas
        = button(ButtonLook::MainMenu, "But_Datos_Mascotas", 25, QStringLiteral("Datos de las &Mascotas"),
            QStringLiteral("Menú de acceso a los datos de las mascotas"));
    But_Album = button(ButtonLook::MainMenu, "But_Album", 76, QStringLiteral("&Albúm de Fotografías"),
        QStringLiteral("Albúm de las fotos de tus mascotas"));
    But_Control_Sanitario = button(ButtonLook::MainMenu, "But_Control_Sanitario", 127,
        QStringLiteral("&Control Sanitario"), QStringLiteral("Controles Sanitarios de las Mascotas"));
    But_Avisos = button(ButtonLook::MainMenu, "But_Avisos", 178, QStringLiteral("A&visos / Recordatorios"),
        QStringLiteral("Gestión de Avisos y Recordatorios"));
    But_Configuraciones = button(ButtonLook::MainMenu, "But_Configuraciones", 229,
        QStringLiteral("Ace&rca de . . ."), QStringLiteral("Información General del programa"));
    But_Salir = button(ButtonLook::MainMenu, "But_Salir", 281, QStringLiteral("&Salir del Programa"),
        QStringLiteral("Salir del programa"));

    const QString petHint = QStringLiteral("Datos de la Mascota");
    But_Mascota_1
        = button(ButtonLook::SecondColumn, "But_Mascota_1", 25, QStringLiteral("Mascota 1"), petHint);
    But_Mascota_2
        = button(ButtonLook::SecondColumn, "But_Mascota_2", 73, QStringLiteral("Mascota 2"), petHint);
    But_Todas_Mascotas = button(ButtonLook::SecondColumn, "But_Todas_Mascotas", 121,
        QStringLiteral("&Todas las Mascotas"), QStringLiteral("Lista de todas las mascotas de la casa"));
    But_Registro = button(ButtonLook::SecondColumn, "But_Registro", 127, QStringLiteral("Registro Sanitario"),
        QStringLiteral("Registro de Visitas y Tratamientos Sanitarios "));
    But_Vacunaciones = button(ButtonLook::SecondColumn, "But_Vacunaciones", 178,
        QStringLiteral("Vacunaciones"), QStringLiteral("Control de Vacunaciones de las Mascotas"));
    But_Veterinarios = button(ButtonLook::SecondColumn, "But_Veterinarios", 229,
        QStringLiteral("Clínicas / Veterinarios"), QStringLiteral("Tabla de Clínicas y Veterinarios"));
    for (TDsFancyButton* sub : { But_Mascota_1, But_Mascota_2, But_Todas_Mascotas, But_Registro,
             But_Vacunaciones, But_Veterinarios })
        sub->hide();

    connect(But_Datos_Mascotas, &TDsFancyButton::clicked, this,
        platform::guard(this, &TMenuGeneral::showPetButtons));
    connect(But_Album, &TDsFancyButton::clicked, this, platform::guard(this, &TMenuGeneral::showAlbum));
    connect(But_Control_Sanitario, &TDsFancyButton::clicked, this,
        platform::guard(this, &TMenuGeneral::showHealthButtons));
    connect(But_Avisos, &TDsFancyButton::clicked, this, platform::guard(this, &TMenuGeneral::showReminders));
    connect(But_Configuraciones, &TDsFancyButton::clicked, this, platform::guard([this] {
        Limpia_Menu();
        showAbout();
    }));
    connect(But_Salir, &TDsFancyButton::clicked, this, &QWidget::close);
    connect(But_Mascota_1, &TDsFancyButton::clicked, this, platform::guard([this] { openPet(false); }));
    connect(But_Mascota_2, &TDsFancyButton::clicked, this, platform::guard([this] { openPet(true); }));
    connect(But_Todas_Mascotas, &TDsFancyButton::clicked, this,
        platform::guard(this, &TMenuGeneral::showPetList));
    connect(But_Registro, &TDsFancyButton::clicked, this,
        platform::guard(this, &TMenuGeneral::showHealthRegister));
    connect(But_Vacunaciones, &TDsFancyButton::clicked, this,
        platform::guard(this, &TMenuGeneral::showVaccinations));
    connect(
        But_Veterinarios, &TDsFancyButton::clicked, this, platform::guard(this, &TMenuGeneral::showClinics));
}

void TMenuGeneral::Limpia_Menu()
{
    for (TDsFancyButton* main : { But_Datos_Mascotas, But_Album, But_Control_Sanitario })
        main->setColor(controls::clMoneyGreen);
    for (TDsFancyButton* sub : { But_Mascota_1, But_Mascota_2, But_Todas_Mascotas, But_Registro,
             But_Vacunaciones, But_Veterinarios })
        sub->hide();
}

void TMenuGeneral::activate()
{
    // The scan waits for the window's first paint, so the user sees the
    // program at once and the pending window opens over a painted one.
    if (m_remindersScanned)
        return;
    m_remindersScanned = true;
    m_scanAfterPaint = true;
    update();
}

void TMenuGeneral::paintEvent(QPaintEvent* event)
{
    platform::Window::paintEvent(event);
    if (m_scanAfterPaint) {
        m_scanAfterPaint = false;
        QMetaObject::invokeMethod(
            this, platform::guard(this, &TMenuGeneral::runPendingReminders), Qt::QueuedConnection);
    }
}

void TMenuGeneral::runPendingReminders()
{
    // A table error is shown as the program's error; the window stays usable.
    if (m_windows.data && m_windows.pendingReminders)
        reminders::scanPendingReminders(*m_windows.data, *m_windows.pendingReminders);
}

void TMenuGeneral::showPetButtons()
{
    if (!m_windows.data)
        return;
    // The captions come from the first record and the one after it; with a
    // single pet both name it, on an empty table both read MASCOTA.
    TModuloGeneral& dataModule = *m_windows.data;
    engine::Table& pets = *dataModule.TablaMascotas;
    pets.open();
    But_Mascota_1->setCaption(petCaption(1, dataModule.TablaMascotasNOM_FAMI->asString()));
    pets.next();
    But_Mascota_2->setCaption(petCaption(2, dataModule.TablaMascotasNOM_FAMI->asString()));
    pets.close();
    Limpia_Menu();
    But_Datos_Mascotas->setColor(controls::clSkyBlue);
    But_Mascota_1->show();
    But_Mascota_2->show();
    But_Todas_Mascotas->show();
}

void TMenuGeneral::showPetList()
{
    if (m_windows.petList)
        m_windows.petList->showModal();
    // The buttons name the first two pets, which the list may have changed.
    if (But_Mascota_1->isVisible())
        showPetButtons();
}

void TMenuGeneral::openPet(bool second)
{
    if (!m_windows.data || !m_windows.pet)
        return;
    TModuloGeneral& dataModule = *m_windows.data;
    engine::Table& pets = *dataModule.TablaMascotas;
    pets.open();
    dataModule.TablaEspecies->open();
    dataModule.TablaRazas->setFiltered(false);
    dataModule.TablaRazas->open();
    // Each button opens the pet its caption names: the first record and the
    // one after it (with one pet, both the same).
    pets.first();
    if (second)
        pets.next();
    // An empty table starts a new record instead.
    pets.edit();
    m_windows.pet->showModal();
}

void TMenuGeneral::showAlbum()
{
    Limpia_Menu();
    if (m_windows.album)
        m_windows.album->showModal();
}

void TMenuGeneral::showHealthButtons()
{
    Limpia_Menu();
    But_Control_Sanitario->setColor(controls::clSkyBlue);
    But_Registro->show();
    But_Vacunaciones->show();
    But_Veterinarios->show();
}

void TMenuGeneral::showHealthRegister()
{
    if (!m_windows.data || !m_windows.healthRegister)
        return;
    m_windows.data->TablaMascotas->open();
    m_windows.data->TablaSanidad->open();
    m_windows.healthRegister->showModal();
}

void TMenuGeneral::showVaccinations()
{
    if (!m_windows.data || !m_windows.vaccinations)
        return;
    m_windows.data->TablaMascotas->open();
    m_windows.data->TablaVacunas->open();
    m_windows.vaccinations->showModal();
}

void TMenuGeneral::showClinics()
{
    if (m_windows.clinics)
        m_windows.clinics->showModal();
}

void TMenuGeneral::showReminders()
{
    Limpia_Menu();
    if (m_windows.reminders)
        m_windows.reminders->showModal();
}

void TMenuGeneral::showAbout()
{
    if (m_windows.about)
        m_windows.about->showModal();
}

void TMenuGeneral::showHelpContents()
{
    platform::help::showContents(this);
}

void TMenuGeneral::minimiseProgram()
{
    showMinimized();
}
