// The check box, the lookup list, the grid with its model and the bound
// text, each over the test tables.
#include "bound/DBCheckBox.h"
#include "bound/DBGrid.h"
#include "bound/DBLookupComboBox.h"
#include "bound/DBText.h"
#include "engine/Field.h"
#include "support/BoundTesting.h"

#include <QAbstractItemModelTester>
#include <QDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace boundtest;

namespace {

QString name(int i)
{
    return QStringLiteral("Nota %1").arg(i, 3, 10, QLatin1Char('0'));
}

// Notes with codes in order, so row i holds "Nota i".
void fillNotes(engine::Table& notes, int count)
{
    notes.open();
    for (int i = 0; i < count; ++i)
        addRecord(notes,
            { { QStringLiteral("CODIGO"), QStringLiteral("C%1").arg(i, 4, 10, QLatin1Char('0')) },
                { QStringLiteral("NOMBRE"), name(i) } });
    notes.first();
}

void fillClinics(engine::Table& clinics)
{
    clinics.open();
    for (const auto& [clinic, group] :
        { std::pair { "Alfa", "A" }, { "Beta Vet", "B" }, { "Bosque", "A" }, { "Centro", "B" } })
        addRecord(clinics,
            { { QStringLiteral("CLINICA"), QString::fromLatin1(clinic) },
                { QStringLiteral("GRUPO"), QString::fromLatin1(group) } });
    clinics.first();
}

} // namespace

class TestBoundControls : public QObject {
    Q_OBJECT
private slots:
    void checkBoxCyclesAndAutoEdits()
    {
        TestData data;
        engine::Table& notes = *data.notes.table;
        notes.open();
        addRecord(notes, { { QStringLiteral("NOMBRE"), QStringLiteral("a") } });
        bound::DBCheckBox box(QStringLiteral("&Hecho"));
        box.setDataSource(data.notes.source.get());
        box.setDataField(QStringLiteral("HECHO"));
        QCOMPARE(box.checkState(), Qt::PartiallyChecked); // no value yet
        box.click();
        QCOMPARE(notes.state(), engine::TableState::Edit);
        QCOMPARE(notes.field(QStringLiteral("HECHO")).value(), QVariant(true));
        QCOMPARE(box.checkState(), Qt::Checked);
        box.click();
        QCOMPARE(notes.field(QStringLiteral("HECHO")).value(), QVariant(false));
        QCOMPARE(box.checkState(), Qt::Unchecked);
        box.click();
        QCOMPARE(box.checkState(), Qt::Checked);
        notes.cancel();
        QCOMPARE(box.checkState(), Qt::PartiallyChecked);
        QVERIFY(!box.property("hlrTakesCharacters").toBool());
    }

    void readOnlyCheckBoxIgnoresClicks()
    {
        TestData data;
        engine::Table& notes = *data.notes.table;
        notes.open();
        addRecord(notes, { { QStringLiteral("HECHO"), true } });
        bound::DBCheckBox box;
        box.setDataSource(data.notes.source.get());
        box.setDataField(QStringLiteral("HECHO"));
        box.setReadOnly(true);
        box.click();
        QCOMPARE(box.checkState(), Qt::Checked);
        QCOMPARE(notes.state(), engine::TableState::Browse);
        // Without auto-edit a click is refused the same way.
        box.setReadOnly(false);
        data.notes.source->setAutoEdit(false);
        box.click();
        QCOMPARE(box.checkState(), Qt::Checked);
        QCOMPARE(notes.state(), engine::TableState::Browse);
    }

