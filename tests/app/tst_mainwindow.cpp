// The main window: its layout, the pet buttons' captions and the records they
// open, the menu states and their resets, the accelerators typed alone, the
// header pictures and the windows every button shows.
#include "RegistryProgram.h"
#include "support/TestMain.h"

#include "about/Acerca.h"
#include "album/Album.h"
#include "app/Main.h"
#include "app/MainPictures.h"
#include "bound/DBGrid.h"
#include "controls/Accelerators.h"
#include "controls/Colors.h"
#include "controls/FancyButton.h"
#include "controls/Fonts.h"
#include "health/FicVac.h"
#include "health/TabVeter.h"
#include "health/sanidad.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/FlatStyle.h"
#include "platform/Help.h"
#include "records/FicPerro.h"
#include "records/TabMascotas.h"
#include "reminders/FicAvis.h"
#include "reminders/FicIni.h"

#include <QMouseEvent>
#include <QResource>
#include <QSignalSpy>
#include <QTest>

using pettest::pet;
using Program = apptest::RegistryProgram;

namespace {

using PetList = QList<QVariantMap>;

void press(TDsFancyButton* button)
{
    QVERIFY2(button->isVisible(), qPrintable(button->objectName()));
    // The button answers a press only while the pointer is over it.
    const QPoint centre = button->rect().center();
    QMouseEvent move(
        QEvent::MouseMove, centre, button->mapToGlobal(centre), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &move);
    QTest::mouseClick(button, Qt::LeftButton, {}, centre);
}

void click(QWidget* picture)
{
    QTest::mouseClick(picture, Qt::LeftButton, {}, picture->rect().center());
}

void showMain()
{
    MenuGeneral->show();
    MenuGeneral->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(MenuGeneral));
}

QList<TDsFancyButton*> rightColumn()
{
    return { MenuGeneral->But_Mascota_1, MenuGeneral->But_Mascota_2, MenuGeneral->But_Todas_Mascotas,
        MenuGeneral->But_Registro, MenuGeneral->But_Vacunaciones, MenuGeneral->But_Veterinarios };
}

// Which right-column buttons are shown, by name.
QStringList shownSubButtons()
{
    QStringList names;
    for (TDsFancyButton* b : rightColumn()) {
        if (b->isVisible())
            names << b->objectName();
    }
    return names;
}

// Which of the three highlightable buttons are sky blue.
QStringList highlighted()
{
    QStringList names;
    for (TDsFancyButton* b :
        { MenuGeneral->But_Datos_Mascotas, MenuGeneral->But_Album, MenuGeneral->But_Control_Sanitario }) {
        if (b->color() == controls::clSkyBlue)
            names << b->objectName();
        else if (b->color() != controls::clMoneyGreen)
            names << QStringLiteral("?") + b->objectName();
    }
    return names;
}

const QStringList petState { QStringLiteral("But_Mascota_1"), QStringLiteral("But_Mascota_2"),
    QStringLiteral("But_Todas_Mascotas") };
const QStringList healthState { QStringLiteral("But_Registro"), QStringLiteral("But_Vacunaciones"),
    QStringLiteral("But_Veterinarios") };

// What a pet button found when the pet window came up.
struct Opened {
    bool shown = false;
    engine::TableState state = engine::TableState::Inactive;
    QString name;
    bool speciesOpen = false;
    bool breedsOpen = false;
    bool breedsFiltered = true;
};

Opened openPetWindow(TDsFancyButton* button)
{
    Opened seen;
    boundtest::whenShown(FichaPerro, [&seen] {
        seen.shown = true;
        seen.state = ModuloGeneral->TablaMascotas->state();
        seen.name = ModuloGeneral->TablaMascotasNOM_FAMI->asString();
        seen.speciesOpen = ModuloGeneral->TablaEspecies->active();
        seen.breedsOpen = ModuloGeneral->TablaRazas->active();
        seen.breedsFiltered = ModuloGeneral->TablaRazas->filtered();
        FichaPerro->cancelRecord();
    });
    press(button);
    return seen;
}

