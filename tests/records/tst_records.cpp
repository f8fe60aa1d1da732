// The list-and-record pattern over a small pair of test windows: the
// operations, the record window's buttons, the tables' lives, the keyboard.
#include "support/TestMain.h"
#include "support/TestWindows.h"

#include "controls/Accelerators.h"
#include "controls/Fonts.h"
#include "engine/Field.h"
#include "platform/EnterAsTab.h"
#include "records/Shared.h"

#include <QSignalSpy>

using namespace boundtest;
using namespace recordtest;

namespace {

// Two pets, Luna with three notes and Toby with none; the list not yet shown.
struct Pair {
    TestData data { true };
    TFichaBorrar deleteDialog;
    NoteRecord record;
    NoteList list;

    explicit Pair(bool withClose = true)
        : record(data, withClose)
        , list(data, record, deleteDialog)
    {
        engine::Table& pets = *data.pets.table;
        pets.open();
        addRecord(pets,
            { { QStringLiteral("CODIGO"), QStringLiteral("P1") },
                { QStringLiteral("NOM_FAMI"), QStringLiteral("Luna") } });
        addRecord(pets,
            { { QStringLiteral("CODIGO"), QStringLiteral("P2") },
                { QStringLiteral("NOM_FAMI"), QStringLiteral("Toby") } });
        pets.first();
        notes().open();
        for (const char* name : { "Uno", "Dos", "Tres" })
            addRecord(notes(), { { QStringLiteral("NOMBRE"), QString::fromLatin1(name) } });
        notes().close();
        pets.close();
    }
    engine::Table& notes() { return *data.notes.table; }
    engine::Table& pets() { return *data.pets.table; }
    void show()
    {
        list.show();
        list.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&list));
        list.DbGridNotas->setFocus();
    }
    // The names of the current pet's notes, in the list's order.
    QStringList names()
    {
        QStringList result;
        for (const auto& row : notes().readRows(0, notes().recordCount(), { QStringLiteral("NOMBRE") }))
            result << row.value(0).toString();
        return result;
    }
};

} // namespace

