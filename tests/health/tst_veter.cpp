// The clinics list and the clinic record window: their layout, the crosswise
// phones, what the mail and web buttons hand to the desktop (trimmed, letters
// as stored, the field and not the box being typed into), the empty list, and
// a record window closed by the window manager.
#include "Installer.h"
#include "controls/Accelerators.h"
#include "controls/Fonts.h"
#include "data/ModGen.h"
#include "engine/Field.h"
#include "health/FicVeter.h"
#include "health/TabVeter.h"
#include "platform/EnterAsTab.h"
#include "platform/Shell.h"
#include "records/Borrar.h"
#include "support/Rows.h"
#include "support/TempFolder.h"
#include "support/TestMain.h"
#include "support/TestWindows.h"

#include <QFrame>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>

using recordtest::click;
using recordtest::shown;

namespace {

struct Clinic {
    QString name;
    QString email;
    QString web;
};

struct Fixture {
    testsupport::TempFolder folder;
    std::unique_ptr<TModuloGeneral> data;
    std::unique_ptr<TFichaBorrar> borrar;
    std::unique_ptr<TFicheroVeterinarios> list;
    std::unique_ptr<TFichaVeterinarios> record;
    platform::RecordingShell* shell = nullptr;

    Fixture()
    {
        QString log;
        QTextStream out(&log);
        if (setup::install({ folder.path(), folder.aliasFile(), false }, out, out) != 0)
            qFatal("installation failed: %s", qPrintable(log));
        data = std::make_unique<TModuloGeneral>();
        borrar = std::make_unique<TFichaBorrar>();
        list = std::make_unique<TFicheroVeterinarios>(*data);
        record = std::make_unique<TFichaVeterinarios>(*data);
        list->setRecordWindow(record.get());
        list->setDeleteDialog(borrar.get());
        auto recording = std::make_unique<platform::RecordingShell>();
        shell = recording.get();
        platform::setShell(std::move(recording));
    }
    ~Fixture()
    {
        platform::setShell(nullptr);
        record.reset();
        list.reset();
        borrar.reset();
        data.reset();
    }

    engine::Table& clinics() { return *data->TablaVeterinarios; }

    // Stores the clinics and leaves the table closed.
    void addClinics(const std::vector<Clinic>& toAdd)
    {
        clinics().open();
        for (const Clinic& c : toAdd) {
            boundtest::addRecord(clinics(),
                { { QStringLiteral("CLINICA"), c.name }, { QStringLiteral("EMAIL"), c.email },
                    { QStringLiteral("WEB"), c.web } });
        }
        clinics().close();
    }

    // The clinics as stored, in the order of their names, with `fields`
    // joined by "|".
    QStringList stored(const QStringList& fields)
    {
        engine::Table reader(data->DbGeneral, QStringLiteral("Lector"), QStringLiteral("VETERIN.DB"));
        reader.setIndexFieldNames(QStringLiteral("CLINICA"));
        reader.open();
        return testsupport::joinedRows(reader.readRows(0, reader.recordCount(), fields));
    }

    void showList() { recordtest::showActive(list.get()); }

    QString gridCell(int row, int column) const
    {
        return list->DBGrid1->model()->index(row, column).data().toString();
    }
};

void clickLink(QToolButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
}

} // namespace

class TestVeter : public QObject {
    Q_OBJECT
private slots:
    void listLayout()
    {
        Fixture f;
        TFicheroVeterinarios& w = *f.list;
        QCOMPARE(w.windowTitle(), QStringLiteral("Tabla de Clínicas Veterinarias y Veterinarios."));
        QCOMPARE(w.helpTopic(), 7);
        recordtest::checkListFrame(w);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(w.findChildren<bound::DBGrid*>().size(), 1); // no pet selector
        const QAbstractItemModel* model = w.DBGrid1->model();
        QStringList titles;
        for (int c = 0; c < model->columnCount(); ++c)
            titles << model->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(titles,
            (QStringList { "Clínica Veterinaria", "Veterinario", "Teléfono", "TELF2", "Móvil", "E-Mail",
                "Página Web" }));
        // Each column as wide as its field: the grid scrolls sideways.
        int total = 0;
        for (int c = 0; c < model->columnCount(); ++c) {
            QCOMPARE(w.DBGrid1->columnWidth(c), w.DBGrid1->defaultColumnWidth(c));
            total += w.DBGrid1->columnWidth(c);
        }
        QVERIFY(w.DBGrid1->columnWidth(0) > w.DBGrid1->columnWidth(2));
        QVERIFY(total > w.DBGrid1->viewport()->width());
    }

