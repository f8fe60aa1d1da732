// The health register and its visit window: layout and tab order, a pet
// without visits, another pet chosen, the clinic rule through the lookup
// list, a clinic renamed or missing, Localizar, Listar, and the tables'
// life around the windows.
#include "SanidadFixture.h"

#include "controls/Accelerators.h"
#include "controls/Colors.h"
#include "controls/Fonts.h"
#include "platform/EnterAsTab.h"
#include "support/ReportTesting.h"
#include "support/TestMain.h"
#include "support/TestPaths.h"

#include <QAbstractItemView>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>

using namespace sanidadtest;
using recordtest::click;
using recordtest::shown;

namespace {

QStringList titlesOf(const bound::DBGrid* grid)
{
    QStringList titles;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        titles << grid->model()->headerData(c, Qt::Horizontal).toString();
    return titles;
}

// Clicks a row of a grid as the user does.
void clickRow(bound::DBGrid* grid, int row)
{
    const QRect cell = grid->visualRect(grid->model()->index(row, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
}

// Picks an entry of a lookup list from its dropped-down list with the pointer.
void pickEntry(bound::DBLookupComboBox* box, int entry)
{
    box->setFocus();
    box->showPopup();
    QAbstractItemView* view = box->view();
    QTRY_VERIFY(view->isVisible());
    const QRect item = view->visualRect(view->model()->index(entry, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    QTRY_VERIFY(!view->isVisible());
}

// A top-level window by object name, once shown.
QWidget* shownWindow(const QString& name)
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            return w;
    return nullptr;
}

const std::vector<Clinic> kClinics {
    { "CLINICA SOL", "DRA. PÉREZ" },
    { "CLINICA MAR", "DR. RUIZ" },
    { "SIN VET", "" },
    { "DOBLE", "DR. UNO" },
    { "DOBLE", "DR. DOS" },
};
// kClinics as the list shows them, in the order of the clinics' index.
const QStringList kClinicEntries { "CLINICA MAR", "CLINICA SOL", "DOBLE", "DOBLE", "SIN VET" };

} // namespace

class TestSanidad : public QObject {
    Q_OBJECT
private slots:
    void registerLayout()
    {
        HealthProgram p;
        TFichaRegSanidad& w = *p.list;
        QCOMPARE(w.windowTitle(), QStringLiteral(" Registro Sanitario"));
        QCOMPARE(w.size(), QSize(742, 390));
        QCOMPARE(w.helpTopic(), 5);
        QVERIFY(!w.helpIsPopup());
        const std::vector<std::tuple<TDsFancyButton*, QString, int>> buttons {
            { w.But_Anadir, "Aña&dir", 8 },
            { w.But_Modificar, "&Modificar", 113 },
            { w.But_Ver, "&Ver", 218 },
            { w.But_Borrar, "&Borrar", 323 },
            { w.But_Localizar, "&Localizar", 428 },
            { w.But_Listar, "Lis&tar", 533 },
            { w.But_Salir, "&Salir", 639 },
        };
        for (const auto& [b, caption, left] : buttons) {
            QCOMPARE(b->caption(), caption);
            QCOMPARE(b->geometry(), QRect(left, 345, 95, 30));
        }
        QCOMPARE(w.Bevel1->geometry(), QRect(0, 320, 750, 9));

        QCOMPARE(w.DbGridMascotas->geometry(), QRect(14, 12, 337, 75));
        QCOMPARE(titlesOf(w.DbGridMascotas), QStringList { "Seleccionar Mascota" });
        QCOMPARE(w.DbGridMascotas->columnWidth(0), 332);
        QCOMPARE(w.DbGridMascotas->selectionBehavior(), QAbstractItemView::SelectItems);

        QCOMPARE(w.DBGrid1->geometry(), QRect(14, 104, 713, 201));
        QCOMPARE(w.DBGrid1->selectionBehavior(), QAbstractItemView::SelectRows);
        QCOMPARE(titlesOf(w.DBGrid1),
            (QStringList {
                "Fecha", "Razón Visita", "Clínica Veterianaria", "Veterinario", "Próx.Visita", "" }));
        // Sized to the field: characters times a digit, plus 4, never
        // narrower than the title plus 4.
        const int digit = w.DBGrid1->fontMetrics().horizontalAdvance(QLatin1Char('0'));
        const QFontMetrics titles(w.DBGrid1->horizontalHeader()->font());
        const auto sized = [&](int chars, const QString& title) {
            return qMax(chars * digit + 4, titles.horizontalAdvance(title) + 4);
        };
        QCOMPARE(w.DBGrid1->columnWidth(0), sized(10, "Fecha"));
        QCOMPARE(w.DBGrid1->columnWidth(1), sized(50, "Razón Visita"));
        QCOMPARE(w.DBGrid1->columnWidth(2), sized(50, "Clínica Veterianaria"));
        QCOMPARE(w.DBGrid1->columnWidth(3), sized(50, "Veterinario"));
        QCOMPARE(w.DBGrid1->columnWidth(4), 76);
        QCOMPARE(w.DBGrid1->columnWidth(5), 302);

        // The filler column reads nothing and shows nothing; the grid scrolls sideways.
        p.addVisits({ { "P1", "VACUNA", "CLINICA SOL", "DRA. PÉREZ" } });
        p.showList();
        QCOMPARE(HealthProgram::column(w.DBGrid1, 1), QStringList { "VACUNA" });
        QCOMPARE(HealthProgram::column(w.DBGrid1, 5), QStringList { "" });
        QVERIFY(w.DBGrid1->horizontalScrollBar()->maximum() > 0);

        // Tab order: the pet selector (where the first showing starts), then the visits.
        QCOMPARE(QApplication::focusWidget(), w.DbGridMascotas);
        QTest::keyClick(w.DbGridMascotas, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.DBGrid1);
    }

    void visitLayout()
    {
        HealthProgram p;
        TFichaSanidad& w = *p.record;
        QCOMPARE(w.windowTitle(), QStringLiteral("  Registro Visita / Tratamiento"));
        QCOMPARE(w.size(), QSize(742, 390));
        QCOMPARE(w.helpTopic(), 5);
        QCOMPARE(w.But_Aceptar->geometry(), QRect(230, 353, 113, 30));
        QCOMPARE(w.But_Cancelar->geometry(), QRect(398, 353, 113, 30));
        QCOMPARE(w.But_Cerrar->geometry(), QRect(314, 352, 113, 30));
        QCOMPARE(w.Bevel1->geometry(), QRect(0, 336, 729, 9));

        const std::vector<std::tuple<QWidget*, QRect, QLabel*, QString, int>> rows {
            { w.DBEdit2, { 139, 19, 516, 21 }, w.Label1, "Mascota :", 21 },
            { w.EditFecha, { 139, 50, 86, 21 }, w.Label2, "Fecha :", 50 },
            { w.EditConcepto, { 139, 82, 516, 21 }, w.Label3, "Descripción :", 82 },
            { w.DBLookupComboBox1, { 139, 112, 516, 21 }, w.Label4, "Clínica Veter. :", 114 },
            { w.EditVeterinario, { 139, 145, 516, 21 }, w.Label5, "Veterinario :", 146 },
            { w.EditTratamiento, { 139, 177, 516, 21 }, w.Label6, "Tratamiento :", 178 },
            { w.EditMedicacion, { 139, 209, 516, 21 }, w.Label7, "Medicación :", 210 },
            { w.EditProx_Visita, { 139, 240, 86, 21 }, w.Label8, "Próxima Acción :", 242 },
            { w.EditObserva1, { 139, 272, 516, 21 }, w.Label9, "Comentarios :", 274 },
            { w.EditObserva2, { 139, 304, 516, 21 }, nullptr, "", 0 },
        };
        for (const auto& [box, place, label, text, top] : rows) {
            QCOMPARE(box->geometry(), place);
            if (!label)
                continue;
            QCOMPARE(label->text(), text);
            QCOMPARE(label->geometry().right() + 1, 127);
            QCOMPARE(label->y(), top);
        }
        for (bound::DBEdit* box : { w.EditFecha, w.EditConcepto, w.EditVeterinario, w.EditTratamiento,
                 w.EditMedicacion, w.EditProx_Visita, w.EditObserva1, w.EditObserva2, w.DBEdit2 })
            QCOMPARE(box->charCase(), bound::DBEdit::CharCase::Upper);
        QCOMPARE(w.EditConcepto->palette().color(QPalette::Base), controls::kBoxBackground);
        QCOMPARE(w.EditConcepto->palette().color(QPalette::Text), controls::clBlack);
        QCOMPARE(w.DBEdit2->palette().color(QPalette::Base), controls::clMoneyGreen);
        QVERIFY(w.DBLookupComboBox1->font().bold());

        // Tab runs through the nine boxes and round again, never into DBEdit2.
        p.showList();
        QVERIFY(w.EditFecha->usesDateTemplate());
        QVERIFY(w.EditProx_Visita->usesDateTemplate());
        QStringList order;
        boundtest::whenShown(&w, [&] {
            QTRY_COMPARE(QApplication::focusWidget(), w.EditFecha);
            for (int i = 0; i < 10; ++i) {
                order << QApplication::focusWidget()->objectName();
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            click(&w, "But_Cerrar");
        });
        click(p.list.get(), "But_Ver");
        QCOMPARE(order,
            (QStringList { "EditFecha", "EditConcepto", "DBLookupComboBox1", "EditVeterinario",
                "EditTratamiento", "EditMedicacion", "EditProx_Visita", "EditObserva1", "EditObserva2",
                "EditFecha" }));
    }

    void petNameBoxEditsThePet()
    {
        HealthProgram p;
        p.showList();
        boundtest::whenShown(p.record.get(), [&] {
            TFichaSanidad& w = *p.record;
            QCOMPARE(w.DBEdit2->text(), QStringLiteral("LUNA"));
            QTest::mouseClick(w.DBEdit2, Qt::LeftButton);
            QCOMPARE(QApplication::focusWidget(), w.DBEdit2);
            QTest::keyClick(w.DBEdit2, Qt::Key_End);
            QTest::keyClicks(w.DBEdit2, "r");
            QCOMPARE(p.pets().state(), engine::TableState::Edit);
            QCOMPARE(w.DBEdit2->text(), QStringLiteral("LUNAR"));
            click(&w, "But_Cancelar");
        });
        click(p.list.get(), "But_Anadir");
        QCOMPARE(p.visits().state(), engine::TableState::Browse);
    }

    void petWithoutVisits()
    {
        HealthProgram p;
        boundtest::Recorder recorder;
        p.addVisits({ { "P1", "VACUNA", "", "" } });
        p.showList();
        QCOMPARE(HealthProgram::column(p.list->DBGrid1, 1), QStringList { "VACUNA" });
        clickRow(p.list->DbGridMascotas, 1); // TOBY, without visits
        QCOMPARE(p.list->DBGrid1->model()->rowCount(), 0);

        // Borrar: the table layer's refusal, and nothing changes.
        boundtest::whenShown(p.borrar.get(), [&] { click(p.borrar.get(), "But_Aceptar"); });
        QTimer::singleShot(0, p.list.get(), [&] { QTest::keyClick(p.list->DBGrid1, Qt::Key_B); });
        QTRY_COMPARE(recorder.messages.size(), 1);
        QCOMPARE(recorder.messages[0],
            QStringLiteral("TablaSanidad: Cannot perform this operation on an empty dataset."));

        // Modificar adds the pet's first visit.
        QList<bool> buttons;
        boundtest::whenShown(p.record.get(), [&] {
            TFichaSanidad& w = *p.record;
            buttons = { shown(&w, "But_Aceptar"), shown(&w, "But_Cancelar"), shown(&w, "But_Cerrar") };
            w.EditConcepto->setFocus();
            QTest::keyClicks(w.EditConcepto, "revision");
            QTest::keyClick(w.EditConcepto, Qt::Key_A, Qt::AltModifier);
        });
        click(p.list.get(), "But_Modificar");
        QCOMPARE(buttons, (QList<bool> { true, true, false }));
        QCOMPARE(HealthProgram::column(p.list->DBGrid1, 1), QStringList { "REVISION" });
        QCOMPARE(p.storedVisits(), (QStringList { "P1|VACUNA||", "P2|REVISION||" }));
    }

    void anotherPetShowsItsVisitsAndAVisitAddedCarriesItsCode()
    {
        HealthProgram p;
        p.addVisits({ { "P1", "B LUNA", "", "" }, { "P2", "TOBY", "", "" }, { "P1", "A LUNA", "", "" } });
        p.showList();
        QCOMPARE(HealthProgram::column(p.list->DBGrid1, 1), (QStringList { "A LUNA", "B LUNA" }));
        clickRow(p.list->DbGridMascotas, 1);
        QCOMPARE(HealthProgram::column(p.list->DBGrid1, 1), QStringList { "TOBY" });
        boundtest::whenShown(p.record.get(), [&] {
            QCOMPARE(p.record->DBEdit2->text(), QStringLiteral("TOBY"));
            p.record->EditConcepto->setFocus();
            QTest::keyClicks(p.record->EditConcepto, "nueva");
            click(p.record.get(), "But_Aceptar");
        });
        QTest::keyClick(p.list->DBGrid1, Qt::Key_D); // Añadir, typed alone on the grid
        QCOMPARE(HealthProgram::column(p.list->DBGrid1, 1), (QStringList { "NUEVA", "TOBY" }));
        QCOMPARE(p.storedVisits(), (QStringList { "P1|A LUNA||", "P1|B LUNA||", "P2|NUEVA||", "P2|TOBY||" }));
        clickRow(p.list->DbGridMascotas, 0);
        QCOMPARE(HealthProgram::column(p.list->DBGrid1, 1), (QStringList { "A LUNA", "B LUNA" }));
    }

    // Steps in the visit window: "vet:TEXT" types a veterinarian, "type:TEXT"
    // types into the clinic list, "pick:N" picks entry N from the dropped-down
    // list, "down" presses the down arrow in the clinic list.
    void clinicRule_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("clinic");
        QTest::addColumn<QString>("vet");
        QTest::newRow("picked: the clinic's veterinarian") << QStringList { "pick:1" } << "CLINICA SOL"
                                                           << "DRA. PÉREZ";
        QTest::newRow("typed before the choice: replaced")
            << QStringList { "vet:mi vet", "type:clinica s" } << "CLINICA SOL"
            << "DRA. PÉREZ";
        QTest::newRow("same clinic again: replaces one typed after the first choice")
            << QStringList { "pick:1", "vet:otro", "pick:1" } << "CLINICA SOL"
            << "DRA. PÉREZ";
        QTest::newRow("same clinic again by typing")
            << QStringList { "type:clinica s", "vet:otro", "type:CLINICA S" } << "CLINICA SOL"
            << "DRA. PÉREZ";
        QTest::newRow("clinic without veterinarian: emptied")
            << QStringList { "vet:mi vet", "pick:4" } << "SIN VET"
            << "";
        QTest::newRow("typed after the choice: kept") << QStringList { "pick:1", "vet:otro" } << "CLINICA SOL"
                                                      << "OTRO";
        QTest::newRow("two clinics of one name: the first picked") << QStringList { "pick:2" } << "DOBLE"
                                                                   << "DR. UNO";
        QTest::newRow("two clinics of one name: the second picked") << QStringList { "pick:3" } << "DOBLE"
                                                                    << "DR. DOS";
        QTest::newRow("the second after the first") << QStringList { "pick:2", "pick:3" } << "DOBLE"
                                                    << "DR. DOS";
        QTest::newRow("arrow key") << QStringList { "type:clinica m", "down" } << "CLINICA SOL"
                                   << "DRA. PÉREZ";
    }
    void clinicRule()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, clinic);
        QFETCH(QString, vet);
        HealthProgram p;
        p.addClinics(kClinics);
        p.showList();
        QString shownVet;
        boundtest::whenShown(p.record.get(), [&] {
            TFichaSanidad& w = *p.record;
            QCOMPARE(w.DBLookupComboBox1->entries(), kClinicEntries);
            QCOMPARE(w.DBLookupComboBox1->currentText(), QString());
            for (const QString& step : steps) {
                const QString arg = step.section(QLatin1Char(':'), 1);
                if (step.startsWith("vet:")) {
                    w.EditVeterinario->setFocus();
                    w.EditVeterinario->selectAll();
                    QTest::keyClicks(w.EditVeterinario, arg);
                } else if (step.startsWith("type:")) {
                    w.DBLookupComboBox1->setFocus();
                    QTest::keyClicks(w.DBLookupComboBox1, arg);
                } else if (step.startsWith("pick:")) {
                    pickEntry(w.DBLookupComboBox1, arg.toInt());
                } else {
                    QTest::keyClick(w.DBLookupComboBox1, Qt::Key_Down);
                }
            }
            QCOMPARE(w.DBLookupComboBox1->currentText(), clinic);
            shownVet = w.EditVeterinario->text();
            click(&w, "But_Aceptar");
        });
        click(p.list.get(), "But_Anadir");
        QCOMPARE(shownVet, vet);
        QCOMPARE(p.storedVisits(), QStringList { QStringLiteral("P1||%1|%2").arg(clinic, vet) });
    }

    // A visit saved with one of two clinics of one name opens on that one,
    // told apart by its veterinarian; when the stored names cannot tell,
    // on none, and Enter then copies nobody.
    void reopenedVisitShowsTheClinicItWasSavedWith_data()
    {
        QTest::addColumn<QString>("vet");
        QTest::addColumn<int>("entry");
        QTest::newRow("the first") << "DR. UNO" << 2;
        QTest::newRow("the second") << "DR. DOS" << 3;
        QTest::newRow("veterinarian changed by hand") << "OTRO" << -1;
    }
    void reopenedVisitShowsTheClinicItWasSavedWith()
    {
        QFETCH(QString, vet);
        QFETCH(int, entry);
        HealthProgram p;
        p.addClinics(kClinics);
        p.addVisits({ { "P1", "REVISION", "DOBLE", vet } });
        p.showList();
        int shown = -2;
        QString vetAfterEnter;
        boundtest::whenShown(p.record.get(), [&] {
            TFichaSanidad& w = *p.record;
            shown = w.DBLookupComboBox1->currentIndex();
            w.DBLookupComboBox1->setFocus();
            QTest::keyClick(w.DBLookupComboBox1, Qt::Key_Return);
            vetAfterEnter = w.EditVeterinario->text();
            click(&w, "But_Cancelar");
        });
        click(p.list.get(), "But_Modificar");
        QCOMPARE(shown, entry);
        QCOMPARE(vetAfterEnter, vet);
        QCOMPARE(p.storedVisits(), QStringList { QStringLiteral("P1|REVISION|DOBLE|%1").arg(vet) });
    }

    void clinicRuleByCode()
    {
        HealthProgram p;
        p.addClinics({ { "CLINICA SOL", "DRA. PÉREZ" } });
        TModuloGeneral& d = p.data();
        d.TablaMascotas->open();
        d.TablaSanidad->open();
        d.TablaSanidad->append();
        d.TablaSanidadVETERINARIO->setAsString(QStringLiteral("A MANO"));
        // No current clinic while the clinics table is closed: the typed name stays.
        d.TablaSanidadCLINICA->setAsString(QStringLiteral("OTRA"));
        QCOMPARE(d.TablaSanidadVETERINARIO->asString(), QStringLiteral("A MANO"));
        // Open, the current clinic's veterinarian goes in, whatever name was written.
        d.TablaVeterinarios->open();
        d.TablaSanidadCLINICA->setAsString(QStringLiteral("OTRA"));
        QCOMPARE(d.TablaSanidadVETERINARIO->asString(), QStringLiteral("DRA. PÉREZ"));
        d.TablaSanidad->cancel();
    }

    void visitOfARenamedClinic()
    {
        HealthProgram p;
        p.addClinics({ { "NUEVA", "DR. NUEVO" } });
        p.addVisits({ { "P1", "REVISION", "VIEJA", "DR. VIEJO" } });
        p.showList();
        QCOMPARE(HealthProgram::column(p.list->DBGrid1, 2), QStringList { "VIEJA" });
        // Changed and accepted without a choice: the stored name stays.
        QString shownClinic = QStringLiteral("?");
        boundtest::whenShown(p.record.get(), [&] {
            TFichaSanidad& w = *p.record;
            shownClinic = w.DBLookupComboBox1->currentText();
            QCOMPARE(w.DBLookupComboBox1->currentIndex(), -1);
            w.EditTratamiento->setFocus();
            QTest::keyClicks(w.EditTratamiento, "reposo");
            click(&w, "But_Aceptar");
        });
        click(p.list.get(), "But_Modificar");
        QCOMPARE(shownClinic, QString());
        QCOMPARE(p.storedVisits(), QStringList { "P1|REVISION|VIEJA|DR. VIEJO" });
        // Until another clinic is chosen.
        boundtest::whenShown(p.record.get(), [&] {
            pickEntry(p.record->DBLookupComboBox1, 0);
            click(p.record.get(), "But_Aceptar");
        });
        click(p.list.get(), "But_Modificar");
        QCOMPARE(p.storedVisits(), QStringList { "P1|REVISION|NUEVA|DR. NUEVO" });
    }

    void emptyClinicsTable()
    {
        HealthProgram p;
        p.addVisits({ { "P1", "REVISION", "VIEJA", "" } });
        p.showList();
        boundtest::whenShown(p.record.get(), [&] {
            TFichaSanidad& w = *p.record;
            QCOMPARE(w.DBLookupComboBox1->count(), 0);
            w.DBLookupComboBox1->setFocus();
            QTest::keyClicks(w.DBLookupComboBox1, "v");
            QTest::keyClick(w.DBLookupComboBox1, Qt::Key_Down);
            QCOMPARE(w.DBLookupComboBox1->currentText(), QString());
            QTest::keyClick(w.DBLookupComboBox1, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), w.EditVeterinario);
            QTest::keyClicks(w.EditVeterinario, "dra. mano");
            click(&w, "But_Aceptar");
        });
        click(p.list.get(), "But_Modificar");
        QCOMPARE(p.storedVisits(), QStringList { "P1|REVISION|VIEJA|DRA. MANO" });
    }

