// The vaccination card: both windows' layout and tab order, the species rule
// in the list (from the data module) and in the record window, a pet without
// a record, ticks and dates stored as entered, the focus and the letters, a
// failed post, and the two tables' life.
#include "VaccineFixture.h"
#include "support/TestMain.h"

#include "bound/DBCheckBox.h"
#include "bound/DBEdit.h"
#include "bound/DBGrid.h"
#include "bound/DBText.h"
#include "controls/Accelerators.h"
#include "controls/Fonts.h"
#include "platform/Application.h"

#include <QContextMenuEvent>
#include <QFrame>
#include <QMenu>
#include <QTimer>

using vaccinetest::petOf;
using vaccinetest::VaccineProgram;

namespace {

const QStringList kDogNames { "Moquillo y Parvovirosis :", "Parvovirosis :", "Polivalente :", "Rabia :" };
const QStringList kOtherNames { "Trivalente :", "Trivalente + Leucemia :", "Leucemia :", "Rabia :" };
const QString kDogAdvice = QStringLiteral("Revacunar de Polivalente al año de la primera vacuna.");
const QString kOtherAdvice
    = QStringLiteral("Revacunar de Trivalente + Leucemia al año de la primera vacuna.");
const QString kDogRabiesAge = QStringLiteral("A los 4 - 5 meses.");
const QString kOtherRabiesAge = QStringLiteral("A los 4 meses.");

// The six texts of the list window that the species rule sets.
QStringList listTexts(const TFichaVacunas& w)
{
    return { w.Etiqueta_1->text(), w.Etiqueta_2->text(), w.Etiqueta_3->text(), w.Etiqueta_4->text(),
        w.Etiqueta_5->text(), w.Texto_4->text() };
}

QStringList expectedListTexts(bool dog)
{
    QStringList texts = dog ? kDogNames : kOtherNames;
    texts << (dog ? kDogAdvice : kOtherAdvice) << (dog ? kDogRabiesAge : kOtherRabiesAge);
    return texts;
}

QStringList recordNames(const TFichaRegVacunas& w)
{
    return { w.Etiqueta_1->text(), w.Etiqueta_2->text(), w.Etiqueta_3->text(), w.Etiqueta_4->text() };
}

QList<Qt::CheckState> listTicks(const TFichaVacunas& w)
{
    return { w.DBCheckBox1->checkState(), w.DBCheckBox2->checkState(), w.DBCheckBox3->checkState(),
        w.DBCheckBox4->checkState() };
}

QStringList listDates(const TFichaVacunas& w)
{
    return { w.DBText1->text(), w.DBText2->text(), w.DBText3->text(), w.DBText4->text() };
}

// The controls a focus chain visits from `first`, skipping those without focus.
QStringList focusOrder(QWidget* first, int count)
{
    QStringList names;
    QWidget* w = first;
    for (int i = 0; i < count; ++i, w = w->nextInFocusChain()) {
        while (w->focusPolicy() == Qt::NoFocus)
            w = w->nextInFocusChain();
        names << w->objectName();
    }
    return names;
}

void clickTick(QCheckBox* box)
{
    QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
}

const auto kGrey = Qt::PartiallyChecked;

} // namespace