// Closes `window` once it shows and says whether it did.
struct CloseWhenShown {
    bool shown = false;
    explicit CloseWhenShown(QWidget* window, std::function<void()> look = {})
    {
        boundtest::whenShown(window, [this, window, look = std::move(look)] {
            shown = true;
            if (look)
                look();
            window->close();
        });
    }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { platform::help::setHook({}); }

    void layoutOfHeaderStripsAndContent()
    {
        Program program;
        TMenuGeneral& w = *MenuGeneral;
        QCOMPARE(w.windowTitle(), QStringLiteral("Huellario  2.0"));
        QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(w.size(), QSize(742, 390));
        QCOMPARE(w.helpTopic(), 2);
        QCOMPARE(w.palette().color(QPalette::Window), QColor(Qt::white));

        QCOMPARE(w.Panel1->text(), QStringLiteral("    Huellario "));
        QCOMPARE(w.Panel1->geometry(), QRect(0, 0, 742, 49));
        QVERIFY(w.Panel1->alignment() & Qt::AlignLeft);
        const QFont header = w.Panel1->font();
        QCOMPARE(header.family(), QStringLiteral("Berling Antiqua"));
        QCOMPARE(header.pixelSize(), 27);
        QVERIFY(header.bold() && header.italic());
        QCOMPARE(w.Panel1->palette().color(QPalette::WindowText), QColor(Qt::white));
        const QColor titleBar = w.palette().color(QPalette::Active, QPalette::Highlight);
        QCOMPARE(w.Panel2->geometry(), QRect(0, 49, 5, 336));
        QCOMPARE(w.Panel3->geometry(), QRect(737, 49, 5, 336));
        QCOMPARE(w.Panel4->geometry(), QRect(0, 385, 742, 5));
        for (QWidget* panel : { static_cast<QWidget*>(w.Panel1), w.Panel2, w.Panel3, w.Panel4 }) {
            QVERIFY(panel->autoFillBackground());
            QCOMPARE(panel->palette().color(QPalette::Window), titleBar);
        }

        QCOMPARE(w.Contenido->geometry(), QRect(5, 49, 732, 336));
        QCOMPARE(w.Image1->geometry(), QRect(0, 0, 732, 336));
        QCOMPARE(w.Image7->geometry(), QRect(368, 248, 349, 84));
        const QImage logo = w.Image7->pixmap().toImage();
        QCOMPARE(logo.size(), QSize(349, 84));
        QVERIFY(logo.hasAlphaChannel());
        QCOMPARE(logo.pixelColor(0, 0).alpha(), 0);
        QVERIFY(!w.Image7->autoFillBackground());
        // The window shows the build's stored copy, and it is the logo the
        // code draws now, pixel for pixel: a stale copy fails here.
        const QResource stored(QStringLiteral(":/pictures/logo.raw"));
        QVERIFY(stored.isValid());
        const QImage drawn = app::pictures::drawLogo();
        QCOMPARE(app::pictures::fromRawPicture(stored.data(), stored.size()), drawn);
        QCOMPARE(logo.convertToFormat(drawn.format()), drawn);

        // Nothing on the window takes the focus, so letters alone are accelerators.
        for (QWidget* child : w.findChildren<QWidget*>())
            QVERIFY2(child->focusPolicy() == Qt::NoFocus, qPrintable(child->objectName()));
    }

    void storedPictureRejectsDamage_data()
    {
        QTest::addColumn<QByteArray>("data");
        QImage image(3, 2, QImage::Format_ARGB32_Premultiplied);
        image.fill(qRgba(10, 20, 30, 40));
        const QByteArray good = app::pictures::rawPicture(image);
        QByteArray badMagic = good;
        badMagic[0] = 'X';
        QByteArray huge = good;
        huge[9] = char(0x40); // width 16387
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("header only") << good.left(16);
        QTest::newRow("one byte short") << good.chopped(1);
        QTest::newRow("one byte long") << good + 'x';
        QTest::newRow("wrong magic") << badMagic;
        QTest::newRow("size beyond the data") << huge;
    }
    void storedPictureRejectsDamage()
    {
        QFETCH(QByteArray, data);
        QVERIFY(app::pictures::fromRawPicture(reinterpret_cast<const uchar*>(data.constData()), data.size())
                    .isNull());
    }

