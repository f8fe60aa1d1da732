// The pet record window: its layout and tab order, the sex rule, the breed
// list narrowed to the species on entry, Aceptar and Cancelar with the three
// tables, the fields no window shows, and a post that fails.
#include "support/PetFixture.h"
#include "support/TestMain.h"

#include "bound/DBCheckBox.h"
#include "bound/DBEdit.h"
#include "bound/DBLookupComboBox.h"
#include "controls/Accelerators.h"
#include "controls/FancyButton.h"
#include "controls/Fonts.h"
#include "platform/Application.h"
#include "records/FicPerro.h"

#include <QAbstractItemView>
#include <QLabel>
#include <QTest>

using pettest::MessageLog;
using pettest::pet;
using pettest::PetProgram;

namespace {

const QString kSexMessage = QStringLiteral("Los valores para el campo SEXO deben ser ( H / M )");

// The program with the pet window shown on one pet, its tables prepared as
// the main window's pet buttons prepare them.
struct PetWindow {
    PetProgram program;
    TFichaPerro& w = *program.window;

    explicit PetWindow(const QList<QVariantMap>& pets = { pet("P1", "LUNA"), pet("P2", "TOBY") })
    {
        program.setPets(pets);
    }
    ~PetWindow()
    {
        if (w.isVisible())
            w.cancelRecord();
    }

    void open(bool last = false)
    {
        TModuloGeneral& d = program.data();
        d.TablaMascotas->open();
        d.TablaEspecies->open();
        d.TablaRazas->setFiltered(false);
        d.TablaRazas->open();
        if (last)
            d.TablaMascotas->last();
        else
            d.TablaMascotas->first();
        d.TablaMascotas->edit();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }

    engine::Field& field(const char* name) const { return program.pets().field(QString::fromLatin1(name)); }
    QStringList openTables() const
    {
        QStringList names;
        for (const auto& table : program.data().tables()) {
            if (table->active())
                names << table->name();
        }
        return names;
    }
    void focus(QWidget* box)
    {
        box->setFocus(Qt::OtherFocusReason);
        QTRY_VERIFY(box->hasFocus());
    }
    // Picks a species as the user does, by its description.
    void chooseSpecies(const QString& description)
    {
        const int row = int(w.DBLookupComboBox2->entries().indexOf(description));
        QVERIFY2(row >= 0, qPrintable(description));
        w.DBLookupComboBox2->choose(row);
    }
    void chooseBreed(const QString& name)
    {
        const int row = int(w.DBLookupComboBox1->entries().indexOf(name));
        QVERIFY2(row >= 0, qPrintable(name));
        w.DBLookupComboBox1->choose(row);
    }
    // The breeds of one species code in the installed data, in name order.
    QStringList breedsOf(const QString& code) const
    {
        engine::Table& razas = *program.data().TablaRazas;
        QStringList names;
        const auto rows = razas.readRows(0, razas.recordCount(), { "RAZA", "ESPECIE" });
        for (const auto& row : rows) {
            if (row.value(1).toString() == code)
                names << row.value(0).toString();
        }
        return names;
    }
    void accelerator(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::AltModifier)
    {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : &w;
        QTest::keyClick(target, key, modifiers);
    }
};

} // namespace