    void lookupShowsOnlyExistingKeys()
    {
        TestData data;
        fillClinics(*data.clinics.table);
        engine::Table& notes = *data.notes.table;
        notes.open();
        addRecord(notes, { { QStringLiteral("CLINICA"), QStringLiteral("Bosque") } });
        bound::DBLookupComboBox list;
        list.setDataSource(data.notes.source.get());
        list.setDataField(QStringLiteral("CLINICA"));
        list.setListSource(data.clinics.source.get());
        list.setKeyField(QStringLiteral("CLINICA"));
        list.setListField(QStringLiteral("CLINICA"));
        QCOMPARE(list.entries(), (QStringList { "Alfa", "Beta Vet", "Bosque", "Centro" }));
        QCOMPARE(list.currentText(), QStringLiteral("Bosque"));
        // The list table is kept on the record of the stored key.
        QCOMPARE(data.clinics.table->field(QStringLiteral("CLINICA")).asString(), QStringLiteral("Bosque"));
        addRecord(notes, { { QStringLiteral("CLINICA"), QStringLiteral("Desaparecida") } });
        QCOMPARE(list.currentIndex(), -1);
        QCOMPARE(list.currentText(), QString());
        QCOMPARE(notes.field(QStringLiteral("CLINICA")).asString(), QStringLiteral("Desaparecida"));
        QCOMPARE(notes.state(), engine::TableState::Browse);
    }

    void choosingStoresKeyEveryTime()
    {
        TestData data;
        fillClinics(*data.clinics.table);
        engine::Table& notes = *data.notes.table;
        notes.open();
        addRecord(notes, { { QStringLiteral("NOMBRE"), QStringLiteral("x") } });
        bound::DBLookupComboBox list;
        list.setDataSource(data.notes.source.get());
        list.setDataField(QStringLiteral("CLINICA"));
        list.setListSource(data.clinics.source.get());
        list.setKeyField(QStringLiteral("CLINICA"));
        QStringList seen; // the list table's record as the change handler sees it
        notes.field(QStringLiteral("CLINICA")).setOnChange([&](engine::Field&) {
            seen << data.clinics.table->field(QStringLiteral("CLINICA")).asString();
        });
        list.choose(3);
        QCOMPARE(notes.state(), engine::TableState::Edit);
        list.choose(3);
        list.choose(1);
        QCOMPARE(seen, (QStringList { "Centro", "Centro", "Beta Vet" }));
        QCOMPARE(notes.field(QStringLiteral("CLINICA")).asString(), QStringLiteral("Beta Vet"));
        QCOMPARE(list.currentText(), QStringLiteral("Beta Vet"));
    }

    void typingChoosesByBeginningWithoutCase()
    {
        TestData data;
        fillClinics(*data.clinics.table);
        engine::Table& notes = *data.notes.table;
        notes.open();
        addRecord(notes, {});
        QDialog window;
        auto* list = new bound::DBLookupComboBox(&window);
        list->setDataSource(data.notes.source.get());
        list->setDataField(QStringLiteral("CLINICA"));
        list->setListSource(data.clinics.source.get());
        list->setKeyField(QStringLiteral("CLINICA"));
        window.show();
        list->setFocus();
        QTest::keyClicks(list, "bo");
        QCOMPARE(notes.field(QStringLiteral("CLINICA")).asString(), QStringLiteral("Bosque"));
        QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(notes.field(QStringLiteral("CLINICA")).asString(), QStringLiteral("Centro"));
    }