    void storedPictureKeepsEveryPixel()
    {
        QImage image(5, 3, QImage::Format_ARGB32_Premultiplied);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                image.setPixel(x, y, qPremultiply(qRgba(x * 50, y * 80, 200 - x * 10, 40 + 50 * x)));
        const QByteArray raw = app::pictures::rawPicture(image);
        QCOMPARE(raw.size(), 16 + 5 * 3 * 4);
        QCOMPARE(app::pictures::fromRawPicture(reinterpret_cast<const uchar*>(raw.constData()), raw.size()),
            image);
    }

    void headerPictures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("left");
        QTest::addColumn<QString>("hint");
        QTest::newRow("help") << "Image5" << 580 << "Ayuda";
        QTest::newRow("about") << "Image3" << 624 << "Acerca de ...";
        QTest::newRow("minimise") << "Image4" << 664 << "Minimizar Programa";
        QTest::newRow("close") << "Image6" << 704 << "Cerrar Programa";
    }
    void headerPictures()
    {
        QFETCH(QString, name);
        QFETCH(int, left);
        QFETCH(QString, hint);
        Program program;
        auto* picture = MenuGeneral->Panel1->findChild<QLabel*>(name);
        QVERIFY(picture);
        QCOMPARE(picture->geometry(), QRect(left, 8, 32, 32));
        QCOMPARE(picture->toolTip(), hint);
        QCOMPARE(picture->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(picture->pixmap().size(), QSize(32, 32));
        QVERIFY(picture->pixmap().toImage().hasAlphaChannel());
    }

    void buttons_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("hint");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<bool>("shown");
        const QColor green = controls::clMoneyGreen;
        const QColor blue = controls::clSkyBlue;
        auto left = [](int top) { return QRect(16, top, 241, 30); };
        auto right = [](int top) { return QRect(288, top, 241, 30); };
        QTest::newRow("pets") << "But_Datos_Mascotas" << left(25) << "Datos de las &Mascotas"
                              << "Menú de acceso a los datos de las mascotas" << green << true;
        QTest::newRow("album") << "But_Album" << left(76) << "&Albúm de Fotografías"
                               << "Albúm de las fotos de tus mascotas" << green << true;
        QTest::newRow("health") << "But_Control_Sanitario" << left(127) << "&Control Sanitario"
                                << "Controles Sanitarios de las Mascotas" << green << true;
        QTest::newRow("reminders") << "But_Avisos" << left(178) << "A&visos / Recordatorios"
                                   << "Gestión de Avisos y Recordatorios" << green << true;
        QTest::newRow("about") << "But_Configuraciones" << left(229) << "Ace&rca de . . ."
                               << "Información General del programa" << green << true;
        QTest::newRow("leave") << "But_Salir" << left(281) << "&Salir del Programa"
                               << "Salir del programa" << green << true;
        QTest::newRow("pet 1") << "But_Mascota_1" << right(25) << "Mascota 1"
                               << "Datos de la Mascota" << blue << false;
        QTest::newRow("pet 2") << "But_Mascota_2" << right(73) << "Mascota 2"
                               << "Datos de la Mascota" << blue << false;
        QTest::newRow("all pets") << "But_Todas_Mascotas" << right(121) << "&Todas las Mascotas"
                                  << "Lista de todas las mascotas de la casa" << blue << false;
        QTest::newRow("register") << "But_Registro" << right(127) << "Registro Sanitario"
                                  << "Registro de Visitas y Tratamientos Sanitarios " << blue << false;
        QTest::newRow("vaccines") << "But_Vacunaciones" << right(178) << "Vacunaciones"
                                  << "Control de Vacunaciones de las Mascotas" << blue << false;
        QTest::newRow("clinics") << "But_Veterinarios" << right(229) << "Clínicas / Veterinarios"
                                 << "Tabla de Clínicas y Veterinarios" << blue << false;
    }
    void buttons()
    {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QFETCH(QString, caption);
        QFETCH(QString, hint);
        QFETCH(QColor, colour);
        QFETCH(bool, shown);
        Program program;
        showMain();
        auto* button = MenuGeneral->Contenido->findChild<TDsFancyButton*>(name);
        QVERIFY(button);
        QCOMPARE(button->geometry(), place);
        QCOMPARE(button->caption(), caption);
        QCOMPARE(button->toolTip(), hint);
        QCOMPARE(button->color(), colour);
        QCOMPARE(button->isVisible(), shown);
        QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(button->fontColor(), controls::clNavy);
        QCOMPARE(button->font().family(), QStringLiteral("Times New Roman"));
        QCOMPARE(button->font().pixelSize(), 21);
        QVERIFY(button->font().bold() && button->font().italic());
        QCOMPARE(button->FancyEffects().frameWidth(), 6);
    }

    void petCaptions_data()
    {
        QTest::addColumn<PetList>("pets");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        // Stored out of code order: the captions follow the index on CODIGO.
        QTest::newRow("two pets") << PetList { pet("P2", "TOBY"), pet("P1", "LUNA") } << "&1 LUNA"
                                  << "&2 TOBY";
        QTest::newRow("one pet") << PetList { pet("P1", "LUNA") } << "&1 LUNA"
                                 << "&2 LUNA";
        QTest::newRow("no pets") << PetList {} << "&1 MASCOTA"
                                 << "&2 MASCOTA";
        QTest::newRow("first name empty") << PetList { pet("P1", ""), pet("P2", "TOBY") } << "&1 MASCOTA"
                                          << "&2 TOBY";
        QTest::newRow("second name empty") << PetList { pet("P1", "LUNA"), pet("P2", QString()) } << "&1 LUNA"
                                           << "&2 MASCOTA";
        QTest::newRow("three pets: the second record")
            << PetList { pet("P1", "LUNA"), pet("P2", "TOBY"), pet("P3", "KIRA") } << "&1 LUNA"
            << "&2 TOBY";
        // An ampersand of the name is shown as itself, never as an accelerator.
        QTest::newRow("ampersands in names")
            << PetList { pet("P1", "TOM & JERRY"), pet("P2", "R&&B") } << "&1 TOM && JERRY"
            << "&2 R&&&&B";
    }
    void petCaptions()
    {
        QFETCH(PetList, pets);
        QFETCH(QString, first);
        QFETCH(QString, second);
        Program program;
        program.setPets(pets);
        showMain();
        press(MenuGeneral->But_Datos_Mascotas);
        QCOMPARE(MenuGeneral->But_Mascota_1->caption(), first);
        QCOMPARE(MenuGeneral->But_Mascota_2->caption(), second);
        QCOMPARE(TDsFancyButton::acceleratorOf(MenuGeneral->But_Mascota_1->caption()), QChar(u'1'));
        QCOMPARE(TDsFancyButton::acceleratorOf(MenuGeneral->But_Mascota_2->caption()), QChar(u'2'));
        QVERIFY(!program.pets().active());
    }

    void petButtonsOpenThePetsTheyName_data()
    {
        QTest::addColumn<PetList>("pets");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<int>("state");
        const int edit = int(engine::TableState::Edit);
        QTest::newRow("two pets") << PetList { pet("P2", "TOBY"), pet("P1", "LUNA") } << "LUNA"
                                  << "TOBY" << edit;
        QTest::newRow("one pet") << PetList { pet("P1", "LUNA") } << "LUNA"
                                 << "LUNA" << edit;
        QTest::newRow("three pets: the one the caption names")
            << PetList { pet("P1", "LUNA"), pet("P2", "TOBY"), pet("P3", "KIRA") } << "LUNA"
            << "TOBY" << edit;
        QTest::newRow("no pets: a new record") << PetList {} << ""
                                               << "" << int(engine::TableState::Insert);
    }
    void petButtonsOpenThePetsTheyName()
    {
        QFETCH(PetList, pets);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(int, state);
        Program program;
        program.setPets(pets);
        showMain();
        press(MenuGeneral->But_Datos_Mascotas);
        const QList<QPair<TDsFancyButton*, QString>> cases { { MenuGeneral->But_Mascota_1, first },
            { MenuGeneral->But_Mascota_2, second } };
        for (const auto& [button, name] : cases) {
            const Opened seen = openPetWindow(button);
            QVERIFY(seen.shown);
            QCOMPARE(int(seen.state), state);
            QCOMPARE(seen.name, name);
            QVERIFY(seen.speciesOpen);
            QVERIFY(seen.breedsOpen);
            QVERIFY(!seen.breedsFiltered);
            // The pet window put the three tables back; the menu is as it was.
            QVERIFY(!program.pets().active());
            QCOMPARE(shownSubButtons(), petState);
            QCOMPARE(highlighted(), QStringList { "But_Datos_Mascotas" });
        }
    }

    void breedsFilteredBeforeArePetWindowUnfiltered()
    {
        // A filter left on the breeds table is switched off before it opens.
        Program program;
        program.data().TablaRazas->setFilter(QStringLiteral("ESPECIE = 'B'"));
        program.data().TablaRazas->setFiltered(true);
        showMain();
        press(MenuGeneral->But_Datos_Mascotas);
        QVERIFY(!openPetWindow(MenuGeneral->But_Mascota_1).breedsFiltered);
    }

    void renamedPetShowsOnlyAfterPetsPressedAgain()
    {
        Program program;
        program.setPets({ pet("P1", "LUNA"), pet("P2", "TOBY") });
        showMain();
        press(MenuGeneral->But_Datos_Mascotas);
        boundtest::whenShown(FichaPerro, [] {
            ModuloGeneral->TablaMascotasNOM_FAMI->setAsString(QStringLiteral("NALA"));
            FichaPerro->acceptRecord();
        });
        press(MenuGeneral->But_Mascota_1);
        QCOMPARE(program.storedValue("P1", "NOM_FAMI").toString(), QStringLiteral("NALA"));
        QCOMPARE(MenuGeneral->But_Mascota_1->caption(), QStringLiteral("&1 LUNA"));
        press(MenuGeneral->But_Datos_Mascotas);
        QCOMPARE(MenuGeneral->But_Mascota_1->caption(), QStringLiteral("&1 NALA"));
    }

    // T opens the list of every pet; what it changed reaches the two pet
    // buttons as soon as it closes.
    void petListOpensAndItsChangesReachTheButtons()
    {
        Program program;
        program.setPets({ pet("0000001", "LUNA"), pet("0000002", "TOBY"), pet("0000003", "KIRA") });
        showMain();
        QTest::keyClick(MenuGeneral, Qt::Key_M);
        QCOMPARE(shownSubButtons(), petState);
        platform::setQuestionHook([](const QString&, const QString&) { return true; });
        int rows = 0;
        boundtest::whenShown(FicheroMascotas, [&rows] {
            rows = FicheroMascotas->DBGrid1->model()->rowCount();
            FicheroMascotas->deleteRecord();
            FicheroMascotas->close();
        });
        QTest::keyClick(MenuGeneral, Qt::Key_T);
        platform::setQuestionHook({});
        QCOMPARE(rows, 3);
        QVERIFY(!program.pets().active());
        QCOMPARE(MenuGeneral->But_Mascota_1->caption(), QStringLiteral("&1 TOBY"));
        QCOMPARE(MenuGeneral->But_Mascota_2->caption(), QStringLiteral("&2 KIRA"));
        QCOMPARE(shownSubButtons(), petState);
    }

    void menuStatesAndResets()
    {
        Program program;
        showMain();
        QCOMPARE(shownSubButtons(), QStringList {});
        QCOMPARE(highlighted(), QStringList {});

        press(MenuGeneral->But_Datos_Mascotas);
        QCOMPARE(shownSubButtons(), petState);
        QCOMPARE(highlighted(), QStringList { "But_Datos_Mascotas" });

        // Health replaces pets: green again, pet buttons hidden.
        press(MenuGeneral->But_Control_Sanitario);
        QCOMPARE(shownSubButtons(), healthState);
        QCOMPARE(highlighted(), QStringList { "But_Control_Sanitario" });

        press(MenuGeneral->But_Datos_Mascotas);
        QCOMPARE(shownSubButtons(), petState);
        QCOMPARE(highlighted(), QStringList { "But_Datos_Mascotas" });

        MenuGeneral->Limpia_Menu();
        QCOMPARE(shownSubButtons(), QStringList {});
        QCOMPARE(highlighted(), QStringList {});
    }

    void mainButtonsThatResetTheMenu_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("window");
        QTest::newRow("album") << "But_Album"
                               << "TFichaAlbum";
        QTest::newRow("reminders") << "But_Avisos"
                                   << "TFicheroAvisos";
        QTest::newRow("about") << "But_Configuraciones"
                               << "TAboutBox";
    }
    void mainButtonsThatResetTheMenu()
    {
        QFETCH(QString, button);
        QFETCH(QString, window);
        Program program;
        showMain();
        QWidget* shown = nullptr;
        for (const auto& entry : program.registry->entries()) {
            if (entry.className == window)
                shown = qobject_cast<QWidget*>(entry.object);
        }
        QVERIFY(shown);
        for (TDsFancyButton* state :
            { MenuGeneral->But_Datos_Mascotas, MenuGeneral->But_Control_Sanitario }) {
            press(state);
            // The menu is already reset when the window shows.
            QStringList subsSeen { "not shown" };
            CloseWhenShown closer(shown, [&subsSeen] { subsSeen = shownSubButtons() + highlighted(); });
            press(MenuGeneral->Contenido->findChild<TDsFancyButton*>(button));
            QVERIFY(closer.shown);
            QCOMPARE(subsSeen, QStringList {});
            QCOMPARE(shownSubButtons(), QStringList {});
            QCOMPARE(highlighted(), QStringList {});
        }
    }

    void healthButtonsOpenTheirTablesAndKeepTheMenu_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("openWhenShown");
        QTest::newRow("register") << "But_Registro"
                                  << "TFichaRegSanidad" << QStringList { "TablaMascotas", "TablaSanidad" };
        QTest::newRow("vaccinations") << "But_Vacunaciones"
                                      << "TFichaVacunas" << QStringList { "TablaMascotas", "TablaVacunas" };
        QTest::newRow("clinics") << "But_Veterinarios"
                                 << "TFicheroVeterinarios" << QStringList {};
    }
    void healthButtonsOpenTheirTablesAndKeepTheMenu()
    {
        QFETCH(QString, button);
        QFETCH(QString, window);
        QFETCH(QStringList, openWhenShown);
        Program program;
        showMain();
        QWidget* shown = nullptr;
        for (const auto& entry : program.registry->entries()) {
            if (entry.className == window)
                shown = qobject_cast<QWidget*>(entry.object);
        }
        press(MenuGeneral->But_Control_Sanitario);
        QStringList open;
        CloseWhenShown closer(shown, [&open] {
            for (const auto& table : ModuloGeneral->tables()) {
                if (table->active())
                    open << table->name();
            }
        });
        press(MenuGeneral->Contenido->findChild<TDsFancyButton*>(button));
        QVERIFY(closer.shown);
        for (const QString& name : openWhenShown)
            QVERIFY2(open.contains(name), qPrintable(name));
        QCOMPARE(shownSubButtons(), healthState);
        QCOMPARE(highlighted(), QStringList { "But_Control_Sanitario" });
    }

    void headerPicturesActAndKeepTheMenu()
    {
        Program program;
        showMain();
        press(MenuGeneral->But_Datos_Mascotas);

        QList<platform::help::Request> requests;
        platform::help::setHook([&requests](const platform::help::Request& r) { requests << r; });
        click(MenuGeneral->Image5);
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests[0].kind, platform::help::Request::Kind::Contents);

        CloseWhenShown about(AboutBox);
        click(MenuGeneral->Image3);
        QVERIFY(about.shown);

        QSignalSpy finished(MenuGeneral, &QDialog::finished);
        click(MenuGeneral->Image4);
        QTRY_VERIFY(MenuGeneral->isMinimized());
        QCOMPARE(finished.size(), 0);

        QCOMPARE(shownSubButtons(), petState);
        QCOMPARE(highlighted(), QStringList { "But_Datos_Mascotas" });
    }

    void pendingRemindersScanRunsOncePerRun()
    {
        Program program;
        engine::Table& reminders = *program.data().TablaAvisos;
        reminders.open();
        boundtest::addRecord(reminders,
            { { "INICIO", QDate::currentDate() }, { "FIN", QDate::currentDate() },
                { "CONCEPTO", "VACUNA" } });
        reminders.close();
        pettest::MessageLog quiet;
        int showings = 0;
        QTimer watcher;
        watcher.setInterval(5);
        connect(&watcher, &QTimer::timeout, this, [&showings] {
            if (FicheroIniAvisos->isVisible()) {
                ++showings;
                FicheroIniAvisos->close();
            }
        });
        watcher.start();
        MenuGeneral->show();
        QTRY_COMPARE(showings, 1);
        // Shown again (not restored from minimised): still no second scan.
        MenuGeneral->hide();
        MenuGeneral->show();
        QTest::qWait(50);
        QCOMPARE(showings, 1);
    }

    void closingEndsTheProgram_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("Salir button") << 0;
        QTest::newRow("close picture") << 1;
        QTest::newRow("letter S alone") << 2;
    }
    void closingEndsTheProgram()
    {
        QFETCH(int, how);
        Program program;
        showMain();
        QSignalSpy finished(MenuGeneral, &QDialog::finished);
        if (how == 0)
            press(MenuGeneral->But_Salir);
        else if (how == 1)
            click(MenuGeneral->Image6);
        else
            QTest::keyClick(MenuGeneral, Qt::Key_S);
        QCOMPARE(finished.size(), 1);
        QVERIFY(!MenuGeneral->isVisible());
    }

    // The flat look lives from the main window's creation to its closing.
    void skinFollowsTheMainWindow()
    {
        {
            Program program;
            QVERIFY(platform::skin::isOn());
            showMain();
            QVERIFY(platform::skin::isOn());
            press(MenuGeneral->But_Salir);
            QVERIFY(!platform::skin::isOn());
        }
        {
            Program program;
            QVERIFY(platform::skin::isOn());
        }
        QVERIFY(!platform::skin::isOn());
    }

    void lettersAloneWorkTheShownButtons()
    {
        Program program;
        program.setPets({ pet("P1", "LUNA"), pet("P2", "TOBY") });
        showMain();
        // Counts the showings of the pet window, cancelling each.
        int petShowings = 0;
        QTimer watcher;
        watcher.setInterval(5);
        connect(&watcher, &QTimer::timeout, this, [&petShowings] {
            if (FichaPerro->isVisible()) {
                ++petShowings;
                FichaPerro->cancelRecord();
            }
        });
        watcher.start();

        // Hidden pet buttons: the digits do nothing.
        QTest::keyClick(MenuGeneral, Qt::Key_1);
        QTest::keyClick(MenuGeneral, Qt::Key_2);
        QTest::qWait(30);
        QCOMPARE(petShowings, 0);
        QVERIFY(!program.pets().active());

        QTest::keyClick(MenuGeneral, Qt::Key_M);
        QCOMPARE(shownSubButtons(), petState);
        QCOMPARE(MenuGeneral->But_Mascota_2->caption(), QStringLiteral("&2 TOBY"));
        QTest::keyClick(MenuGeneral, Qt::Key_1);
        QCOMPARE(petShowings, 1);
        // Back from the modal window, as the user finds it.
        showMain();
        QTest::keyClick(MenuGeneral, Qt::Key_2);
        QCOMPARE(petShowings, 2);
        showMain();

        QTest::keyClick(MenuGeneral, Qt::Key_C);
        QCOMPARE(shownSubButtons(), healthState);
        QCOMPARE(highlighted(), QStringList { "But_Control_Sanitario" });
        QTest::keyClick(MenuGeneral, Qt::Key_1);
        QTest::qWait(30);
        QCOMPARE(petShowings, 2);
    }
};

HLR_TEST_MAIN(TestMainWindow, Windows)

#include "tst_mainwindow.moc"