    void locate_data()
    {
        QTest::addColumn<QString>("text"); // null: cancelled
        QTest::addColumn<QString>("reason");
        QTest::newRow("beginning, small letters") << "rev"
                                                  << "REVISIÓN ANUAL";
        QTest::newRow("whole reason") << "consulta"
                                      << "CONSULTA";
        QTest::newRow("between two: the next") << "f"
                                               << "REVISIÓN ANUAL";
        QTest::newRow("accented first letter, typed without") << "acaros"
                                                              << "ÁCAROS";
        QTest::newRow("accented first letter, beginning") << "úl"
                                                          << "ÚLCERA";
        QTest::newRow("after C, before R") << "d"
                                           << "ESTERILIZACIÓN";
        QTest::newRow("accents in small letters") << "vacunación"
                                                  << "VACUNACIÓN";
        QTest::newRow("quote") << "vacuna 'r"
                               << "VACUNA 'RABIA'";
        QTest::newRow("percent is a character") << "vacuna%"
                                                << "VACUNA_B";
        QTest::newRow("underscore is a character") << "vacuna_"
                                                   << "VACUNA_B";
        QTest::newRow("longer than any reason: the pet's last")
            << QStringLiteral("VACUNAS").append(QString(60, QLatin1Char('Z'))) << "VACUNAS";
        QTest::newRow("not reached: the pet's last, not another pet's") << "zzz"
                                                                        << "VACUNAS";
        QTest::newRow("cancelled: stays") << QString() << "REVISIÓN ANUAL";
        QTest::newRow("accepted empty: stays") << QStringLiteral("") << "REVISIÓN ANUAL";
    }
    void locate()
    {
        QFETCH(QString, text);
        QFETCH(QString, reason);
        HealthProgram p;
        p.addVisits({ { "P1", "VACUNACIÓN", "", "" }, { "P1", "VACUNA 100%", "", "" },
            { "P1", "CONSULTA", "", "" }, { "P2", "ZZZ OTRA", "", "" }, { "P1", "VACUNA_B", "", "" },
            { "P1", "REVISIÓN ANUAL", "", "" }, { "P1", "VACUNA 'RABIA'", "", "" },
            { "P1", "VACUNAS", "", "" }, { "P1", "ÚLCERA", "", "" }, { "P1", "ESTERILIZACIÓN", "", "" },
            { "P1", "ÁCAROS", "", "" } });
        p.showList();
        // Accents with their letter, as a Spanish reader orders.
        QCOMPARE(HealthProgram::column(p.list->DBGrid1, 1),
            (QStringList { "ÁCAROS", "CONSULTA", "ESTERILIZACIÓN", "REVISIÓN ANUAL", "ÚLCERA",
                "VACUNA 'RABIA'", "VACUNA 100%", "VACUNA_B", "VACUNACIÓN", "VACUNAS" }));
        clickRow(p.list->DBGrid1, 3);
        QCOMPARE(p.currentReason(), QStringLiteral("REVISIÓN ANUAL"));
        p.locate(text);
        QCOMPARE(p.currentReason(), reason);
        QCOMPARE(p.list->DBGrid1->currentIndex().row(), p.visits().rowIndex());
        QCOMPARE(p.data().TablaMascotasCODIGO->asString(), QStringLiteral("P1"));
    }