    void recordLayout()
    {
        Fixture f;
        TFichaVeterinarios& w = *f.record;
        QCOMPARE(w.windowTitle(), QStringLiteral(" Datos de la Clínica Veterinaria"));
        QCOMPARE(w.size(), QSize(742, 390));
        QCOMPARE(w.helpTopic(), 7);
        QCOMPARE(w.Bevel1->geometry(), QRect(0, 336, 729, 9));
        QCOMPARE(w.But_Aceptar->geometry(), QRect(230, 353, 113, 30));
        QCOMPARE(w.But_Cancelar->geometry(), QRect(398, 353, 113, 30));
        QCOMPARE(w.But_Cerrar->geometry(), QRect(314, 352, 113, 30));

        struct Box {
            bound::DBEdit* box;
            QRect place;
            QString field;
            bool capitals;
        };
        const std::vector<Box> boxes {
            { w.EditClinica, { 128, 25, 550, 21 }, "CLINICA", true },
            { w.DBEdit1, { 128, 54, 550, 21 }, "VETERINARIO", true },
            { w.Editdomicilio, { 128, 83, 550, 21 }, "DOMICILIO", true },
            { w.Editlocalidad, { 128, 113, 550, 21 }, "LOCALIDAD", true },
            { w.EditCodPostal, { 128, 142, 89, 21 }, "CODPOSTAL", true },
            { w.EditProvincia, { 301, 142, 375, 21 }, "PROVINCIA", true },
            { w.Edittelf1, { 128, 171, 89, 21 }, "TELF2", true },
            { w.Edittelf2, { 238, 171, 89, 21 }, "TELF1", true },
            { w.DBEdit15, { 406, 171, 89, 21 }, "MOVIL", true },
            { w.DBEdit16, { 128, 201, 550, 21 }, "EMAIL", false },
            { w.DBEdit17, { 128, 230, 550, 21 }, "WEB", false },
            { w.Editobserv, { 128, 259, 550, 21 }, "OBSERV1", true },
            { w.Editobserv2, { 128, 289, 550, 21 }, "OBSERV2", true },
        };
        QStringList expectedOrder;
        for (const Box& b : boxes) {
            QCOMPARE(b.box->geometry(), b.place);
            QCOMPARE(b.box->dataField(), b.field);
            QCOMPARE(b.box->charCase() == bound::DBEdit::CharCase::Upper, b.capitals);
            expectedOrder << b.box->objectName();
        }
        QStringList order;
        QWidget* box = w.EditClinica;
        for (std::size_t i = 0; i < boxes.size(); ++i, box = box->nextInFocusChain()) {
            while (box->focusPolicy() == Qt::NoFocus)
                box = box->nextInFocusChain();
            order << box->objectName();
        }
        QCOMPARE(order, expectedOrder);

        const std::vector<std::tuple<QLabel*, QString, int, int>> labels {
            { w.Label1, "Clínica Veter. :", 120, 27 },
            { w.Label2, "Veterinario :", 120, 56 },
            { w.Label3, "Domicilio :", 120, 85 },
            { w.Label4, "Localidad :", 120, 115 },
            { w.Label5, "Cod. Postal :", 120, 144 },
            { w.Label6, "Provincia :", 296, 144 },
            { w.Label7, "Teléfonos", 120, 173 },
            { w.Label8, "Móvil :", 400, 173 },
            { w.Label9, "E-Mail :", 120, 203 },
            { w.Label10, "Web :", 120, 232 },
            { w.Label11, "Observaciones :", 120, 261 },
        };
        for (const auto& [label, text, right, top] : labels) {
            QCOMPARE(label->text(), text);
            QCOMPARE(label->geometry().right() + 1, right);
            QCOMPARE(label->geometry().top(), top);
        }

        const std::vector<std::tuple<QToolButton*, QString, QRect>> links {
            { w.SpeedButton1, "Enviar Correo", { 690, 198, 25, 25 } },
            { w.SpeedButton2, "Abrir dirección Web", { 690, 227, 25, 25 } },
        };
        for (const auto& [button, hint, place] : links) {
            QCOMPARE(button->toolTip(), hint);
            QCOMPARE(button->geometry(), place);
            QCOMPARE(button->focusPolicy(), Qt::NoFocus);
            QVERIFY(button->autoRaise());
            QCOMPARE(button->iconSize(), QSize(16, 16));
            QVERIFY(!button->icon().pixmap(16, 16).isNull());
        }
        QVERIFY(health::mailPicture().toImage() != health::webPicture().toImage());
    }