class TestFichaPerro : public QObject {
    Q_OBJECT
private slots:
    void windowAndButtons()
    {
        PetWindow f;
        // Made as the registry makes it, the window makes its controls at its
        // first showing, which must still show the record the table is on.
        QVERIFY(!f.w.isBuilt());
        QVERIFY(!f.w.But_Aceptar);
        QCOMPARE(f.w.windowTitle(), QStringLiteral("Datos de la Mascota"));
        QCOMPARE(f.w.size(), QSize(742, 390));
        QCOMPARE(f.w.helpTopic(), 3);
        QVERIFY(f.w.helpIsPopup());
        QCOMPARE(f.w.palette().color(QPalette::Window), QColor(Qt::white));
        f.open(true);
        QVERIFY(f.w.isBuilt());
        QCOMPARE(f.w.EDITNOM_FAMI->text(), QStringLiteral("TOBY"));
        QCOMPARE(f.w.DBLookupComboBox2->parentWidget(), &f.w);
        QVERIFY(f.w.EDITNOM_FAMI->hasFocus());
        QCOMPARE(f.w.But_Aceptar->geometry(), QRect(230, 353, 113, 30));
        QCOMPARE(f.w.But_Aceptar->caption(), QStringLiteral("&Aceptar"));
        QCOMPARE(f.w.But_Cancelar->geometry(), QRect(398, 353, 113, 30));
        QCOMPARE(f.w.But_Cancelar->caption(), QStringLiteral("&Cancelar"));
        QCOMPARE(f.w.Bevel1->geometry().top(), 336);
        QVERIFY(!f.w.But_Cerrar);
        QCOMPARE(f.w.Label3->text(), QStringLiteral("( M/H )"));
        QCOMPARE(f.w.Label3->x(), 191);
    }