class TestRecords : public QObject {
    Q_OBJECT
private slots:
    void tablesOpenOnShowingAndCloseInOrder_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("Salir") << 0;
        QTest::newRow("window manager close") << 1;
        QTest::newRow("letter S on the grid") << 2;
    }
    void tablesOpenOnShowingAndCloseInOrder()
    {
        QFETCH(int, how);
        Pair pair;
        QStringList closed;
        std::vector<engine::ScopedConnection> hear;
        for (TestTable* t : { &pair.data.pets, &pair.data.notes }) {
            engine::Table* table = t->table.get();
            hear.push_back(t->source->onStateChange([table, &closed] {
                if (!table->active())
                    closed << table->name();
            }));
        }
        pair.show();
        QVERIFY(pair.pets().active());
        QVERIFY(pair.notes().active());
        QCOMPARE(pair.names(), (QStringList { "Uno", "Dos", "Tres" }));
        if (how == 0)
            click(&pair.list, "But_Salir");
        else if (how == 1)
            pair.list.close();
        else
            QTest::keyClick(pair.list.DbGridNotas, Qt::Key_S);
        QTRY_VERIFY(!pair.list.isVisible());
        QCOMPARE(closed, (QStringList { "TablaNotas", "TablaMascotas" }));
    }

    void modifyOnEmptyListInserts_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("Aceptar stores with the pet's code") << true;
        QTest::newRow("Cancelar stores nothing") << false;
    }
    void modifyOnEmptyListInserts()
    {
        QFETCH(bool, accept);
        Pair pair;
        pair.show();
        pair.pets().last(); // Toby, without notes
        QCOMPARE(pair.notes().recordCount(), 0);
        QList<bool> buttons;
        whenShown(&pair.record, [&] {
            buttons = { shown(&pair.record, "But_Aceptar"), shown(&pair.record, "But_Cancelar"),
                shown(&pair.record, "But_Cerrar") };
            pair.record.EditNombre->setFocus();
            QTest::keyClicks(pair.record.EditNombre, "Paseo");
            click(&pair.record, accept ? "But_Aceptar" : "But_Cancelar");
        });
        click(&pair.list, "But_Modificar");
        QCOMPARE(buttons, (QList<bool> { true, true, false }));
        QCOMPARE(pair.notes().state(), engine::TableState::Browse);
        QCOMPARE(pair.names(), accept ? QStringList { "Paseo" } : QStringList {});
        if (accept)
            QCOMPARE(pair.notes().field(QStringLiteral("CODIGO")).asString(), QStringLiteral("P2"));
        pair.pets().first();
        QCOMPARE(pair.names().size(), 3);
    }

    void deleteAsksAndRemovesOnlyTheCurrentRecord()
    {
        Pair pair;
        pair.show();
        pair.notes().moveToRow(1);
        const QString current = pair.notes().field(QStringLiteral("NOMBRE")).asString();
        whenShown(&pair.deleteDialog, [&] { click(&pair.deleteDialog, "But_Cancelar"); });
        click(&pair.list, "But_Borrar");
        QCOMPARE(pair.names().size(), 3);
        // A stale confirmation never counts: the list resets it first.
        BorrarConfirmado = 1;
        whenShown(&pair.deleteDialog, [&] { pair.deleteDialog.close(); });
        click(&pair.list, "But_Borrar");
        QCOMPARE(pair.names().size(), 3);
        QCOMPARE(BorrarConfirmado, 0);
        whenShown(&pair.deleteDialog, [&] { click(&pair.deleteDialog, "But_Aceptar"); });
        click(&pair.list, "But_Borrar");
        QCOMPARE(BorrarConfirmado, 1);
        QStringList expected { "Uno", "Dos", "Tres" };
        expected.removeOne(current);
        QCOMPARE(pair.names(), expected);
        QCOMPARE(pair.list.DbGridNotas->model()->rowCount(), 2);
    }

    void deleteOnEmptyListShowsEngineMessage()
    {
        Pair pair;
        Recorder recorder;
        pair.show();
        pair.pets().last();
        whenShown(&pair.deleteDialog, [&] { click(&pair.deleteDialog, "But_Aceptar"); });
        click(&pair.list, "But_Borrar");
        QCOMPARE(recorder.messages,
            QStringList { QStringLiteral("TablaNotas: Cannot perform this operation on an empty dataset.") });
        QCOMPARE(pair.notes().recordCount(), 0);
        pair.pets().first();
        QCOMPARE(pair.names().size(), 3);
    }

    void viewShowsCerrarAloneAndTypedChangeStaysPending_data()
    {
        QTest::addColumn<bool>("appendAfter");
        QTest::newRow("a later Añadir posts it") << true;
        QTest::newRow("closing the list drops it") << false;
    }
    void viewShowsCerrarAloneAndTypedChangeStaysPending()
    {
        QFETCH(bool, appendAfter);
        Pair pair;
        pair.show();
        QList<bool> buttons;
        bool openAfterAltA = false;
        whenShown(&pair.record, [&] {
            buttons = { shown(&pair.record, "But_Aceptar"), shown(&pair.record, "But_Cancelar"),
                shown(&pair.record, "But_Cerrar") };
            pair.record.EditNombre->setFocus();
            pair.record.EditNombre->selectAll();
            QTest::keyClicks(pair.record.EditNombre, "Cambio");
            QTest::keyClick(pair.record.EditNombre, Qt::Key_A, Qt::AltModifier); // Aceptar is hidden
            openAfterAltA = pair.record.isVisible();
            click(&pair.record, "But_Cerrar");
        });
        click(&pair.list, "But_Ver");
        QCOMPARE(buttons, (QList<bool> { false, false, true }));
        QVERIFY(openAfterAltA);
        QCOMPARE(pair.notes().state(), engine::TableState::Edit);
        if (appendAfter) {
            whenShown(&pair.record, [&] { click(&pair.record, "But_Cancelar"); });
            click(&pair.list, "But_Anadir");
            QCOMPARE(pair.names(), (QStringList { "Cambio", "Dos", "Tres" }));
        } else {
            click(&pair.list, "But_Salir");
            pair.notes().open();
            QCOMPARE(pair.names(), (QStringList { "Uno", "Dos", "Tres" }));
            QCOMPARE(pair.record.EditNombre->text(), QStringLiteral("Uno"));
        }
    }

    void failedPostKeepsWindowOpenWithValues()
    {
        Pair pair;
        Recorder recorder;
        pair.show();
        bool openAfterFailure = false;
        QString nameAfterFailure;
        engine::TableState stateAfterFailure {};
        whenShown(&pair.record, [&] {
            pair.record.EditNombre->setFocus();
            pair.record.EditNombre->selectAll();
            QTest::keyClicks(pair.record.EditNombre, "Corregido");
            QTest::keyClick(pair.record.EditNombre, Qt::Key_Tab);
            QTest::keyClicks(pair.record.EditFecha, "0102");
            click(&pair.record, "But_Aceptar");
            openAfterFailure = pair.record.isVisible();
            nameAfterFailure = pair.record.EditNombre->text();
            stateAfterFailure = pair.notes().state();
            QTest::keyClicks(pair.record.EditFecha, "01022025"); // the whole text is selected
            click(&pair.record, "But_Aceptar");
        });
        click(&pair.list, "But_Modificar");
        QVERIFY(openAfterFailure);
        QCOMPARE(nameAfterFailure, QStringLiteral("Corregido"));
        QCOMPARE(stateAfterFailure, engine::TableState::Edit);
        QCOMPARE(recorder.messages,
            QStringList { QStringLiteral("Invalid input value.  Use escape key to abandon changes.") });
        QVERIFY(!pair.record.isVisible());
        QCOMPARE(pair.notes().state(), engine::TableState::Browse);
        QCOMPARE(pair.notes().field(QStringLiteral("FECHA")).asDate(), QDate(2025, 2, 1));
        QVERIFY(pair.names().contains(QStringLiteral("Corregido")));
    }

    void lettersAloneWorkButtonsOnGridAndCheckBox()
    {
        Pair pair;
        pair.show();
        QTest::keyClick(pair.list.DbGridNotas, Qt::Key_Z); // no button: nothing
        QVERIFY(pair.list.isVisible());
        QString typed;
        whenShown(&pair.record, [&] {
            // A letter alone goes into a text box; Alt and the letter works the button.
            pair.record.EditNombre->setFocus();
            pair.record.EditNombre->selectAll();
            QTest::keyClick(pair.record.EditNombre, Qt::Key_A, Qt::NoModifier);
            QTest::keyClick(pair.record.EditNombre, Qt::Key_C, Qt::NoModifier);
            typed = pair.record.EditNombre->text();
            QTest::keyClick(pair.record.EditNombre, Qt::Key_A, Qt::AltModifier);
        });
        QTest::keyClick(pair.list.DbGridNotas, Qt::Key_M);
        QCOMPARE(typed, QStringLiteral("ac"));
        QVERIFY(pair.names().contains(QStringLiteral("ac")));
        QCOMPARE(pair.notes().state(), engine::TableState::Browse);

        bool cerrarShown = false;
        whenShown(&pair.record, [&] {
            cerrarShown = shown(&pair.record, "But_Cerrar");
            pair.record.EditHecho->setFocus();
            QTest::keyClick(pair.record.EditHecho, Qt::Key_C); // Cerrar, the visible one of C
        });
        QTest::keyClick(pair.list.DbGridNotas, Qt::Key_V);
        QVERIFY(cerrarShown);
        QVERIFY(!pair.record.isVisible());

        whenShown(&pair.record, [&] {
            pair.record.EditHecho->setFocus();
            QTest::keyClick(pair.record.EditHecho, Qt::Key_Space);
            QTest::keyClick(pair.record.EditHecho, Qt::Key_A); // Aceptar
        });
        QTest::keyClick(pair.list.DbGridNotas, Qt::Key_D);
        QCOMPARE(pair.names().size(), 4);
        QCOMPARE(pair.notes().field(QStringLiteral("HECHO")).value(), QVariant(true));
    }

    void enterMovesBetweenBoxesAndNeverPressesAButton()
    {
        Pair pair;
        pair.show();
        QList<QWidget*> focused;
        bool openAfterEnters = false;
        whenShown(&pair.record, [&] {
            pair.record.EditNombre->setFocus();
            for (int i = 0; i < 3; ++i) {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                focused << QApplication::focusWidget();
            }
            openAfterEnters = pair.record.isVisible();
            click(&pair.record, "But_Cancelar");
        });
        click(&pair.list, "But_Modificar");
        QVERIFY(openAfterEnters);
        QCOMPARE(focused,
            (QList<QWidget*> { pair.record.EditFecha, pair.record.EditHecho, pair.record.EditNombre }));
    }

    void deleteDialogAnswersLettersAlone_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("answer");
        QTest::newRow("E confirms") << int(Qt::Key_E) << 1;
        QTest::newRow("C cancels") << int(Qt::Key_C) << 0;
    }
    void deleteDialogAnswersLettersAlone()
    {
        QFETCH(int, key);
        QFETCH(int, answer);
        TFichaBorrar dialog;
        BorrarConfirmado = 1 - answer;
        whenShown(&dialog, [&] { QTest::keyClick(&dialog, Qt::Key(key)); });
        dialog.showModal();
        QCOMPARE(int(BorrarConfirmado), answer);
    }
};

HLR_TEST_MAIN(TestRecords, WindowsWithEnterAsTab)

#include "tst_records.moc"
