// The reminders list and record windows: their layout, what Ver, Añadir and
// Modificar open, Cerrar dropping a change, capitals, the description's
// limit, the list's order and its table's life.
#include "support/ReminderFixture.h"
#include "support/TestMain.h"

#include "controls/Accelerators.h"
#include "controls/Fonts.h"
#include "platform/EnterAsTab.h"

#include <QFrame>
#include <QLabel>

using namespace remindertest;
using recordtest::click;
using recordtest::shown;

class TestWindows : public QObject {
    Q_OBJECT
private slots:
    void listLayout()
    {
        Fixture f;
        TFicheroAvisos& w = *f.list;
        QCOMPARE(w.windowTitle(), QStringLiteral("  Registro de Avisos y Recordatorios."));
        QCOMPARE(w.helpTopic(), 8);
        recordtest::checkListFrame(w);
        if (QTest::currentTestFailed())
            return;
        const QAbstractItemModel* model = w.DBGrid1->model();
        QStringList titles;
        for (int c = 0; c < model->columnCount(); ++c)
            titles << model->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(titles, (QStringList { "Inicio", "Fin", "Descripción", "Observaciones", "Observaciones" }));
    }

    void recordLayout()
    {
        Fixture f;
        TFichaRegAvisos& w = *f.record;
        QCOMPARE(w.windowTitle(), QStringLiteral("Datos del Aviso."));
        QCOMPARE(w.size(), QSize(537, 232));
        QCOMPARE(w.helpTopic(), 8);
        QVERIFY(w.helpIsPopup());
        QCOMPARE(w.But_Aceptar->geometry(), QRect(120, 200, 113, 20));
        QCOMPARE(w.But_Cancelar->geometry(), QRect(304, 200, 113, 20));
        QCOMPARE(w.But_cerrar->geometry(), QRect(212, 200, 113, 20));
        QCOMPARE(w.But_cerrar, w.But_Cerrar);
        QCOMPARE(w.But_cerrar->objectName(), QStringLiteral("But_cerrar"));
        QCOMPARE(w.Bevel1->geometry(), QRect(0, 184, 537, 5));
        // Labels end at 106, on an opaque white ground.
        for (QLabel* label : { w.Label1, w.Label3, w.Label2, w.Label4 }) {
            QCOMPARE(label->geometry().right() + 1, 106);
            QVERIFY(label->autoFillBackground());
            QCOMPARE(label->palette().color(QPalette::Window), QColor(Qt::white));
        }
        QCOMPARE(w.Label2->buddy(), w.EditConcepto);
        // Tab order: the five boxes in turn.
        QWidget* box = w.EditInicio;
        QStringList order;
        for (int i = 0; i < 5; ++i, box = box->nextInFocusChain()) {
            while (box->focusPolicy() == Qt::NoFocus)
                box = box->nextInFocusChain();
            order << box->objectName();
        }
        QCOMPARE(
            order, (QStringList { "EditInicio", "EditFin", "EditConcepto", "EditObserva1", "EditObserva2" }));
    }