    void locateByLetterSettlesAPendingChange()
    {
        HealthProgram p;
        p.addVisits({ { "P1", "BETA", "", "" }, { "P1", "ALFA", "", "" } });
        p.showList();
        // A change typed while viewing stays pending after Cerrar...
        boundtest::whenShown(p.record.get(), [&] {
            p.record->EditConcepto->setFocus();
            p.record->EditConcepto->selectAll();
            QTest::keyClicks(p.record->EditConcepto, "gamma");
            click(p.record.get(), "But_Cerrar");
        });
        click(p.list.get(), "But_Ver");
        QCOMPARE(p.visits().state(), engine::TableState::Edit);
        // ...and Localizar (the letter L on the grid) stores it before moving.
        boundtest::whenShown(p.buscar.get(), [&] {
            QTest::keyClicks(p.buscar->TextoBusqueda, "b");
            QTest::keyClick(p.buscar->TextoBusqueda, Qt::Key_A, Qt::AltModifier);
        });
        QTest::keyClick(p.list->DBGrid1, Qt::Key_L);
        QCOMPARE(p.visits().state(), engine::TableState::Browse);
        QCOMPARE(p.currentReason(), QStringLiteral("BETA"));
        QCOMPARE(p.storedVisits(), (QStringList { "P1|BETA||", "P1|GAMMA||" }));
    }