    void phonesAreBoundCrosswise()
    {
        Fixture f;
        f.showList();
        boundtest::whenShown(f.record.get(), [&] {
            TFichaVeterinarios& r = *f.record;
            r.EditClinica->setFocus();
            QTest::keyClicks(r.EditClinica, "la huella");
            // Tab order: from the province to the left phone box, then the right one.
            r.EditProvincia->setFocus();
            QTest::keyClick(r.EditProvincia, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), r.Edittelf1);
            QTest::keyClicks(r.Edittelf1, "911111111");
            QTest::keyClick(r.Edittelf1, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), r.Edittelf2);
            QTest::keyClicks(r.Edittelf2, "922222222");
            click(f.record.get(), "But_Aceptar");
        });
        click(f.list.get(), "But_Anadir");
        QVERIFY(!f.record->isVisible());
        QCOMPARE(f.stored({ "CLINICA", "TELF1", "TELF2" }),
            QStringList { QStringLiteral("LA HUELLA|922222222|911111111") });
        // The right box's number under "Teléfono", the left one's under TELF2.
        QCOMPARE(f.gridCell(0, 2), QStringLiteral("922222222"));
        QCOMPARE(f.gridCell(0, 3), QStringLiteral("911111111"));
    }

    void addressesAreHandedOverTrimmedWithTheirCase_data()
    {
        QTest::addColumn<QString>("email");
        QTest::addColumn<QString>("web");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("mailText");
        QTest::addColumn<QString>("webText");
        QTest::newRow("blanks around, viewed") << "  Ana.Ruiz@Clinica.ES  "
                                               << " www.Clinica.es/Citas "
                                               << "But_Ver"
                                               << "mailto:Ana.Ruiz@Clinica.ES"
                                               << "www.Clinica.es/Citas";
        QTest::newRow("tab and line break, modified") << "\tvet@huella.es\r\n"
                                                      << "\thttps://Huella.es/\n"
                                                      << "But_Modificar"
                                                      << "mailto:vet@huella.es"
                                                      << "https://Huella.es/";
        QTest::newRow("inner blanks kept") << "ana ruiz@clinica.es"
                                           << "www.clinica .es"
                                           << "But_Ver"
                                           << "mailto:ana ruiz@clinica.es"
                                           << "www.clinica .es";
        QTest::newRow("empty") << ""
                               << ""
                               << "But_Ver"
                               << "mailto:"
                               << "";
        QTest::newRow("blanks only") << "   "
                                     << "   "
                                     << "But_Modificar"
                                     << "mailto:"
                                     << "";
        // An address is never header fields: no extra recipient, no file
        // attached, whoever stored it.
        QTest::newRow("header fields in the address")
            << "a@b.example?cc=x@y.example&attach=/etc/passwd#x"
            << ""
            << "But_Ver"
            << "mailto:a@b.example%3Fcc%3Dx@y.example%26attach%3D/etc/passwd%23x"
            << "";
        QTest::newRow("percent sign in the address") << "50%25off@b.example"
                                                     << ""
                                                     << "But_Ver"
                                                     << "mailto:50%2525off@b.example"
                                                     << "";
        // Handed over as stored; the desktop's shell refuses it (see the
        // platform tests), so nothing opens and nothing is reported.
        QTest::newRow("path as web address") << "a@b.es"
                                             << "/usr/bin/xterm"
                                             << "But_Ver"
                                             << "mailto:a@b.es"
                                             << "/usr/bin/xterm";
    }
    void addressesAreHandedOverTrimmedWithTheirCase()
    {
        QFETCH(QString, email);
        QFETCH(QString, web);
        QFETCH(QString, operation);
        QFETCH(QString, mailText);
        QFETCH(QString, webText);
        Fixture f;
        boundtest::Recorder recorder;
        f.addClinics({ { "CLINICA", email, web } });
        QCOMPARE(f.stored({ "EMAIL", "WEB" }), QStringList { email + "|" + web }); // stored with their blanks
        f.showList();
        boundtest::whenShown(f.record.get(), [&] {
            clickLink(f.record->SpeedButton1);
            clickLink(f.record->SpeedButton2);
            click(f.record.get(), operation == "But_Ver" ? "But_Cerrar" : "But_Cancelar");
        });
        click(f.list.get(), operation.toLatin1().constData());
        QVERIFY(!f.record->isVisible());
        QCOMPARE(f.shell->opened(), (QStringList { mailText, webText }));
        QVERIFY(recorder.messages.isEmpty());
    }

    void addressInTheFocusedBoxIsNotSeenUntilLeft()
    {
        Fixture f;
        f.addClinics({ { "CLINICA", "antes@clinica.es", "www.antes.es" } });
        f.showList();
        boundtest::whenShown(f.record.get(), [&] {
            TFichaVeterinarios& r = *f.record;
            r.DBEdit16->setFocus();
            r.DBEdit16->selectAll();
            QTest::keyClicks(r.DBEdit16, "Nueva@Clinica.es");
            clickLink(r.SpeedButton1);
            QCOMPARE(QApplication::focusWidget(), r.DBEdit16); // the button took no focus
            QTest::keyClick(r.DBEdit16, Qt::Key_Tab); // to the web box: the address is written
            clickLink(r.SpeedButton1);
            r.DBEdit17->selectAll();
            QTest::keyClicks(r.DBEdit17, "WWW.Nueva.es");
            clickLink(r.SpeedButton2);
            QTest::keyClick(r.DBEdit17, Qt::Key_Return); // Enter moves on as Tab does
            clickLink(r.SpeedButton2);
            click(f.record.get(), "But_Aceptar");
        });
        click(f.list.get(), "But_Modificar");
        QCOMPARE(f.shell->opened(),
            (QStringList {
                "mailto:antes@clinica.es", "mailto:Nueva@Clinica.es", "www.antes.es", "WWW.Nueva.es" }));
        QCOMPARE(f.stored({ "EMAIL", "WEB" }), QStringList { "Nueva@Clinica.es|WWW.Nueva.es" });
    }

    void emptyListModifyAddsAClinic()
    {
        Fixture f;
        f.showList();
        QCOMPARE(f.list->DBGrid1->model()->rowCount(), 0);
        QList<bool> buttons;
        boundtest::whenShown(f.record.get(), [&] {
            buttons = { shown(f.record.get(), "But_Aceptar"), shown(f.record.get(), "But_Cancelar"),
                shown(f.record.get(), "But_Cerrar") };
            // The links work while a new clinic is being entered too.
            clickLink(f.record->SpeedButton1);
            clickLink(f.record->SpeedButton2);
            QTest::keyClicks(f.record->EditClinica, "nueva");
            QTest::keyClick(f.record->EditClinica, Qt::Key_A, Qt::AltModifier);
        });
        QTest::keyClick(f.list->DBGrid1, Qt::Key_M); // Modificar, typed alone on the grid
        QCOMPARE(buttons, (QList<bool> { true, true, false }));
        QCOMPARE(f.shell->opened(), (QStringList { "mailto:", "" }));
        QCOMPARE(f.stored({ "CLINICA" }), QStringList { "NUEVA" });
        QCOMPARE(f.clinics().state(), engine::TableState::Browse);
    }

    void emptyListViewHandsEmptyAddressesOver()
    {
        Fixture f;
        boundtest::Recorder recorder;
        f.showList();
        boundtest::whenShown(f.record.get(), [&] {
            QVERIFY(shown(f.record.get(), "But_Cerrar"));
            clickLink(f.record->SpeedButton1);
            clickLink(f.record->SpeedButton2);
            click(f.record.get(), "But_Cerrar");
        });
        click(f.list.get(), "But_Ver");
        QCOMPARE(f.shell->opened(), (QStringList { "mailto:", "" }));
        QVERIFY(recorder.messages.isEmpty());
        QVERIFY(f.stored({ "CLINICA" }).isEmpty());
    }

    void listOrderAndTableLife()
    {
        Fixture f;
        f.addClinics({ { "ZOO", {}, {} }, { "ALFA", {}, {} }, { "MEDIO", {}, {} } });
        QVERIFY(!f.clinics().active());
        f.showList();
        QVERIFY(f.clinics().active());
        QCOMPARE(QApplication::focusWidget(), f.list->DBGrid1);
        QCOMPARE(f.gridCell(0, 0) + f.gridCell(1, 0) + f.gridCell(2, 0), QStringLiteral("ALFAMEDIOZOO"));
        QTest::keyClick(f.list->DBGrid1, Qt::Key_S);
        QTRY_VERIFY(!f.list->isVisible());
        QVERIFY(!f.clinics().active());
    }

    void recordClosedByWindowManagerLeavesTableAsItWas_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<engine::TableState>("state");
        QTest::newRow("Modificar") << "But_Modificar" << engine::TableState::Edit;
        QTest::newRow("Ver") << "But_Ver" << engine::TableState::Browse;
        QTest::newRow("Añadir") << "But_Anadir" << engine::TableState::Insert;
    }
    void recordClosedByWindowManagerLeavesTableAsItWas()
    {
        QFETCH(QString, operation);
        QFETCH(engine::TableState, state);
        Fixture f;
        f.addClinics({ { "ALFA", {}, {} }, { "BETA", {}, {} }, { "GAMMA", {}, {} } });
        const QStringList before = f.stored({ "CLINICA", "OBSERV1" });
        f.showList();
        f.clinics().moveToRow(1);
        QCOMPARE(f.list->DBGrid1->currentIndex().row(), 1);
        boundtest::whenShown(f.record.get(), [&] {
            if (state != engine::TableState::Browse) {
                f.record->Editobserv->setFocus();
                QTest::keyClicks(f.record->Editobserv, "pendiente");
            }
            f.record->close(); // as the window manager's close does
        });
        click(f.list.get(), operation.toLatin1().constData());
        QVERIFY(!f.record->isVisible());
        // The focus comes back to the list, as the window manager gives it.
        f.list->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.list.get()));
        QTRY_COMPARE(QApplication::focusWidget(), f.list->DBGrid1);
        QCOMPARE(f.clinics().state(), state);
        if (state != engine::TableState::Insert) {
            QCOMPARE(f.data->TablaVeterinariosCLINICA->asString(), QStringLiteral("BETA"));
            QCOMPARE(f.list->DBGrid1->currentIndex().row(), 1);
        }
        QCOMPARE(f.stored({ "CLINICA", "OBSERV1" }), before);
        // Closing the list drops what was left pending.
        click(f.list.get(), "But_Salir");
        QVERIFY(!f.clinics().active());
        QCOMPARE(f.stored({ "CLINICA", "OBSERV1" }), before);
    }
};

HLR_TEST_MAIN(TestVeter, WindowsWithEnterAsTab)

#include "tst_veter.moc"