    void recordWindowOnEachOperation_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("editing");
        QTest::newRow("Añadir") << "But_Anadir" << true;
        QTest::newRow("Modificar") << "But_Modificar" << true;
        QTest::newRow("Ver") << "But_Ver" << false;
    }
    void recordWindowOnEachOperation()
    {
        QFETCH(QString, operation);
        QFETCH(bool, editing);
        Fixture f;
        f.addReminders({ { 0, 1, "VACUNA" } });
        f.showList();
        for (int showing = 0; showing < 2; ++showing) {
            QList<bool> buttons;
            QString focus;
            boundtest::whenShown(f.record.get(), [&] {
                QTRY_VERIFY(QApplication::focusWidget() != nullptr);
                focus = QApplication::focusWidget()->objectName();
                buttons = { shown(f.record.get(), "But_Aceptar"), shown(f.record.get(), "But_Cancelar"),
                    shown(f.record.get(), "But_cerrar") };
                // Leave the focus elsewhere so the next showing has to move it.
                f.record->EditObserva2->setFocus();
                click(f.record.get(), editing ? "But_Cancelar" : "But_cerrar");
            });
            click(f.list.get(), operation.toLatin1().constData());
            QCOMPARE(focus, QStringLiteral("EditInicio"));
            QCOMPARE(buttons, (QList<bool> { editing, editing, !editing }));
            QCOMPARE(f.avisos().state(), engine::TableState::Browse);
        }
        QCOMPARE(f.storedReminders().size(), 1);
    }

    void viewTypingThenCerrarLeavesReminderUnchanged()
    {
        Fixture f;
        f.addReminders({ { 0, 1, "VACUNA" } });
        const QStringList before = f.storedReminders();
        f.showList();
        boundtest::whenShown(f.record.get(), [&] {
            f.record->EditConcepto->setFocus();
            QTest::keyClicks(f.record->EditConcepto, "CAMBIO");
            QCOMPARE(f.avisos().state(), engine::TableState::Edit); // auto-edit
            QTest::keyClick(f.record->EditConcepto, Qt::Key_A, Qt::AltModifier); // Aceptar is hidden
            QVERIFY(f.record->isVisible());
            click(f.record.get(), "But_cerrar");
        });
        click(f.list.get(), "But_Ver");
        QVERIFY(!f.record->isVisible());
        QCOMPARE(f.avisos().state(), engine::TableState::Browse);
        QCOMPARE(f.record->EditConcepto->text(), QStringLiteral("VACUNA"));
        // A later Añadir finds nothing pending to post.
        boundtest::whenShown(f.record.get(), [&] { click(f.record.get(), "But_Cancelar"); });
        click(f.list.get(), "But_Anadir");
        QCOMPARE(f.storedReminders(), before);
    }

    void typedTextIsStoredInCapitalsWithinLimits()
    {
        Fixture f;
        f.showList();
        const QString long50 = QStringLiteral("abcdefghij").repeated(5);
        boundtest::whenShown(f.record.get(), [&] {
            TFichaRegAvisos& r = *f.record;
            QTest::keyClicks(r.EditInicio, "01032027");
            QTest::keyClick(r.EditInicio, Qt::Key_Tab);
            QTest::keyClicks(r.EditFin, "05032027");
            QTest::keyClick(r.EditFin, Qt::Key_Tab);
            QTest::keyClicks(r.EditConcepto, long50 + "xyz");
            QCOMPARE(r.EditConcepto->text(), long50.left(45).toUpper());
            QTest::keyClick(r.EditConcepto, Qt::Key_Tab);
            QTest::keyClicks(r.EditObserva1, long50 + "xyz");
            QTest::keyClick(r.EditObserva1, Qt::Key_Tab);
            QTest::keyClicks(r.EditObserva2, "pienso ");
            QTest::sendKeyEvent(QTest::Click, r.EditObserva2, Qt::Key_Ntilde, QStringLiteral("ñ"), {});
            QTest::keyClicks(r.EditObserva2, "am");
            QTest::keyClick(r.EditObserva2, Qt::Key_A, Qt::AltModifier);
        });
        QTest::keyClick(f.list->DBGrid1, Qt::Key_D); // Añadir, typed alone on the grid
        QVERIFY(!f.record->isVisible());
        QCOMPARE(f.storedReminders(),
            QStringList { QStringLiteral("2027-03-01|2027-03-05|%1|%2|PIENSO ÑAM")
                              .arg(long50.left(45).toUpper(), long50.toUpper()) });
    }

    void emptyFirstDayIsListedFirst()
    {
        Fixture f;
        f.addReminders({ { 3, 4, "TERCERO" }, { -2, 0, "SEGUNDO" }, { {}, 5, "PRIMERO" } });
        f.showList();
        const QAbstractItemModel* model = f.list->DBGrid1->model();
        QStringList concepts;
        for (int row = 0; row < model->rowCount(); ++row)
            concepts << model->index(row, 2).data().toString();
        QCOMPARE(concepts, (QStringList { "PRIMERO", "SEGUNDO", "TERCERO" }));
        QCOMPARE(model->index(0, 0).data().toString(), QString());
    }

    void listTableLivesWhileShown_data()
    {
        QTest::addColumn<int>("how");
        QTest::newRow("Salir") << 0;
        QTest::newRow("letter S") << 1;
        QTest::newRow("window closed otherwise") << 2;
    }
    void listTableLivesWhileShown()
    {
        QFETCH(int, how);
        Fixture f;
        f.addReminders({ { 0, 1, "VACUNA" } });
        QVERIFY(!f.avisos().active());
        f.showList();
        QVERIFY(f.avisos().active());
        QCOMPARE(QApplication::focusWidget(), f.list->DBGrid1);
        // A change left pending by Ver is dropped with the table.
        f.avisos().edit();
        f.data->TablaAvisosCONCEPTO->setAsString(QStringLiteral("SIN GUARDAR"));
        if (how == 0)
            click(f.list.get(), "But_Salir");
        else if (how == 1)
            QTest::keyClick(f.list->DBGrid1, Qt::Key_S);
        else
            f.list->close();
        QTRY_VERIFY(!f.list->isVisible());
        QVERIFY(!f.avisos().active());
        QCOMPARE(f.storedReminders(), QStringList { QStringLiteral("2027-03-01|2027-03-02|VACUNA||") });
    }

    void doubleClickOnGridDoesNothing()
    {
        Fixture f;
        f.addReminders({ { 0, 1, "VACUNA" } });
        f.showList();
        bool opened = false;
        boundtest::whenShown(f.record.get(), [&] {
            opened = true;
            click(f.record.get(), "But_cerrar");
        });
        QWidget* cells = f.list->DBGrid1->viewport();
        const QRect first = f.list->DBGrid1->visualRect(f.list->DBGrid1->model()->index(0, 2));
        // A double click event comes after a first click, as on the desktop.
        QTest::mouseClick(cells, Qt::LeftButton, {}, first.center());
        QTest::mouseDClick(cells, Qt::LeftButton, {}, first.center());
        QTest::qWait(50);
        QVERIFY(!opened);
        QCOMPARE(f.avisos().state(), engine::TableState::Browse);
    }

    void deleteOnEmptyListNamesTheTable()
    {
        Fixture f;
        boundtest::Recorder recorder;
        f.showList();
        boundtest::whenShown(f.borrar.get(), [&] { click(f.borrar.get(), "But_Aceptar"); });
        QTimer::singleShot(0, f.list.get(), [&] { QTest::keyClick(f.list->DBGrid1, Qt::Key_B); });
        QTRY_COMPARE(recorder.messages.size(), 1);
        // The error box adds the full stop.
        QCOMPARE(recorder.messages[0],
            QStringLiteral("TablaAvisos: Cannot perform this operation on an empty dataset."));
        QVERIFY(f.list->isVisible());
    }
};

HLR_TEST_MAIN(TestWindows, WindowsWithEnterAsTab)

#include "tst_windows.moc"