    void locateOnAPetWithoutVisits()
    {
        HealthProgram p;
        boundtest::Recorder recorder;
        p.addVisits({ { "P1", "VACUNA", "", "" } });
        p.showList();
        clickRow(p.list->DbGridMascotas, 1);
        p.locate(QStringLiteral("vacuna"));
        QVERIFY(recorder.messages.isEmpty());
        QVERIFY(p.visits().isEmpty());
        QCOMPARE(p.list->DBGrid1->model()->rowCount(), 0);
    }

    void listingWithoutProject()
    {
        HealthProgram p;
        boundtest::Recorder recorder;
        p.addVisits({ { "P1", "VACUNA", "", "" } });
        p.showList();
        QCOMPARE(p.list->RvListaSanidad.fileName(), QString(HLR_BIN_DIR "/sanidad.rpt"));
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("sanidad.rpt"));
        p.list->RvListaSanidad.setFileName(missing);
        const QString message
            = QStringLiteral("The following reporting project does not exist:\n\"%1\"").arg(missing);
        // A second listing tries again and says so again.
        for (int attempt = 1; attempt <= 2; ++attempt) {
            QTimer::singleShot(0, p.list.get(), [&] { QTest::keyClick(p.list->DBGrid1, Qt::Key_T); });
            QTRY_COMPARE(recorder.messages.size(), attempt);
            QCOMPARE(recorder.messages.last(), message);
            QVERIFY(!p.visits().controlsDisabled());
            QVERIFY(p.list->isVisible());
        }
        QCOMPARE(HealthProgram::column(p.list->DBGrid1, 1), QStringList { "VACUNA" });
    }

    void listingCancelledInTheSetup()
    {
        HealthProgram p;
        boundtest::Recorder recorder;
        p.addVisits({ { "P1", "VACUNA", "", "" }, { "P1", "CONSULTA", "", "" } });
        p.showList();
        clickRow(p.list->DBGrid1, 1);
        bool disabledDuringSetup = false;
        bool previewSeen = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            previewSeen = previewSeen || shownWindow(QStringLiteral("PrevisualizacionListado"));
            QWidget* setup = shownWindow(QStringLiteral("OpcionesSalida"));
            if (!setup)
                return;
            disabledDuringSetup = p.visits().controlsDisabled();
            setup->findChild<QPushButton*>(QStringLiteral("But_Cancelar"))->click();
        });
        poll.start(10);
        click(p.list.get(), "But_Listar");
        QTRY_VERIFY(!shownWindow(QStringLiteral("OpcionesSalida")));
        poll.stop();
        QVERIFY(disabledDuringSetup);
        QVERIFY(!previewSeen);
        QVERIFY(recorder.messages.isEmpty());
        QVERIFY(!p.visits().controlsDisabled());
        QCOMPARE(HealthProgram::column(p.list->DBGrid1, 1), (QStringList { "CONSULTA", "VACUNA" }));
        QCOMPARE(p.list->DBGrid1->currentIndex().row(), 1);
        QCOMPARE(p.currentReason(), QStringLiteral("VACUNA"));
    }

    void listingPrintsTheChosenPetsVisits()
    {
        HealthProgram p;
        p.addVisits({ { "P1", "VACUNA DE LUNA", "", "" }, { "P2", "VACUNA DE TOBY", "", "" } });
        p.showList();
        clickRow(p.list->DbGridMascotas, 1);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("registro.pdf"));
        QVERIFY(p.list->RvListaSanidad.selectReport(QStringLiteral("Registro")));
        p.list->RvListaSanidad.runToFile(pdf, report::ReportFileFormat::Pdf);
        const QString text = testsupport::pdfText(pdf);
        QVERIFY2(text.contains(QStringLiteral("VACUNA DE TOBY")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("TOBY")));
        QVERIFY(!text.contains(QStringLiteral("LUNA")));
    }

    void visitWindowClosedByTheWindowManager_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<engine::TableState>("state");
        QTest::newRow("Modificar") << "But_Modificar" << engine::TableState::Edit;
        QTest::newRow("Ver") << "But_Ver" << engine::TableState::Browse;
    }
    void visitWindowClosedByTheWindowManager()
    {
        QFETCH(QString, operation);
        QFETCH(engine::TableState, state);
        HealthProgram p;
        p.addVisits({ { "P1", "ALFA", "", "" }, { "P1", "BETA", "", "" }, { "P1", "GAMMA", "", "" } });
        const QStringList before = p.storedVisits();
        p.showList();
        clickRow(p.list->DBGrid1, 1);
        p.list->DBGrid1->setFocus();
        boundtest::whenShown(p.record.get(), [&] {
            p.record->EditTratamiento->setFocus();
            p.record->close(); // as the window manager closes it
        });
        click(p.list.get(), operation.toLatin1().constData());
        QVERIFY(!p.record->isVisible());
        QCOMPARE(p.visits().state(), state);
        QCOMPARE(p.currentReason(), QStringLiteral("BETA"));
        // The register becomes the active window again and its grid takes the focus back.
        p.list->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(p.list.get()));
        QTRY_COMPARE(QApplication::focusWidget(), p.list->DBGrid1);
        QCOMPARE(p.visits().rowIndex(), 1);
        QCOMPARE(p.list->DBGrid1->currentIndex().row(), 1);
        click(p.list.get(), "But_Salir");
        QCOMPARE(p.storedVisits(), before);
    }

    void tablesAroundTheRegister_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("Salir") << 0;
        QTest::newRow("letter S") << 1;
        QTest::newRow("window manager close") << 2;
    }
    void tablesAroundTheRegister()
    {
        QFETCH(int, how);
        HealthProgram p;
        p.addVisits({ { "P1", "ALFA", "", "" } });
        const QStringList before = p.storedVisits();
        QStringList opened;
        QStringList closed;
        TModuloGeneral& d = p.data();
        std::vector<engine::ScopedConnection> watching;
        for (engine::DataSource* s : { d.SourceMascotas, d.SourceSanidad, d.SourceVeterinarios }) {
            engine::Table* table = &s->table();
            watching.emplace_back(s->onStateChange([table, &opened, &closed] {
                if (!table->active())
                    closed << table->name();
                else if (table->state() == engine::TableState::Browse && !opened.contains(table->name()))
                    opened << table->name();
            }));
        }
        p.list->show();
        QVERIFY(QTest::qWaitForWindowActive(p.list.get()));
        QCOMPARE(opened, (QStringList { "TablaMascotas", "TablaVeterinarios", "TablaSanidad" }));
        // A change typed while viewing is dropped with the register.
        boundtest::whenShown(p.record.get(), [&] {
            p.record->EditConcepto->setFocus();
            QTest::keyClicks(p.record->EditConcepto, "X");
            click(p.record.get(), "But_Cerrar");
        });
        click(p.list.get(), "But_Ver");
        QCOMPARE(p.visits().state(), engine::TableState::Edit);
        if (how == 0)
            click(p.list.get(), "But_Salir");
        else if (how == 1)
            QTest::keyClick(p.list->DBGrid1, Qt::Key_S);
        else
            p.list->close();
        QTRY_VERIFY(!p.list->isVisible());
        QCOMPARE(closed, (QStringList { "TablaMascotas", "TablaSanidad", "TablaVeterinarios" }));
        QCOMPARE(p.storedVisits(), before);
    }
};

HLR_TEST_MAIN(TestSanidad, WindowsWithEnterAsTab)

#include "tst_sanidad.moc"