    void labels_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("row");
        QTest::newRow("name") << "Label1"
                              << "Nombre Familiar :" << 21;
        QTest::newRow("registered") << "Label11"
                                    << "Nombre Oficial :" << 53;
        QTest::newRow("sex") << "Label2"
                             << "Sexo :" << 85;
        QTest::newRow("species") << "Label8"
                                 << "Especie :" << 117;
        QTest::newRow("breed") << "Label5"
                               << "Raza :" << 149;
        QTest::newRow("colour") << "Label4"
                                << "Color/Manto :" << 181;
        QTest::newRow("hair") << "Label9"
                              << "Tipo de Pelo :" << 213;
        QTest::newRow("size") << "Label10"
                              << "Tamaño :" << 245;
        QTest::newRow("birth") << "Label6"
                               << "Fec.Nacimiento :" << 277;
        QTest::newRow("chip") << "Label7"
                              << "Nº Chip/Tatuaje :" << 309;
    }
    void labels()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(int, row);
        PetWindow f;
        f.w.ensureBuilt();
        auto* label = f.w.findChild<QLabel*>(name);
        QVERIFY(label);
        QCOMPARE(label->text(), text);
        QCOMPARE(label->geometry().x() + label->geometry().width(), 147);
        QVERIFY(qAbs(label->y() - row) <= 5);
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(128, 0, 0));
        QVERIFY(label->font().bold());
    }

    void boxes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<int>("maxLength");
        QTest::addColumn<bool>("upper");
        auto at = [](int top, int width) { return QRect(164, top, width, 21); };
        QTest::newRow("name") << "EDITNOM_FAMI"
                              << "NOM_FAMI" << at(21, 516) << 50 << true;
        QTest::newRow("registered") << "EDITNOM_OFICIA"
                                    << "NOM_OFICIA" << at(53, 516) << 50 << true;
        QTest::newRow("sex") << "EditSexo"
                             << "SEXO" << at(85, 18) << 1 << true;
        QTest::newRow("colour") << "DBEdit2"
                                << "COLOR" << at(181, 374) << 50 << true;
        QTest::newRow("hair") << "DBEdit1"
                              << "PELO" << at(213, 372) << 50 << true;
        QTest::newRow("birth") << "DBEdit3"
                               << "FEC_NAC" << at(277, 84) << 10 << false;
        QTest::newRow("chip") << "DBEdit4"
                              << "CHIP" << at(309, 252) << 30 << true;
    }
    void boxes()
    {
        QFETCH(QString, name);
        QFETCH(QString, field);
        QFETCH(QRect, place);
        QFETCH(int, maxLength);
        QFETCH(bool, upper);
        PetWindow f;
        f.open();
        auto* box = f.w.findChild<bound::DBEdit*>(name);
        QVERIFY(box);
        QCOMPARE(box->dataField(), field);
        QCOMPARE(box->dataSource(), f.program.data().SourceMascotas);
        QCOMPARE(box->geometry(), place);
        QCOMPARE(box->maxLength(), maxLength);
        QCOMPARE(box->charCase() == bound::DBEdit::CharCase::Upper, upper);
        QCOMPARE(box->usesDateTemplate(), field == "FEC_NAC");
        QCOMPARE(box->palette().color(QPalette::Base), QColor(196, 219, 244));
    }

    void listsAndSizeBoxes()
    {
        PetWindow f;
        f.open();
        TModuloGeneral& d = f.program.data();
        QCOMPARE(f.w.DBLookupComboBox2->geometry(), QRect(164, 117, 393, 21));
        QCOMPARE(f.w.DBLookupComboBox2->dataField(), QStringLiteral("ESPECIE"));
        QCOMPARE(f.w.DBLookupComboBox2->listSource(), d.SourceEspecies);
        QCOMPARE(f.w.DBLookupComboBox2->entries().mid(0, 2), (QStringList { "PERROS", "GATOS" }));
        QCOMPARE(f.w.DBLookupComboBox1->geometry(), QRect(164, 149, 393, 21));
        QCOMPARE(f.w.DBLookupComboBox1->dataField(), QStringLiteral("RAZA"));
        QCOMPARE(f.w.DBLookupComboBox1->listSource(), d.SourceRazas);
        const QList<bound::DBCheckBox*> sizes { f.w.DBCheckBox1, f.w.DBCheckBox2, f.w.DBCheckBox3 };
        const QStringList captions { "&Grande", "&Mediano", "&Pequeño" };
        const QStringList fields { "GRANDE", "MEDIANO", "PEQUENO" };
        const QList<int> lefts { 164, 271, 375 };
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(sizes[i]->text(), captions[i]);
            QCOMPARE(sizes[i]->dataField(), fields[i]);
            QCOMPARE(sizes[i]->geometry(), QRect(lefts[i], 243, 73, 17));
        }
    }

    void tabOrderFollowsTheRows()
    {
        PetWindow f;
        f.open();
        const QList<QWidget*> expected { f.w.EDITNOM_FAMI, f.w.EDITNOM_OFICIA, f.w.EditSexo,
            f.w.DBLookupComboBox2, f.w.DBLookupComboBox1, f.w.DBEdit2, f.w.DBEdit1, f.w.DBCheckBox1,
            f.w.DBCheckBox2, f.w.DBCheckBox3, f.w.DBEdit3, f.w.DBEdit4 };
        // The first showing starts in the first box.
        QTRY_COMPARE(QApplication::focusWidget(), f.w.EDITNOM_FAMI);
        for (int i = 1; i <= expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), expected[i % expected.size()]);
        }
    }

    void laterShowingReturnsToTheLastFocus()
    {
        PetWindow f;
        f.open();
        f.focus(f.w.DBEdit1);
        f.w.cancelRecord();
        QVERIFY(!f.w.isVisible());
        f.open();
        QTRY_COMPARE(QApplication::focusWidget(), f.w.DBEdit1);
    }

    void sexRule_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("byAceptar");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("refused");
        QTest::newRow("small h becomes H") << ""
                                           << "h" << false << "H"
                                           << "H" << false;
        QTest::newRow("M kept") << ""
                                << "m" << false << "M"
                                << "M" << false;
        QTest::newRow("X then leaving the box") << ""
                                                << "x" << false << "X"
                                                << "" << true;
        QTest::newRow("digit then leaving the box") << "H"
                                                    << "1" << false << "1"
                                                    << "" << true;
        QTest::newRow("X then Aceptar stores no sex") << "M"
                                                      << "x" << true << "X"
                                                      << "" << true;
        QTest::newRow("H then Aceptar") << "M"
                                        << "h" << true << "H"
                                        << "H" << false;
        QTest::newRow("emptied is accepted") << "H"
                                             << "" << false << ""
                                             << "" << false;
    }
    void sexRule()
    {
        QFETCH(QString, before);
        QFETCH(QString, typed);
        QFETCH(bool, byAceptar);
        QFETCH(QString, shown);
        QFETCH(QString, stored);
        QFETCH(bool, refused);
        QVariantMap first = pet("P1", "LUNA");
        first.insert("SEXO", before);
        PetWindow f({ first });
        f.open();
        MessageLog log;
        f.focus(f.w.EditSexo);
        f.w.EditSexo->selectAll();
        if (typed.isEmpty())
            QTest::keyClick(f.w.EditSexo, Qt::Key_Backspace);
        else
            QTest::keyClicks(f.w.EditSexo, typed);
        QCOMPARE(f.w.EditSexo->text(), shown);

        if (byAceptar) {
            f.accelerator(Qt::Key_A);
            QVERIFY(!f.w.isVisible());
            QCOMPARE(f.program.storedValue("P1", "SEXO").toString(), stored);
        } else {
            QTest::keyClick(f.w.EditSexo, Qt::Key_Tab);
            QCOMPARE(f.field("SEXO").asString(), stored);
            QCOMPARE(f.w.EditSexo->text(), stored);
            // Refused: back in the sex box; accepted: on to the species list.
            QCOMPARE(QApplication::focusWidget(),
                refused ? static_cast<QWidget*>(f.w.EditSexo) : f.w.DBLookupComboBox2);
        }
        QCOMPARE(log.beeps, refused ? 1 : 0);
        QCOMPARE(log.boxes.size(), refused ? 1 : 0);
        if (refused) {
            QCOMPARE(log.boxes[0].title, QStringLiteral("Atención"));
            QCOMPARE(log.boxes[0].text, kSexMessage);
            QCOMPARE(log.boxes[0].icon, platform::MessageIcon::Error);
        }
    }

    void sexRuleIsExactWhenStoredByCode()
    {
        PetWindow f;
        f.open();
        MessageLog log;
        f.field("SEXO").setAsString(QStringLiteral("h"));
        QCOMPARE(log.boxes.size(), 1);
        QVERIFY(f.field("SEXO").isNull());
        QCOMPARE(QApplication::focusWidget(), f.w.EditSexo);
        // The rest of the record is untouched.
        QCOMPARE(f.field("NOM_FAMI").asString(), QStringLiteral("LUNA"));
        QCOMPARE(f.program.pets().state(), engine::TableState::Edit);
    }

    void breedListFollowsTheSpecies()
    {
        PetWindow f;
        f.open();
        TModuloGeneral& d = f.program.data();
        const QStringList dogs = f.breedsOf("A");
        const QStringList cats = f.breedsOf("B");
        QVERIFY(!dogs.isEmpty() && !cats.isEmpty());
        // Until the breed list is entered it offers every breed.
        QCOMPARE(f.w.DBLookupComboBox1->count(),
            dogs.size() + cats.size() + f.breedsOf("C").size() + f.breedsOf("D").size()
                + f.breedsOf("E").size() + f.breedsOf("F").size() + f.breedsOf("G").size()
                + f.breedsOf("H").size() + f.breedsOf("Z").size());

        // Entered by keyboard.
        f.focus(f.w.DBLookupComboBox2);
        f.chooseSpecies("PERROS");
        QTest::keyClick(f.w.DBLookupComboBox2, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.w.DBLookupComboBox1);
        QCOMPARE(d.TablaRazas->filter(), QStringLiteral("ESPECIE = 'A'"));
        QVERIFY(d.TablaRazas->filtered());
        QCOMPARE(f.w.DBLookupComboBox1->entries(), dogs);
        f.chooseBreed("BOXER");
        QCOMPARE(f.field("RAZA").asString(), QStringLiteral("BOXER"));
        QCOMPARE(f.field("ESPECIE").asString(), QStringLiteral("PERROS"));

        // Another species, the list entered by the mouse: only its breeds,
        // and the breed chosen before stays in the record.
        f.focus(f.w.DBLookupComboBox2);
        f.chooseSpecies("GATOS");
        QTest::mouseClick(f.w.DBLookupComboBox1, Qt::LeftButton);
        f.w.DBLookupComboBox1->hidePopup();
        QTRY_COMPARE(QApplication::focusWidget(), f.w.DBLookupComboBox1);
        QCOMPARE(d.TablaRazas->filter(), QStringLiteral("ESPECIE = 'B'"));
        QCOMPARE(f.w.DBLookupComboBox1->entries(), cats);
        QCOMPARE(f.field("RAZA").asString(), QStringLiteral("BOXER"));
    }

    // A pick from the open list, by mouse or by the arrow keys and Enter,
    // survives the focus coming back from the list: the filter is applied
    // on entering the box, not again under the pick.
    void pickFromTheOpenList_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("byMouse");
        QTest::newRow("breed, click") << "DBLookupComboBox1"
                                      << "BOXER" << true;
        QTest::newRow("breed, keys") << "DBLookupComboBox1"
                                     << "BOXER" << false;
        QTest::newRow("species, click") << "DBLookupComboBox2"
                                        << "GATOS" << true;
        QTest::newRow("species, keys") << "DBLookupComboBox2"
                                       << "GATOS" << false;
    }
    void pickFromTheOpenList()
    {
        QFETCH(QString, list);
        QFETCH(QString, entry);
        QFETCH(bool, byMouse);
        PetWindow f;
        f.open();
        f.focus(f.w.DBLookupComboBox2);
        f.chooseSpecies("PERROS");
        auto* box = f.w.findChild<bound::DBLookupComboBox*>(list);
        QVERIFY(box);
        // Entered from the box before it, as the user does with Tab.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (box == f.w.DBLookupComboBox2)
            f.focus(box);
        QTRY_COMPARE(QApplication::focusWidget(), box);
        const int row = int(box->entries().indexOf(entry));
        QVERIFY2(row >= 0, qPrintable(entry));

        QTest::keyClick(box, Qt::Key_Down, Qt::AltModifier);
        QAbstractItemView* view = box->view();
        QTRY_VERIFY(view->isVisible());
        if (byMouse) {
            // The open list takes no release as a pick at once, so the
            // release of the press that opened it picks nothing.
            QTest::qWait(QApplication::doubleClickInterval() + 50);
            view->scrollTo(view->model()->index(row, 0));
            const QRect place = view->visualRect(view->model()->index(row, 0));
            QVERIFY(!place.isEmpty());
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, place.center());
        } else {
            const int from = qMax(0, view->currentIndex().row());
            for (int i = from; i < row; ++i)
                QTest::keyClick(view, Qt::Key_Down);
            for (int i = from; i > row; --i)
                QTest::keyClick(view, Qt::Key_Up);
            QTest::keyClick(view, Qt::Key_Return);
        }
        QTRY_VERIFY(!view->isVisible());
        QTRY_COMPARE(QApplication::focusWidget(), box);
        const char* field = box == f.w.DBLookupComboBox1 ? "RAZA" : "ESPECIE";
        QCOMPARE(f.field(field).asString(), entry);
        QCOMPARE(box->currentText(), entry);
    }

    void breedFilterWithAQuoteInTheCode()
    {
        PetWindow f;
        f.program.addSpecies("'", "COMILLAS", { "RAZA DE COMILLAS" });
        f.open();
        f.focus(f.w.DBLookupComboBox2);
        f.chooseSpecies("COMILLAS");
        f.focus(f.w.DBLookupComboBox1);
        QCOMPARE(f.program.data().TablaRazas->filter(), QStringLiteral("ESPECIE = ''''"));
        QCOMPARE(f.w.DBLookupComboBox1->entries(), QStringList { "RAZA DE COMILLAS" });
        QCOMPARE(TFichaPerro::breedFilter(QStringLiteral("a'b")), QStringLiteral("ESPECIE = 'a''b'"));
    }

    void noSpeciesChosenFiltersByTheCurrentSpecies()
    {
        PetWindow f;
        f.open();
        QVERIFY(f.field("ESPECIE").isNull());
        const QString current = f.program.data().TablaEspeciesCODIGO->asString();
        f.focus(f.w.DBLookupComboBox1);
        QCOMPARE(f.w.DBLookupComboBox1->entries(), f.breedsOf(current));
    }

    void aceptarAndCancelar_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::addColumn<int>("how");
        QTest::newRow("Aceptar pressed") << true << 0;
        QTest::newRow("Alt+A") << true << 1;
        QTest::newRow("Cancelar pressed") << false << 0;
        QTest::newRow("Alt+C") << false << 1;
    }
    void aceptarAndCancelar()
    {
        QFETCH(bool, accept);
        QFETCH(int, how);
        PetWindow f;
        f.open(true);
        // The breed list entered, so the breeds are filtered when the window goes.
        f.focus(f.w.DBLookupComboBox1);
        QVERIFY(f.program.data().TablaRazas->filtered());
        f.focus(f.w.DBEdit2);
        QTest::keyClicks(f.w.DBEdit2, "atigrado");
        QCOMPARE(f.w.DBEdit2->text(), QStringLiteral("ATIGRADO"));
        TDsFancyButton* button = accept ? f.w.But_Aceptar : f.w.But_Cancelar;
        if (how == 0) {
            // The pending text of the focused box goes with the post.
            const QPoint centre = button->rect().center();
            QMouseEvent move(QEvent::MouseMove, centre, button->mapToGlobal(centre), Qt::NoButton,
                Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(button, &move);
            QTest::mouseClick(button, Qt::LeftButton, {}, centre);
        } else {
            f.accelerator(accept ? Qt::Key_A : Qt::Key_C);
        }
        QVERIFY(!f.w.isVisible());
        QCOMPARE(f.openTables(), QStringList {});
        QVERIFY(!f.program.data().TablaRazas->filtered());
        QCOMPARE(
            f.program.storedValue("P2", "COLOR").toString(), accept ? QStringLiteral("ATIGRADO") : QString());
    }

    void closedOtherwiseCancelsAndPutsTheTablesBack()
    {
        PetWindow f;
        f.open();
        f.field("NOM_FAMI").setAsString(QStringLiteral("OTRA"));
        f.focus(f.w.DBLookupComboBox1);
        f.w.close();
        QVERIFY(!f.w.isVisible());
        QCOMPARE(f.openTables(), QStringList {});
        QVERIFY(!f.program.data().TablaRazas->filtered());
        QCOMPARE(f.program.storedValue("P1", "NOM_FAMI").toString(), QStringLiteral("LUNA"));
    }

    void fieldsNoWindowShowsKeepTheirValues()
    {
        QVariantMap first = pet("P1", "LUNA");
        const QVariantMap unshown { { "GRUPO", "G1" }, { "CRIADOR", "CRIADERO DEL NORTE" },
            { "PROPIETARI", "ANA" }, { "N_LOE", "LOE-123" }, { "TATUAJE", "T-9" },
            { "MEMORIA", "Notas\nde varias líneas" }, { "PADRE", "REX" }, { "PADRE_L", "L-1" },
            { "MADRE", "KIRA" }, { "BA_ABA_M", "BISABUELA" }, { "BA_ABA_M_L", "L-28" },
            { "DEFINE1", "LIBRE 1" }, { "DEFINE2", "LIBRE 2" } };
        first.insert(unshown);
        PetWindow f({ first });
        f.open();
        f.focus(f.w.EDITNOM_FAMI);
        f.w.EDITNOM_FAMI->selectAll();
        QTest::keyClicks(f.w.EDITNOM_FAMI, "nala");
        f.focus(f.w.DBCheckBox1);
        QTest::keyClick(f.w.DBCheckBox1, Qt::Key_Space);
        f.accelerator(Qt::Key_A, Qt::NoModifier);
        QVERIFY(!f.w.isVisible());
        QCOMPARE(f.program.storedValue("P1", "NOM_FAMI").toString(), QStringLiteral("NALA"));
        QCOMPARE(f.program.storedValue("P1", "GRANDE").toBool(), true);
        for (auto it = unshown.begin(); it != unshown.end(); ++it)
            QCOMPARE(f.program.storedValue("P1", it.key()).toString(), it.value().toString());
        QCOMPARE(f.program.storedValue("P1", "CODIGO").toString(), QStringLiteral("P1"));
    }

    void sizeBoxesByTheirLettersAndAllThreeStored()
    {
        PetWindow f;
        f.open();
        f.focus(f.w.EDITNOM_OFICIA);
        for (const auto& [key, box] : { std::pair { Qt::Key_G, f.w.DBCheckBox1 },
                 std::pair { Qt::Key_M, f.w.DBCheckBox2 }, std::pair { Qt::Key_P, f.w.DBCheckBox3 } }) {
            f.accelerator(key);
            // A box without a value shows grey; the letter ticks it.
            QTRY_COMPARE(box->checkState(), Qt::Checked);
            QCOMPARE(QApplication::focusWidget(), box);
        }
        // On a check box the letters work alone: A accepts.
        f.accelerator(Qt::Key_A, Qt::NoModifier);
        QVERIFY(!f.w.isVisible());
        for (const char* size : { "GRANDE", "MEDIANO", "PEQUENO" })
            QVERIFY2(f.program.storedValue("P1", size).toBool(), size);
    }

    // With the focus on a size box the letters G, M and P work alone, as with Alt.
    void sizeLettersAloneOnASizeBox()
    {
        PetWindow f;
        f.open();
        f.focus(f.w.DBCheckBox1);
        for (const auto& [key, box] :
            { std::pair { Qt::Key_M, f.w.DBCheckBox2 }, std::pair { Qt::Key_P, f.w.DBCheckBox3 },
                std::pair { Qt::Key_G, f.w.DBCheckBox1 }, std::pair { Qt::Key_G, f.w.DBCheckBox1 } }) {
            const Qt::CheckState before = box->checkState();
            f.accelerator(key, Qt::NoModifier);
            QTRY_VERIFY(box->checkState() != before);
            QCOMPARE(QApplication::focusWidget(), box);
        }
        QCOMPARE(f.field("MEDIANO").asBoolean(), true);
        QCOMPARE(f.field("PEQUENO").asBoolean(), true);
        QCOMPARE(f.field("GRANDE").asBoolean(), false); // ticked, then unticked
        // In a text box the letters are text.
        f.focus(f.w.DBEdit2);
        f.accelerator(Qt::Key_G, Qt::NoModifier);
        QCOMPARE(f.w.DBEdit2->text(), QStringLiteral("G"));
        QCOMPARE(f.w.DBCheckBox1->checkState(), Qt::Unchecked);
    }

    void failedPostKeepsTheWindowOpen()
    {
        PetWindow f;
        f.open();
        MessageLog log;
        f.focus(f.w.DBEdit3);
        QTest::keyClick(f.w.DBEdit3, Qt::Key_Home);
        QTest::keyClicks(f.w.DBEdit3, "31022020");
        f.accelerator(Qt::Key_A);
        QCOMPARE(log.boxes.size(), 1);
        QCOMPARE(log.boxes[0].title, QStringLiteral("Huellario"));
        QVERIFY2(log.boxes[0].text.contains("is not a valid date"), qPrintable(log.boxes[0].text));
        QVERIFY(f.w.isVisible());
        QCOMPARE(f.program.pets().state(), engine::TableState::Edit);
        QCOMPARE(f.openTables(), (QStringList { "TablaMascotas", "TablaEspecies", "TablaRazas" }));
        // Cancelar still puts everything back.
        f.accelerator(Qt::Key_C);
        QVERIFY(!f.w.isVisible());
        QCOMPARE(f.openTables(), QStringList {});
    }

    void emptyPetsTableStoresANewPet()
    {
        PetWindow f(QList<QVariantMap> {});
        f.open();
        QCOMPARE(f.program.pets().state(), engine::TableState::Insert);
        f.focus(f.w.EDITNOM_FAMI);
        QTest::keyClicks(f.w.EDITNOM_FAMI, "nuevo");
        f.accelerator(Qt::Key_A);
        QVERIFY(!f.w.isVisible());
        engine::Table& pets = f.program.pets();
        pets.open();
        QCOMPARE(pets.recordCount(), 1);
        QCOMPARE(f.field("NOM_FAMI").asString(), QStringLiteral("NUEVO"));
        QVERIFY(f.field("CODIGO").isNull());
        pets.close();
    }
};

HLR_TEST_MAIN(TestFichaPerro, Windows)

#include "tst_ficperro.moc"
