// The report engine's windows: the output setup window and its choices, the
// status window, the preview, and a listing run through them to each place.
#include "platform/Dialogs.h"
#include "report/ReportProject.h"
#include "report/printing/ReportPreview.h"
#include "report/printing/ReportSetup.h"
#include "report/printing/ReportStatus.h"
#include "support/ReportTesting.h"
#include "support/TestPaths.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

using report::ReportDestination;
using report::ReportFileFormat;
using report::ReportSetupWindow;
using testsupport::MemorySource;

namespace {

// Calls `action` on the first visible top-level window named `name` once it
// shows; gives up (and the test fails on what did not happen) after 10 s.
void whenShown(const QString& name, const std::function<void(QWidget*)>& action, int waited = 0)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == name && w->isVisible()) {
            action(w);
            return;
        }
    }
    if (waited < 10000)
        QTimer::singleShot(10, [=] { whenShown(name, action, waited + 10); });
}

template <typename T> T* child(QWidget* window, const char* name)
{
    T* w = window->findChild<T*>(QLatin1String(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

} // namespace

class TstReportWindows : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    MemorySource m_pets { "RvTablaMascotas", { "CODIGO", "NOM_FAMI" } };
    MemorySource m_visits { "RvTablaSanidad",
        { "FECHA", "DESCRIPCIO", "CLINICA", "VETERINARIO", "TRATAMIENTO", "MEDICACION", "PROX_VISITA",
            "OBSERVA1", "OBSERVA2" } };
    std::unique_ptr<report::ReportProject> m_project;
    QStringList m_messages;

    report::ReportProject& project()
    {
        m_project = std::make_unique<report::ReportProject>();
        m_project->setFileName(QStringLiteral(HLR_BIN_DIR "/sanidad.rpt"));
        m_project->addDataView(m_pets);
        m_project->addDataView(m_visits);
        m_project->selectReport("Registro");
        return *m_project;
    }

private slots:
    void init()
    {
        m_pets.rows = { { "0000001", "TOBY" } };
        m_visits.rows.clear();
        for (int i = 0; i < 50; ++i)
            m_visits.rows.push_back({ QDate(2022, 1, 1).addDays(i).toString("dd/MM/yyyy"),
                QStringLiteral("VISITA %1").arg(i + 1), "CLÍNICA", "VETERINARIO", "", "", "", "", "" });
        m_messages.clear();
        platform::setMessageHook(
            [this](const QString&, const QString& text, platform::MessageIcon) { m_messages << text; });
    }
    void cleanup()
    {
        platform::setMessageHook({});
        for (QWidget* w : QApplication::topLevelWidgets())
            w->close();
    }

    void setupWindowOffersEveryChoiceWithPreviewFirst()
    {
        ReportSetupWindow window(report::ReportOptions {}, "Opciones de Salida");
        window.show();
        QCOMPARE(window.windowTitle(), QStringLiteral("Opciones de Salida"));
        QCOMPARE(child<QGroupBox>(&window, "GrupoDestino")->title(), QStringLiteral(" Destino del listado "));
        QCOMPARE(child<QGroupBox>(&window, "GrupoRango")->title(), QStringLiteral(" Rango impresión "));
        QCOMPARE(window.RadioImpresora->text(), QStringLiteral("Imp&resora"));
        QCOMPARE(window.RadioPrevisualizar->text(), QStringLiteral("Pre&visualizar"));
        QCOMPARE(window.RadioFichero->text(), QStringLiteral("&Fichero"));
        QCOMPARE(window.But_Cancelar->text(), QStringLiteral("Cancelar"));
        QVERIFY(window.RadioPrevisualizar->isChecked());
        QCOMPARE(window.ComboFormato->itemText(0), QStringLiteral("Adobe Acrobat (PDF)"));
        QCOMPARE(window.ComboFormato->count(), 2);
        QVERIFY(window.SpinCopias && window.CheckIntercalar && window.ComboDuplex);
        QVERIFY(window.But_ConfigImpresora && window.But_ConfigPrevisualizacion);

        // The file's name and format only count for a file; the page numbers only for a range.
        QVERIFY(!window.EditFichero->isEnabled());
        QVERIFY(!window.SpinDesde->isEnabled());
        window.RadioFichero->click();
        QVERIFY(window.EditFichero->isEnabled() && window.ComboFormato->isEnabled());
        window.RadioPaginas->click();
        QVERIFY(window.SpinDesde->isEnabled() && window.SpinHasta->isEnabled());

        // Escape is "Cancelar".
        QTest::keyClick(&window, Qt::Key_Escape);
        QVERIFY(!window.isVisible());
        QCOMPARE(window.result(), int(QDialog::Rejected));
    }

    // With no print queue at all (ctest points CUPS_SERVER at a socket that
    // is not there), the printer cannot be chosen and the window says why;
    // a printer chosen at an earlier listing falls back to the preview.
    void withoutAPrinterOnlyPreviewAndFileAreOffered()
    {
        if (!QPrinterInfo::availablePrinterNames().isEmpty())
            QSKIP("this machine has print queues; ctest runs the test without them");
        report::ReportOptions options;
        options.destination = report::ReportDestination::Printer;
        ReportSetupWindow window(options, "Opciones de Salida");
        window.show();
        QVERIFY(!window.RadioImpresora->isEnabled());
        QVERIFY(!window.But_ConfigImpresora->isEnabled());
        QVERIFY(window.RadioPrevisualizar->isChecked());
        QCOMPARE(window.LabelImpresora->text(), QStringLiteral("No hay ninguna impresora instalada."));
        QVERIFY(window.RadioPrevisualizar->isEnabled() && window.RadioFichero->isEnabled());
        QCOMPARE(window.options().destination, report::ReportDestination::Preview);
    }

    void setupWindowRefusesWhatCannotBeDone()
    {
        report::ReportOptions options;
        options.allPages = false;
        options.fromPage = 5;
        options.toPage = 2;
        ReportSetupWindow window(options, "Opciones de Salida");
        window.show();
        window.But_Aceptar->click();
        QVERIFY(window.isVisible());
        QCOMPARE(m_messages, QStringList { "La primera página no puede ser mayor que la última." });

        window.SpinHasta->setValue(5);
        window.RadioFichero->click();
        window.EditFichero->setText(m_dir.filePath("no/existe/lista"));
        window.But_Aceptar->click();
        QVERIFY(window.isVisible());
        QVERIFY(m_messages.last().startsWith("La carpeta «"));

        window.EditFichero->setText(m_dir.path());
        window.But_Aceptar->click();
        QVERIFY(window.isVisible());
        QVERIFY(m_messages.last().contains("es una carpeta"));
    }

    // The range by keyboard alone, typed at once as a quick typist does:
    // Alt+P, Tab into "desde", the number, Tab into "hasta", the number,
    // Tab on to the copies.
    void pageRangeTypedWithTheKeyboard()
    {
        ReportSetupWindow window(report::ReportOptions {}, "Opciones de Salida");
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // Typed at once: the radio's click animation has not ended yet.
        QTest::keyClick(&window, Qt::Key_P, Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), window.RadioPaginas);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), window.SpinDesde);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("2"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), window.SpinHasta);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("3"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(window.SpinDesde->value(), 2);
        QCOMPARE(window.SpinHasta->value(), 3);
        QCOMPARE(window.SpinCopias->value(), 1);
        QTRY_VERIFY(window.RadioPaginas->isChecked());
        const report::ReportOptions chosen = window.options();
        QVERIFY(!chosen.allPages);
        QCOMPARE(chosen.fromPage, 2);
        QCOMPARE(chosen.toPage, 3);

        // The same for the file: Alt+F, Tab to the format, Tab to the name.
        QTest::keyClick(&window, Qt::Key_F, Qt::AltModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), window.ComboFormato);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), window.EditFichero);
        window.close();
    }

    void replacingAFileIsAsked_data()
    {
        QTest::addColumn<bool>("replace");
        QTest::newRow("no") << false;
        QTest::newRow("yes") << true;
    }
    void replacingAFileIsAsked()
    {
        QFETCH(bool, replace);
        const QString path = m_dir.filePath("existe.pdf");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("antes");
        f.close();
        report::ReportOptions options;
        options.destination = ReportDestination::File;
        options.fileName = m_dir.filePath("existe"); // the extension comes with the format
        ReportSetupWindow window(options, "Opciones de Salida");
        window.show();
        QString asked;
        whenShown("ConfirmarReemplazo", [&](QWidget* w) {
            auto* box = static_cast<QMessageBox*>(w);
            asked = box->text();
            for (QAbstractButton* b : box->buttons())
                if (b->text() == (replace ? "&Sí" : "&No"))
                    b->click();
        });
        window.But_Aceptar->click();
        QCOMPARE(asked, QStringLiteral("El fichero «%1» ya existe.\n¿Desea reemplazarlo?").arg(path));
        QCOMPARE(window.isVisible(), !replace);
        if (replace)
            QCOMPARE(window.options().fileName, path);
    }

    void cancellingTheSetupPrintsNothing()
    {
        whenShown("OpcionesSalida", [](QWidget* w) { child<QPushButton>(w, "But_Cancelar")->click(); });
        QVERIFY(!project().run());
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(w->objectName() != "PrevisualizacionListado" || !w->isVisible(), "a preview was shown");
    }

    void listingToAFileAddsTheExtensionAndKeepsTheChoices()
    {
        project();
        const QString typed = m_dir.filePath("registro");
        whenShown("OpcionesSalida", [&](QWidget* w) {
            child<QRadioButton>(w, "RadioFichero")->click();
            child<QComboBox>(w, "ComboFormato")->setCurrentIndex(1); // plain text
            child<QLineEdit>(w, "EditFichero")->setText(typed);
            child<QPushButton>(w, "But_Aceptar")->click();
        });
        QVERIFY(m_project->run());
        QFile f(typed + ".txt");
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        QVERIFY(text.contains("TOBY") && text.contains("VISITA 50"));

        // The next listing starts from the same choices; now a PDF of pages 2 to 3.
        whenShown("OpcionesSalida", [&](QWidget* w) {
            QVERIFY(child<QRadioButton>(w, "RadioFichero")->isChecked());
            QCOMPARE(child<QLineEdit>(w, "EditFichero")->text(), typed + ".txt");
            child<QComboBox>(w, "ComboFormato")->setCurrentIndex(0);
            child<QLineEdit>(w, "EditFichero")->setText(typed);
            child<QRadioButton>(w, "RadioPaginas")->click();
            child<QSpinBox>(w, "SpinDesde")->setValue(2);
            child<QSpinBox>(w, "SpinHasta")->setValue(3);
            child<QPushButton>(w, "But_Aceptar")->click();
        });
        QVERIFY(m_project->run());
        const QString pdf = testsupport::pdfText(typed + ".pdf");
        QCOMPARE(pdf.count('\f'), 2);
        QVERIFY(pdf.contains("Página 2 de") && pdf.contains("Página 3 de") && !pdf.contains("Página 1 de"));
    }

    // Changing the format carries the name's extension along, so the next
    // listing writes "toby.txt" and never a PDF into it.
    void formatChangeCarriesTheExtension()
    {
        project();
        const QString base = m_dir.filePath("toby");
        whenShown("OpcionesSalida", [&](QWidget* w) {
            child<QRadioButton>(w, "RadioFichero")->click();
            child<QComboBox>(w, "ComboFormato")->setCurrentIndex(0); // PDF
            child<QLineEdit>(w, "EditFichero")->setText(base);
            child<QPushButton>(w, "But_Aceptar")->click();
        });
        QVERIFY(m_project->run());
        QVERIFY(QFile::exists(base + ".pdf"));
        QString shown;
        whenShown("OpcionesSalida", [&](QWidget* w) {
            QCOMPARE(child<QLineEdit>(w, "EditFichero")->text(), base + ".pdf");
            child<QComboBox>(w, "ComboFormato")->setCurrentIndex(1); // plain text
            shown = child<QLineEdit>(w, "EditFichero")->text();
            child<QPushButton>(w, "But_Aceptar")->click();
        });
        QVERIFY(m_project->run());
        QCOMPARE(shown, base + ".txt");
        QFile text(base + ".txt");
        QVERIFY(text.open(QIODevice::ReadOnly));
        QVERIFY(!text.readAll().startsWith("%PDF"));
        QVERIFY(testsupport::pdfText(base + ".pdf").contains("TOBY"));
    }

    // The preview set-up is wide enough for its caption.
    void previewSetupShowsItsWholeCaption()
    {
        project();
        int width = 0;
        int caption = 0;
        whenShown("OpcionesSalida", [&](QWidget* w) {
            whenShown("OpcionesPrevisualizacion", [&](QWidget* p) {
                width = p->width();
                caption = p->fontMetrics().horizontalAdvance(p->windowTitle());
                child<QPushButton>(p, "But_Cancelar")->click();
            });
            child<QPushButton>(w, "But_ConfigPrevisualizacion")->click();
            child<QPushButton>(w, "But_Cancelar")->click();
        });
        m_project->run();
        QVERIFY2(width >= caption + 96, qPrintable(QStringLiteral("%1 for %2").arg(width).arg(caption)));
    }

    void previewOpensMaximisedAtActualSize()
    {
        project();
        int pages = 0;
        double zoom = 0;
        bool maximised = false;
        QString title, position;
        whenShown("OpcionesSalida", [](QWidget* w) { child<QPushButton>(w, "But_Aceptar")->click(); });
        whenShown("PrevisualizacionListado", [&](QWidget* w) {
            auto* preview = static_cast<report::ReportPreviewWindow*>(w);
            title = w->windowTitle();
            maximised = w->windowState() & Qt::WindowMaximized;
            zoom = preview->zoomFactor();
            pages = preview->pageCount();
            preview->ActionUltima->trigger();
            position = preview->LabelPagina->text();
            QVERIFY(w->isModal());
            preview->ActionCerrar->trigger();
        });
        QVERIFY(m_project->run());
        QCOMPARE(title, QStringLiteral("Previsualización Listado"));
        QVERIFY(maximised);
        QCOMPARE(zoom, 1.0);
        QVERIFY(pages >= 2);
        QCOMPARE(position, QStringLiteral("Página %1 de %1").arg(pages));
    }

    void statusWindowShowsThePageAndCanStop()
    {
        report::ReportStatusWindow status("Estatus Listado");
        status.show();
        QCOMPARE(status.windowTitle(), QStringLiteral("Estatus Listado"));
        QVERIFY(status.step("Generando página %p", 7));
        QCOMPARE(status.LabelEstado->text(), QStringLiteral("Generando página 7"));
        QVERIFY(status.step("Imprimiendo página %p", 12));
        QCOMPARE(status.LabelEstado->text(), QStringLiteral("Imprimiendo página 12"));
        status.But_Cancelar->click();
        QVERIFY(!status.step("Generando página %p", 8));
    }

    // The keyboard stops it too: Escape, or Alt+C for "Cancelar".
    void statusWindowStopsFromTheKeyboard_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Escape") << int(Qt::Key_Escape) << int(Qt::NoModifier);
        QTest::newRow("Alt+C") << int(Qt::Key_C) << int(Qt::AltModifier);
    }
    void statusWindowStopsFromTheKeyboard()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        report::ReportStatusWindow status("Estatus Listado");
        status.show();
        status.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&status));
        QVERIFY(status.step("Generando página %p", 1));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QVERIFY(!status.step("Generando página %p", 2));
    }

    void stoppingAtTheStatusWindowWritesNoFile()
    {
        project();
        const QString path = m_dir.filePath("parado.pdf");
        whenShown("OpcionesSalida", [&](QWidget* w) {
            child<QRadioButton>(w, "RadioFichero")->click();
            child<QLineEdit>(w, "EditFichero")->setText(path);
            // Stopped as soon as the status window shows.
            whenShown("EstatusListado", [](QWidget* s) { child<QPushButton>(s, "But_Cancelar")->click(); });
            child<QPushButton>(w, "But_Aceptar")->click();
        });
        for (int i = 0; i < 300; ++i) // enough pages for the click to land before the end
            m_visits.rows.push_back(m_visits.rows.front());
        QVERIFY(!m_project->run());
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_MAIN(TstReportWindows)
#include "tst_windows.moc"