class TestVaccines : public QObject {
    Q_OBJECT
private slots:
    void listLayout()
    {
        VaccineProgram p({ petOf("P1", "LUNA", "PERROS") });
        p.open();
        TFichaVacunas& w = *p.list;
        QCOMPARE(w.windowTitle(), QStringLiteral("  Registro Visita / Tratamiento"));
        QCOMPARE(w.size(), QSize(742, 390));
        QCOMPARE(w.helpTopic(), 6);
        QVERIFY(!w.helpIsPopup());
        QCOMPARE(w.DbGridMascotas->geometry(), QRect(14, 12, 337, 75));
        QCOMPARE(w.DbGridMascotas->model()->columnCount(), 1);
        QCOMPARE(w.DbGridMascotas->model()->headerData(0, Qt::Horizontal).toString(),
            QStringLiteral("Seleccionar Mascota"));
        QCOMPARE(w.DbGridMascotas->columnWidth(0), 332);
        QCOMPARE(w.Bevel2->geometry(), QRect(8, 96, 729, 9));
        QCOMPARE(w.Bevel1->geometry().top(), 336);
        QCOMPARE(w.Bevel3->geometry().topLeft(), QPoint(5, 264));
        const int tops[] = { 114, 146, 178, 210 };
        const QList<QLabel*> names { w.Etiqueta_1, w.Etiqueta_2, w.Etiqueta_3, w.Etiqueta_4 };
        const QList<bound::DBCheckBox*> ticks { w.DBCheckBox1, w.DBCheckBox2, w.DBCheckBox3, w.DBCheckBox4 };
        const QList<bound::DBText*> dates { w.DBText1, w.DBText2, w.DBText3, w.DBText4 };
        const QList<QLabel*> ages { w.Texto_1, w.Texto_2, w.Texto_3, w.Texto_4 };
        for (int row = 0; row < 4; ++row) {
            QCOMPARE(names[row]->geometry().right() + 1, 151);
            QCOMPARE(names[row]->y(), tops[row]);
            QVERIFY(names[row]->alignment() & Qt::AlignRight);
            // The longest name still fits its frame.
            QVERIFY(names[row]->fontMetrics().horizontalAdvance(kDogNames[row]) <= names[row]->width());
            QCOMPARE(ticks[row]->geometry(), QRect(160, tops[row], 14, 17));
            QVERIFY(ticks[row]->isReadOnly());
            QVERIFY(ticks[row]->text().isEmpty());
            QCOMPARE(dates[row]->geometry(), QRect(184, tops[row], 70, 17));
            QVERIFY(dates[row]->alignment() & Qt::AlignRight);
            QCOMPARE(dates[row]->palette().color(QPalette::WindowText), QColor(128, 128, 0));
            QCOMPARE(ages[row]->pos(), QPoint(288, tops[row]));
            QCOMPARE(ages[row]->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        }
        QCOMPARE(w.Texto_1->text(),
            QStringLiteral("( A las 6 semanas - Recomendada también la desparasitación )."));
        QCOMPARE(w.Texto_2->text(), QStringLiteral("( A las 9 semanas )."));
        QCOMPARE(w.Texto_3->text(),
            QStringLiteral("( A las 12 semanas - Recomendada también la desparasitación )."));
        QCOMPARE(w.Etiqueta_5->pos(), QPoint(16, 242));
        QCOMPARE(w.Label5->pos(), QPoint(16, 282));
        QCOMPARE(w.Label5->text(),
            QStringLiteral("Los periodos de vacunación de la tabla son generalizados, consulte a su "
                           "veterinario para los de su mascota."));
        QCOMPARE(w.Label6->pos(), QPoint(16, 306));
        QCOMPARE(w.Label6->text(), QStringLiteral("Se recomienda desparasitar a su mascota cada 3 meses."));
        // The whole advice lines are shown, not cut by their labels.
        for (QLabel* label : { w.Etiqueta_5, w.Label5, w.Label6, w.Texto_4 })
            QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
        QCOMPARE(w.But_Modificar->caption(), QStringLiteral("&Modificar"));
        QCOMPARE(w.But_Modificar->geometry(), QRect(230, 353, 113, 30));
        QCOMPARE(w.But_Salir->caption(), QStringLiteral("&Salir"));
        QCOMPARE(w.But_Salir->geometry(), QRect(398, 353, 113, 30));
        QCOMPARE(focusOrder(w.DbGridMascotas, 5),
            (QStringList { "DbGridMascotas", "DBCheckBox1", "DBCheckBox2", "DBCheckBox3", "DBCheckBox4" }));
        QCOMPARE(QApplication::focusWidget(), w.DbGridMascotas);
    }

    void recordLayout()
    {
        VaccineProgram p({ petOf("P1", "LUNA", "PERROS") });
        p.open();
        QStringList order;
        QRect accept;
        QRect cancel;
        QRect band;
        QList<QRect> places;
        QVERIFY(p.modify([&](TFichaRegVacunas& r) {
            order = focusOrder(r.DBCheckBox1, 8);
            accept = r.But_Aceptar->geometry();
            cancel = r.But_Cancelar->geometry();
            band = r.Bevel1->geometry();
            for (QWidget* c : std::initializer_list<QWidget*> {
                     r.Etiqueta_1, r.DBCheckBox1, r.EditFecha, r.Etiqueta_4, r.DBCheckBox4, r.DBEdit4 })
                places << c->geometry();
            r.cancelRecord();
        }));
        TFichaRegVacunas& r = *p.record;
        QCOMPARE(r.windowTitle(), QStringLiteral("Modificación datos Vacunas."));
        QCOMPARE(r.size(), QSize(420, 203));
        QCOMPARE(r.helpTopic(), 6);
        QVERIFY(r.helpIsPopup());
        QCOMPARE(r.palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(order,
            (QStringList { "DBCheckBox1", "EditFecha", "DBCheckBox2", "DBEdit2", "DBCheckBox3", "DBEdit3",
                "DBCheckBox4", "DBEdit4" }));
        QCOMPARE(accept, QRect(81, 175, 113, 20));
        QCOMPARE(cancel, QRect(225, 175, 113, 20));
        QCOMPARE(band, QRect(0, 160, 420, 5));
        QCOMPARE(places[0].right() + 1, 191);
        QCOMPARE(places[0].top(), 26);
        QCOMPARE(places[1], QRect(200, 26, 14, 17));
        QCOMPARE(places[2], QRect(240, 24, 85, 21));
        QCOMPARE(places[3].top(), 122);
        QCOMPARE(places[4], QRect(200, 122, 14, 17));
        QCOMPARE(places[5], QRect(240, 120, 85, 21));
        QVERIFY(r.EditFecha->usesDateTemplate());
        QVERIFY(!r.But_Cerrar);
    }

    void speciesRule_data()
    {
        QTest::addColumn<QString>("species");
        QTest::addColumn<bool>("dog");
        QTest::newRow("PERROS") << QStringLiteral("PERROS") << true;
        QTest::newRow("perros") << QStringLiteral("perros") << false;
        QTest::newRow("Perros") << QStringLiteral("Perros") << false;
        QTest::newRow("GATOS") << QStringLiteral("GATOS") << false;
        QTest::newRow("PERROS with a blank") << QStringLiteral("PERROS ") << false;
        QTest::newRow("no species") << QString() << false;
    }
    void speciesRule()
    {
        QFETCH(QString, species);
        QFETCH(bool, dog);
        VaccineProgram p({ petOf("P1", "LUNA", species) });
        // Shown for the first time, the window makes its labels after the
        // table was opened; they must be set all the same.
        p.open();
        QCOMPARE(listTexts(*p.list), expectedListTexts(dog));
        QStringList names;
        QVERIFY(p.modify([&](TFichaRegVacunas& r) {
            names = recordNames(r);
            r.cancelRecord();
        }));
        QCOMPARE(names, dog ? kDogNames : kOtherNames);
    }

    void textsFollowThePetChosen()
    {
        VaccineProgram p({ petOf("P1", "LUNA", "PERROS"), petOf("P2", "MISI", "GATOS"),
            petOf("P3", "TOBY", "PERROS"), petOf("P4", "NADA", QString()) });
        p.open();
        TFichaVacunas& w = *p.list;
        QCOMPARE(listTexts(w), expectedListTexts(true));
        // Down the grid and back up, each step from one set to the other.
        const struct {
            Qt::Key key;
            bool dog;
        } steps[] = { { Qt::Key_Down, false }, { Qt::Key_Down, true }, { Qt::Key_Down, false },
            { Qt::Key_Up, true }, { Qt::Key_Up, false }, { Qt::Key_Up, true } };
        for (const auto& step : steps) {
            QTest::keyClick(w.DbGridMascotas, step.key);
            QCOMPARE(listTexts(w), expectedListTexts(step.dog));
            // The record window, shown on that pet, agrees.
            QStringList names;
            QVERIFY(p.modify([&](TFichaRegVacunas& r) {
                names = recordNames(r);
                r.cancelRecord();
            }));
            QCOMPARE(names, step.dog ? kDogNames : kOtherNames);
        }
    }

    void petWithoutRecord()
    {
        VaccineProgram p({ petOf("P1", "LUNA", "PERROS"), petOf("P2", "MISI", "GATOS") });
        QVERIFY(p.storedCards().empty());
        p.open(1);
        TFichaVacunas& w = *p.list;
        const QList<Qt::CheckState> allGrey { kGrey, kGrey, kGrey, kGrey };
        QCOMPARE(listTicks(w), allGrey);
        QCOMPARE(listDates(w), (QStringList { "", "", "", "" }));

        // Modificar then Cancelar: still no record.
        engine::TableState stateShown {};
        QVERIFY(p.modify([&](TFichaRegVacunas& r) {
            stateShown = p.vaccines().state();
            recordtest::click(&r, "But_Cancelar");
        }));
        QCOMPARE(stateShown, engine::TableState::Insert);
        QCOMPARE(p.vaccines().state(), engine::TableState::Browse);
        QVERIFY(p.storedCards().empty());
        QCOMPARE(listTicks(w), allGrey);

        // Modificar then Aceptar: the record, with the pet's code and nothing else.
        QList<Qt::CheckState> ticksShown;
        QVERIFY(p.modify([&](TFichaRegVacunas& r) {
            ticksShown = { r.DBCheckBox1->checkState(), r.DBCheckBox2->checkState(),
                r.DBCheckBox3->checkState(), r.DBCheckBox4->checkState() };
            recordtest::click(&r, "But_Aceptar");
        }));
        QCOMPARE(ticksShown, allGrey);
        auto cards = p.storedCards();
        QCOMPARE(cards.size(), size_t(1));
        QVERIFY(cards.count(QStringLiteral("P2")));
        for (int i = 0; i < 4; ++i) {
            QVERIFY(cards[QStringLiteral("P2")].ticks[size_t(i)].isNull());
            QVERIFY(cards[QStringLiteral("P2")].dates[size_t(i)].isNull());
        }
        QCOMPARE(listTicks(w), allGrey);

        // The next Modificar edits that record and never makes a second.
        QVERIFY(p.modify([&](TFichaRegVacunas& r) {
            stateShown = p.vaccines().state();
            clickTick(r.DBCheckBox4);
            recordtest::click(&r, "But_Aceptar");
        }));
        QCOMPARE(stateShown, engine::TableState::Edit);
        cards = p.storedCards();
        QCOMPARE(cards.size(), size_t(1));
        QCOMPARE(cards[QStringLiteral("P2")].ticks[3], QVariant(true));
        QCOMPARE(w.DBCheckBox4->checkState(), Qt::Checked);
    }

    void ticksAndDatesStoredAsEntered()
    {
        VaccineProgram p({ petOf("P1", "LUNA", "PERROS") });
        p.open();
        QVERIFY(p.modify([&](TFichaRegVacunas& r) {
            clickTick(r.DBCheckBox1); // ticked, no date
            r.DBEdit2->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(r.DBEdit2, "05032027"); // a date, no tick
            clickTick(r.DBCheckBox3); // ticked, then unticked
            clickTick(r.DBCheckBox3);
            // Row 4 left grey.
            recordtest::click(&r, "But_Aceptar");
        }));
        const vaccinetest::Card card = p.storedCards()[QStringLiteral("P1")];
        QCOMPARE(card.ticks[0], QVariant(true));
        QVERIFY(card.ticks[1].isNull());
        QCOMPARE(card.ticks[2], QVariant(false));
        QVERIFY(card.ticks[3].isNull());
        QVERIFY(card.dates[0].isNull());
        QCOMPARE(card.dates[1].toDate(), QDate(2027, 3, 5));
        QVERIFY(card.dates[2].isNull());
        QVERIFY(card.dates[3].isNull());
        // The list shows what was stored, grey where nothing was.
        QCOMPARE(listTicks(*p.list), (QList<Qt::CheckState> { Qt::Checked, kGrey, Qt::Unchecked, kGrey }));
        QCOMPARE(listDates(*p.list), (QStringList { "", "05/03/2027", "", "" }));
    }

    // What the list window draws: the ages, the advice and the notes in navy,
    // the dates in olive, on the window's button-face ground; the names end
    // at the ticks.
    void listTextsDrawnInTheirColours()
    {
        VaccineProgram p({ petOf("P1", "LUNA", "PERROS") });
        p.open();
        QVERIFY(p.modify([&](TFichaRegVacunas& r) {
            r.DBEdit2->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(r.DBEdit2, "05032027");
            recordtest::click(&r, "But_Aceptar");
        }));
        TFichaVacunas& w = *p.list;
        const QImage shot = w.grab().toImage();
        auto pixelsOf = [&](const QWidget* text, const QColor& colour) {
            int count = 0;
            const QRect area = text->geometry();
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    count += shot.pixelColor(x, y).rgb() == colour.rgb();
            return count;
        };
        for (const QLabel* text :
            { w.Texto_1, w.Texto_2, w.Texto_3, w.Texto_4, w.Etiqueta_5, w.Label5, w.Label6 })
            QVERIFY2(pixelsOf(text, QColor(0, 0, 128)) > 10, qPrintable(text->objectName()));
        QVERIFY(pixelsOf(w.DBText2, QColor(128, 128, 0)) > 10);
        for (const QLabel* text : std::initializer_list<const QLabel*> { w.Texto_1, w.Label5, w.DBText2 })
            QCOMPARE(pixelsOf(text, QColor(0, 0, 0)), 0);
        // The names' ink ends at their right edge, against the ticks.
        for (const QLabel* name : { w.Etiqueta_1, w.Etiqueta_4 }) {
            int last = -1;
            const QRect area = name->geometry();
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    if (shot.pixelColor(x, y).lightness() < 160)
                        last = qMax(last, x);
            QCOMPARE(last + 1, 151);
        }
    }

    void focusOnFirstTickAndLetters()
    {
        VaccineProgram p({ petOf("P1", "LUNA", "GATOS") });
        p.open();
        QString focusFirst;
        bool openAfterLetter = false;
        QVERIFY(p.modify([&](TFichaRegVacunas& r) {
            focusFirst = r.focusWidget()->objectName();
            // In a date box a letter alone is typed, not a command.
            r.DBEdit3->setFocus();
            QTest::keyClick(r.DBEdit3, Qt::Key_C);
            QTest::keyClick(r.DBEdit3, Qt::Key_A);
            openAfterLetter = r.isVisible();
            QTest::keyClick(r.DBEdit3, Qt::Key_C, Qt::AltModifier);
        }));
        QCOMPARE(focusFirst, QStringLiteral("DBCheckBox1"));
        QVERIFY(openAfterLetter);
        QVERIFY(p.storedCards().empty());

        // Next time the focus is back on the first tick, where A alone accepts.
        QString focusAgain;
        QVERIFY(p.modify([&](TFichaRegVacunas& r) {
            QWidget* focus = r.focusWidget();
            focusAgain = focus->objectName();
            QTest::keyClick(focus, Qt::Key_Space);
            QTest::keyClick(focus, Qt::Key_A);
        }));
        QCOMPARE(focusAgain, QStringLiteral("DBCheckBox1"));
        QCOMPARE(p.storedCards()[QStringLiteral("P1")].ticks[0], QVariant(true));
        // M alone on the list's grid is Modificar, C alone on a tick cancels.
        bool shown = false;
        boundtest::whenShown(p.record.get(), [&] {
            shown = true;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_C);
            if (p.record->isVisible())
                p.record->cancelRecord();
        });
        p.list->DbGridMascotas->setFocus();
        QTest::keyClick(p.list->DbGridMascotas, Qt::Key_M);
        QVERIFY(shown);
        QCOMPARE(p.vaccines().state(), engine::TableState::Browse);
    }

    void listTicksIgnoreClicks()
    {
        VaccineProgram p({ petOf("P1", "LUNA", "PERROS") });
        p.open();
        QVERIFY(p.modify([&](TFichaRegVacunas& r) {
            clickTick(r.DBCheckBox1);
            clickTick(r.DBCheckBox2);
            clickTick(r.DBCheckBox2);
            recordtest::click(&r, "But_Aceptar");
        }));
        TFichaVacunas& w = *p.list;
        const QList<Qt::CheckState> before { Qt::Checked, Qt::Unchecked, kGrey, kGrey };
        QCOMPARE(listTicks(w), before);
        for (QCheckBox* box : { static_cast<QCheckBox*>(w.DBCheckBox1),
                 static_cast<QCheckBox*>(w.DBCheckBox2), static_cast<QCheckBox*>(w.DBCheckBox3) }) {
            clickTick(box);
            box->setFocus();
            QTest::keyClick(box, Qt::Key_Space);
        }
        QCOMPARE(listTicks(w), before);
        QCOMPARE(p.vaccines().state(), engine::TableState::Browse);
    }

    void badDateKeepsTheRecordWindowOpen()
    {
        pettest::MessageLog log;
        VaccineProgram p({ petOf("P1", "LUNA", "PERROS") });
        p.open();
        bool openAfterAccept = false;
        engine::TableState stateAfterAccept {};
        QVERIFY(p.modify([&](TFichaRegVacunas& r) {
            clickTick(r.DBCheckBox1);
            r.EditFecha->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(r.EditFecha, "31022027");
            QTest::keyClick(r.EditFecha, Qt::Key_A, Qt::AltModifier);
            openAfterAccept = r.isVisible();
            stateAfterAccept = p.vaccines().state();
            recordtest::click(&r, "But_Cancelar");
        }));
        QVERIFY(openAfterAccept);
        QCOMPARE(stateAfterAccept, engine::TableState::Insert);
        QCOMPARE(log.boxes.size(), 1);
        QCOMPARE(log.boxes[0].text, QStringLiteral("'31/02/2027' is not a valid date."));
        QVERIFY(p.storedCards().empty());
    }

    void closedWithoutButtonsActsAsCancelar()
    {
        VaccineProgram p({ petOf("P1", "LUNA", "PERROS"), petOf("P2", "MISI", "GATOS") });
        p.open();
        // A new record, closed as the desktop closes a window: none stored.
        QVERIFY(p.modify([&](TFichaRegVacunas& r) {
            clickTick(r.DBCheckBox1);
            r.close();
        }));
        QCOMPARE(p.vaccines().state(), engine::TableState::Browse);
        QVERIFY(p.storedCards().empty());
        QCOMPARE(p.list->DBCheckBox1->checkState(), kGrey);

        // A stored record changed, then closed: the stored values stay, also
        // after moving to another pet and back.
        QVERIFY(p.modify([&](TFichaRegVacunas& r) {
            clickTick(r.DBCheckBox1);
            recordtest::click(&r, "But_Aceptar");
        }));
        QVERIFY(p.modify([&](TFichaRegVacunas& r) {
            clickTick(r.DBCheckBox1);
            r.close();
        }));
        QCOMPARE(p.vaccines().state(), engine::TableState::Browse);
        QCOMPARE(p.list->DBCheckBox1->checkState(), Qt::Checked);
        QTest::keyClick(p.list->DbGridMascotas, Qt::Key_Down);
        QTest::keyClick(p.list->DbGridMascotas, Qt::Key_Up);
        QCOMPARE(p.storedCards()[QStringLiteral("P1")].ticks[0], QVariant(true));
        QCOMPARE(p.list->DBCheckBox1->checkState(), Qt::Checked);
    }

    void leavingClosesBothTables()
    {
        VaccineProgram p({ petOf("P1", "LUNA", "PERROS"), petOf("P2", "MISI", "GATOS") });
        p.open(1);
        QCOMPARE(listTexts(*p.list), expectedListTexts(false));
        recordtest::click(p.list.get(), "But_Salir");
        QVERIFY(!p.list->isVisible());
        QVERIFY(!p.data().TablaMascotas->active());
        QVERIFY(!p.vaccines().active());
        // The next entry starts again from the first pet.
        p.open();
        QCOMPARE(p.data().TablaMascotasCODIGO->asString(), QStringLiteral("P1"));
        QCOMPARE(listTexts(*p.list), expectedListTexts(true));
        p.list->close();
        QVERIFY(!p.vaccines().active());
    }

    // Ctrl+P and the context menu's "Imprimir cartilla..." both open the
    // listing's "Opciones de Salida" for the card.
    void cardPrintedFromKeyAndMenu()
    {
        VaccineProgram p({ petOf("P1", "LUNA", "PERROS"), petOf("P2", "MISI", "GATOS") });
        p.open(1);
        QStringList seen;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&seen] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (QAction* action : menu->actions())
                    seen << QStringLiteral("menu:") + action->text();
                menu->setActiveAction(menu->actions().value(0));
                QTest::keyClick(menu, Qt::Key_Return);
            } else if (QWidget* modal = QApplication::activeModalWidget()) {
                seen << modal->windowTitle();
                modal->close();
            }
        });
        poll.start();
        QTest::keyClick(p.list->DbGridMascotas, Qt::Key_P, Qt::ControlModifier);
        QContextMenuEvent event(
            QContextMenuEvent::Mouse, QPoint(300, 300), p.list->mapToGlobal(QPoint(300, 300)));
        QApplication::sendEvent(p.list.get(), &event);
        poll.stop();
        QCOMPARE(
            seen, QStringList({ "Opciones de Salida", "menu:Imprimir cartilla...", "Opciones de Salida" }));
        // The grid still on the pet chosen.
        QCOMPARE(p.data().TablaMascotasCODIGO->asString(), QStringLiteral("P2"));
    }
};

HLR_TEST_MAIN(TestVaccines, Windows)

#include "tst_vaccines.moc"