    // Typed letters find an entry as the list is ordered: without accents,
    // in any case, Ñ apart from N.
    void typingIgnoresAccentsButNotEnye()
    {
        TestData data;
        engine::Table& clinics = *data.clinics.table;
        clinics.open();
        for (const char* name : { "Águila", "Ñandú", "Nutria", "Útil" })
            addRecord(clinics, { { QStringLiteral("CLINICA"), QString::fromUtf8(name) } });
        engine::Table& notes = *data.notes.table;
        notes.open();
        addRecord(notes, {});
        QDialog window;
        auto* list = new bound::DBLookupComboBox(&window);
        list->setDataSource(data.notes.source.get());
        list->setDataField(QStringLiteral("CLINICA"));
        list->setListSource(data.clinics.source.get());
        list->setKeyField(QStringLiteral("CLINICA"));
        window.show();
        list->setFocus();
        for (const auto& [typed, found] : { std::pair { "agu", "Águila" }, { "UT", "Útil" }, { "ñ", "Ñandú" },
                 { "n", "Nutria" }, { "Ña", "Ñandú" } }) {
            QTest::qWait(QApplication::keyboardInputInterval() + 50); // a new search each time
            // Letters QTest cannot type are sent as the key events a keyboard makes.
            for (const QChar c : QString::fromUtf8(typed)) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
                QApplication::sendEvent(list, &press);
            }
            QCOMPARE(notes.field(QStringLiteral("CLINICA")).asString(), QString::fromUtf8(found));
        }
    }

    void lookupFollowsFilterOfListTable()
    {
        TestData data;
        fillClinics(*data.clinics.table);
        data.notes.table->open();
        bound::DBLookupComboBox list;
        list.setListSource(data.clinics.source.get());
        list.setKeyField(QStringLiteral("CLINICA"));
        list.setDataSource(data.notes.source.get());
        list.setDataField(QStringLiteral("CLINICA"));
        data.clinics.table->setFilter(QStringLiteral("GRUPO = 'A'"));
        data.clinics.table->setFiltered(true);
        QCOMPARE(list.entries(), (QStringList { "Alfa", "Bosque" }));
        data.clinics.table->setFiltered(false);
        QCOMPARE(list.entries().size(), 4);
    }

    void gridModelPassesTester()
    {
        TestData data;
        fillNotes(*data.notes.table, 150);
        bound::TableModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setDataSource(data.notes.source.get());
        model.setColumns({ { QStringLiteral("NOMBRE"), QStringLiteral("Nombre") },
            { QStringLiteral("FECHA"), QStringLiteral("Fecha") } });
        QCOMPARE(model.rowCount(), 150);
        QCOMPARE(model.index(149, 0).data().toString(), name(149));
        QCOMPARE(model.index(70, 0).data().toString(), name(70));
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Fecha"));
        addRecord(*data.notes.table, { { QStringLiteral("CODIGO"), QStringLiteral("C0070a") } });
        QCOMPARE(model.rowCount(), 151);
        QCOMPARE(model.index(71, 0).data().toString(), QString());
        data.notes.table->remove();
        data.notes.table->close();
        QCOMPARE(model.rowCount(), 0);
    }

    void gridFollowsTableAndMovesIt()
    {
        TestData data;
        fillNotes(*data.notes.table, 300);
        engine::Table& notes = *data.notes.table;
        bound::DBGrid grid;
        grid.setDataSource(data.notes.source.get());
        grid.setColumns({ { QStringLiteral("NOMBRE"), QStringLiteral("Nombre") } });
        grid.resize(300, 200);
        grid.show();
        QCOMPARE(grid.currentIndex().row(), 0);
        notes.last();
        QCOMPARE(grid.currentIndex().row(), 299);
        QVERIFY(grid.selectionModel()->isRowSelected(299, {}));
        grid.setCurrentIndex(grid.model()->index(42, 0));
        QCOMPARE(notes.rowIndex(), 42);
        QCOMPARE(notes.field(QStringLiteral("NOMBRE")).asString(), name(42));
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(notes.field(QStringLiteral("NOMBRE")).asString(), name(43));
        // Letters are for the window's buttons: no search moves the grid.
        QTest::keyClicks(&grid, "n");
        QCOMPARE(notes.rowIndex(), 43);
        // An edited value shows in its row before it is posted.
        notes.edit();
        notes.field(QStringLiteral("NOMBRE")).setAsString(QStringLiteral("Cambiada"));
        QCOMPARE(grid.model()->index(43, 0).data().toString(), QStringLiteral("Cambiada"));
        notes.cancel();
        QCOMPARE(grid.model()->index(43, 0).data().toString(), name(43));
    }

    // A record window closed by the window manager hands the focus back to
    // the list's grid while its table still inserts or edits: the grid
    // taking the focus must leave the table where it is.
    void gridTakingTheFocusLeavesThePendingRecord_data()
    {
        QTest::addColumn<bool>("inserting");
        QTest::addColumn<int>("reason");
        QTest::newRow("insert, window activated") << true << int(Qt::ActiveWindowFocusReason);
        QTest::newRow("insert, other") << true << int(Qt::OtherFocusReason);
        QTest::newRow("insert, tab") << true << int(Qt::TabFocusReason);
        QTest::newRow("edit, window activated") << false << int(Qt::ActiveWindowFocusReason);
    }
    void gridTakingTheFocusLeavesThePendingRecord()
    {
        QFETCH(bool, inserting);
        QFETCH(int, reason);
        TestData data;
        fillNotes(*data.notes.table, 5);
        engine::Table& notes = *data.notes.table;
        QWidget window;
        auto* other = new QLineEdit(&window);
        auto* grid = new bound::DBGrid(&window);
        grid->setGeometry(0, 30, 300, 200);
        grid->setDataSource(data.notes.source.get());
        grid->setColumns({ { QStringLiteral("NOMBRE"), QStringLiteral("Nombre") } });
        window.resize(300, 240);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        other->setFocus();
        QTRY_VERIFY(other->hasFocus());
        notes.last();
        if (inserting)
            notes.append();
        else
            notes.edit();
        notes.field(QStringLiteral("NOMBRE")).setAsString(QStringLiteral("Pendiente"));

        grid->setFocus(Qt::FocusReason(reason));
        QTRY_VERIFY(grid->hasFocus());
        QCOMPARE(notes.state(), inserting ? engine::TableState::Insert : engine::TableState::Edit);
        QCOMPARE(notes.field(QStringLiteral("NOMBRE")).asString(), QStringLiteral("Pendiente"));
        notes.cancel();
        QCOMPARE(notes.recordCount(), 5);
        QCOMPARE(notes.rowIndex(), 4);
    }

    void gridColumnWidths()
    {
        TestData data;
        fillNotes(*data.notes.table, 2);
        bound::DBGrid grid;
        grid.setDataSource(data.notes.source.get());
        grid.setColumns({ { QStringLiteral("NOMBRE"), QStringLiteral("N") },
            { QStringLiteral("CODIGO"), QStringLiteral("Un título bastante más largo que el campo") },
            { QStringLiteral("FECHA"), QStringLiteral("Fecha"), 120 } });
        const int digit = grid.fontMetrics().horizontalAdvance(QLatin1Char('0'));
        const int nameChars = data.notes.table->field(QStringLiteral("NOMBRE")).displayWidth();
        QCOMPARE(grid.columnWidth(0), nameChars * digit + 4);
        const QFontMetrics bold(grid.horizontalHeader()->font());
        QCOMPARE(grid.columnWidth(1),
            bold.horizontalAdvance(QStringLiteral("Un título bastante más largo que el campo")) + 4);
        QCOMPARE(grid.columnWidth(2), 120);
    }

    void gridDoubleClickSignalsRecord()
    {
        TestData data;
        fillNotes(*data.notes.table, 5);
        bound::DBGrid grid;
        grid.setDataSource(data.notes.source.get());
        grid.setColumns({ { QStringLiteral("NOMBRE"), QStringLiteral("Nombre") } });
        grid.resize(300, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        QSignalSpy spy(&grid, &bound::DBGrid::recordDoubleClicked);
        const QRect cell = grid.visualRect(grid.model()->index(2, 0));
        // A widget double click event comes after the first click, as on the desktop.
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(data.notes.table->rowIndex(), 2);
        QCOMPARE(spy.count(), 1);
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, QPoint(5, 190)); // below the rows
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, QPoint(5, 190));
        QCOMPARE(spy.count(), 1);
    }

    void textFollowsField()
    {
        TestData data;
        fillNotes(*data.notes.table, 3);
        bound::DBText text;
        text.setDataSource(data.notes.source.get());
        text.setDataField(QStringLiteral("NOMBRE"));
        QCOMPARE(text.text(), name(0));
        data.notes.table->next();
        QCOMPARE(text.text(), name(1));
        // Controls disabled: no following until enabled again.
        data.notes.table->disableControls();
        data.notes.table->next();
        QCOMPARE(text.text(), name(1));
        data.notes.table->enableControls();
        QCOMPARE(text.text(), name(2));
    }
};

HLR_BOUND_TEST_MAIN(TestBoundControls)
#include "tst_boundcontrols.moc"
