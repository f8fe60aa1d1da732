// The report engine without its windows: the project file format, loading
// and choosing reports, the layout on pages, and PDF, text and printer output.
#include "platform/Clock.h"
#include "report/ReportError.h"
#include "report/ReportLayout.h"
#include "report/ReportOutput.h"
#include "report/ReportProject.h"
#include "report/printing/ReportPrint.h"
#include "support/ReportTesting.h"
#include "support/TestPaths.h"

#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using report::ReportError;
using report::ReportFileFormat;
using report::ReportProject;
using testsupport::MemorySource;

namespace {

const QString shippedProject = QStringLiteral(HLR_BIN_DIR "/sanidad.rpt");

const QStringList visitFields = { "FECHA", "DESCRIPCIO", "CLINICA", "VETERINARIO", "TRATAMIENTO",
    "MEDICACION", "PROX_VISITA", "OBSERVA1", "OBSERVA2" };

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& data)
{
    QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// A small project of three reports; the second's full name is "Registro".
const QByteArray threeReports = R"(huellario-report 1
report "Resumen" "Resumen anual"
  band detail Visitas
    row
      cell 0 50 "R {Visitas.FECHA}"
end
report "Listado" "Registro"
  band detail Visitas
    row
      cell 0 50 "L {Visitas.FECHA}"
end
report "registro" "Otro"
  band detail Visitas
    row
      cell 0 50 "O {Visitas.FECHA}"
end
)";

QString errorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const ReportError& e) {
        return e.message();
    }
    return {};
}

} // namespace

class TstReport : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    MemorySource m_pets { "RvTablaMascotas", { "CODIGO", "NOM_FAMI" } };
    MemorySource m_visits { "RvTablaSanidad", visitFields };

    // `count` visits a day apart, in date order, each with its own reason.
    void fillVisits(int count)
    {
        m_visits.rows.clear();
        const QDate start(2020, 1, 1);
        for (int i = 0; i < count; ++i) {
            const QDate day = start.addDays(i);
            m_visits.rows.push_back(
                { day.toString("dd/MM/yyyy"), QStringLiteral("MOTIVO NÚMERO %1").arg(i + 1),
                    "CLÍNICA SAN ANTÓN", "DRA. MARTA GIL", "DESPARASITACIÓN", "MILBEMAX",
                    day.addYears(1).toString("dd/MM/yyyy"), i % 2 ? "PESO 23 KG" : "", "" });
        }
    }

    ReportProject& registro()
    {
        m_project = std::make_unique<ReportProject>();
        m_project->setFileName(shippedProject);
        m_project->addDataView(m_pets);
        m_project->addDataView(m_visits);
        if (!m_project->selectReport("Registro"))
            qFatal("no Registro in the shipped project");
        return *m_project;
    }
    std::unique_ptr<ReportProject> m_project;

private slots:
    void init()
    {
        m_pets.rows = { { "0000001", "TOBY" }, { "0000002", "LUNA" } };
        m_pets.current = 1;
        fillVisits(3);
        platform::setTodayHook([] { return QDate(2024, 5, 17); });
    }
    void cleanup() { platform::setTodayHook({}); }

    void pdfHoldsThePetAndEveryVisitInOrderWithPageNumbers()
    {
        fillVisits(40);
        const QString pdf = m_dir.filePath("registro.pdf");
        registro().runToFile(pdf, ReportFileFormat::Pdf);

        const QString text = testsupport::pdfText(pdf);
        QVERIFY2(!text.isEmpty(), "pdftotext read nothing");
        QVERIFY(text.contains("Registro sanitario"));
        QVERIFY(text.contains("LUNA"));
        QVERIFY(!text.contains("TOBY")); // only the current pet
        QStringList inOrder;
        for (const QStringList& visit : m_visits.rows)
            inOrder << visit[0] << visit[1] + " "; // the next visit follows the reason
        QCOMPARE(testsupport::missingInOrder(text, inOrder), QString());
        const QStringList pages = text.split('\f', Qt::SkipEmptyParts);
        QVERIFY2(pages.size() >= 3, qPrintable(QString::number(pages.size())));
        for (int p = 0; p < pages.size(); ++p) {
            QVERIFY2(pages[p].contains(QStringLiteral("Página %1 de %2").arg(p + 1).arg(pages.size())),
                qPrintable(pages[p].right(300)));
            QVERIFY(pages[p].contains("Impreso el 17/05/2024"));
            QVERIFY(pages[p].contains("Razón de la visita")); // the page header
        }
        QVERIFY(pages.last().contains("Visitas anotadas: 40"));
    }

    void pdfFontsAreEmbedded()
    {
        const QString pdf = m_dir.filePath("fonts.pdf");
        registro().runToFile(pdf, ReportFileFormat::Pdf);
        const QStringList fonts = testsupport::pdfFontLines(pdf);
        QVERIFY(!fonts.isEmpty());
        for (const QString& line : fonts) {
            // name type encoding emb sub uni object ID
            QVERIFY2(
                QRegularExpression(R"(\s+yes\s+(yes|no)\s+(yes|no)\s+\d+\s+\d+\s*$)").match(line).hasMatch(),
                qPrintable(line));
        }
    }

    void aVisitIsNeverSplitAcrossPages()
    {
        fillVisits(60);
        registro();
        const auto doc = report::layoutReport(*m_project->activeReport(), { &m_pets, &m_visits });
        QVERIFY(doc);
        // The date is the first line of a visit, its medication the last.
        int visit = 0;
        for (const auto& page : doc->pages) {
            int dates = 0, medications = 0;
            for (const auto& t : page.texts) {
                dates += t.text.contains(QRegularExpression(R"(^\d\d/\d\d/2020$)"));
                medications += t.text == "MILBEMAX";
            }
            QCOMPARE(dates, medications);
            visit += dates;
        }
        QCOMPARE(visit, 60);
        QVERIFY(doc->pages.size() > 3);
        QVERIFY(m_visits.reads < 60); // read in blocks, not row by row
    }

    void longTextWrapsAndBlankRowsAreLeftOut()
    {
        fillVisits(1);
        QStringList& v = m_visits.rows[0];
        v[1] = QString("PALABRA ").repeated(12).trimmed() + " FINAL"; // wider than its cell
        v[4] = ""; // no treatment: its row goes
        registro();
        const auto doc = report::layoutReport(*m_project->activeReport(), { &m_pets, &m_visits });
        const QString text = report::plainText(*doc);
        QCOMPARE(text.count("PALABRA"), 12);
        QVERIFY(text.contains("FINAL"));
        QVERIFY(!text.contains("Tratamiento:"));
        QVERIFY(text.contains("Medicación:"));
        QVERIFY(!text.contains("…"));
    }

    void noVisitsPrintsTheEmptyBand()
    {
        m_visits.rows.clear();
        const QString txt = m_dir.filePath("vacio.txt");
        registro().runToFile(txt, ReportFileFormat::Text);
        QFile f(txt);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        QVERIFY(text.contains("No hay visitas anotadas para esta mascota."));
        QVERIFY(text.contains("Página 1 de 1"));
        QVERIFY(text.contains("Visitas anotadas: 0"));
    }

    void plainTextKeepsOrderAndSeparatesPages()
    {
        fillVisits(30);
        const QString txt = m_dir.filePath("registro.txt");
        registro().runToFile(txt, ReportFileFormat::Text);
        QFile f(txt);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        QStringList inOrder;
        for (const QStringList& visit : m_visits.rows)
            inOrder << visit[0] + " " << visit[1];
        QCOMPARE(testsupport::missingInOrder(text, inOrder), QString());
        const int pages = int(text.count('\f')) + 1;
        QVERIFY(pages >= 2);
        QVERIFY(text.contains(QStringLiteral("Página %1 de %1").arg(pages)));
        // The date and the reason of a visit are on one line, the reason's cell after the date's.
        QVERIFY(
            QRegularExpression(R"(\n\s*01/01/2020 +MOTIVO NÚMERO 1 +01/01/2021\n)").match(text).hasMatch());
    }

    void missingProjectGivesTheMessageEveryTime()
    {
        ReportProject project;
        const QString path = m_dir.filePath("no/sanidad.rpt");
        project.setFileName(path);
        const QString expected = "The following reporting project does not exist:\n\"" + path + "\"";
        QCOMPARE(errorOf([&] { project.selectReport("Registro"); }), expected);
        QVERIFY(!project.isLoaded());
        QCOMPARE(errorOf([&] { project.selectReport("Registro"); }), expected);
        QCOMPARE(
            errorOf([&] { project.run(); }), QStringLiteral("No se ha cargado ningún proyecto de listados."));

        // Once the file is there, the next listing reads it.
        QDir().mkpath(m_dir.filePath("no"));
        QVERIFY(QFile::copy(shippedProject, path));
        QVERIFY(project.selectReport("Registro"));
    }

    void projectIsReadOnceAndKept()
    {
        const QString path = writeFile(m_dir, "kept.rpt", threeReports);
        ReportProject project;
        project.setFileName(path);
        QVERIFY(project.selectReport("Resumen"));
        QVERIFY(QFile::remove(path));
        project.setFileName(m_dir.filePath("otro.rpt"));
        QVERIFY(project.selectReport("Listado"));
        QCOMPARE(project.reportNames(), QStringList({ "Resumen", "Listado", "registro" }));
    }

    void selectReport_data()
    {
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("name") << "Resumen"
                              << "Resumen";
        QTest::newRow("full name") << "Resumen anual"
                                   << "Resumen";
        QTest::newRow("other case") << "RESUMEN ANUAL"
                                    << "Resumen";
        // "Listado" has the full name "Registro" and comes before "registro".
        QTest::newRow("first in order") << "Registro"
                                        << "Listado";
        QTest::newRow("name after an earlier full name") << "OTRO"
                                                         << "registro";
        QTest::newRow("none") << "Vacunas" << QString();
        QTest::newRow("part of a name") << "Resu" << QString();
    }
    void selectReport()
    {
        QFETCH(QString, asked);
        QFETCH(QString, chosen);
        ReportProject project;
        project.setFileName(writeFile(m_dir, "three.rpt", threeReports));
        QCOMPARE(project.selectReport(asked), !chosen.isEmpty());
        QCOMPARE(project.activeReport() ? project.activeReport()->name : QString(), chosen);
        if (chosen.isEmpty())
            QVERIFY(errorOf([&] {
                project.runToFile(m_dir.filePath("x.pdf"), ReportFileFormat::Pdf);
            }).contains(QStringLiteral("no tiene ningún listado llamado \"%1\"").arg(asked)));
    }

    void damagedProject_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty") << QByteArray() << "línea 1): el fichero no empieza por";
        QTest::newRow("no header") << QByteArray("report A\nend\n") << "línea 1): el fichero no empieza";
        QTest::newRow("version") << QByteArray("huellario-report 2\n") << "línea 1): versión 2";
        QTest::newRow("unknown word") << QByteArray("huellario-report 1\nreport A\n  colour red\nend\n")
                                      << "línea 3): \"colour\" no se esperaba";
        QTest::newRow("no end") << QByteArray("huellario-report 1\nreport A\n band detail V\n")
                                << "falta \"end\"";
        QTest::newRow("no detail") << QByteArray("huellario-report 1\nreport A\nend\n") << "no tiene banda";
        QTest::newRow("open quote") << QByteArray("huellario-report 1\nreport \"A\n")
                                    << "línea 2): falta la comilla";
        QTest::newRow("bad number") << QByteArray("huellario-report 1\nreport A\n margins 1 2 x 4\n")
                                    << "línea 3): \"x\" no es un número";
        QTest::newRow("negative width")
            << QByteArray("huellario-report 1\nreport A\n band detail V\n  row\n   cell 0 -5 \"a\"\nend\n")
            << "línea 5): \"-5\"";
        QTest::newRow("cell outside a row")
            << QByteArray("huellario-report 1\nreport A\n band detail V\n  cell 0 5 \"a\"\nend\n")
            << "fuera de una fila";
        QTest::newRow("bad placeholder") << QByteArray(
            "huellario-report 1\nreport A\n band detail V\n  row\n   cell 0 5 \"{pagina}\"\nend\n")
                                         << "\"{pagina}\" no es ni un campo";
        QTest::newRow("two details") << QByteArray(
            "huellario-report 1\nreport A\n band detail V\n band detail W\nend\n")
                                     << "repetida";
        QTest::newRow("not UTF-8") << QByteArray("huellario-report 1\n# Ni\xf1o\n") << "no es texto UTF-8";
    }
    void damagedProject()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, error);
        ReportProject project;
        const QString path = writeFile(m_dir, "bad.rpt", data);
        project.setFileName(path);
        const QString message = errorOf([&] { project.selectReport("A"); });
        QVERIFY2(message.contains(error), qPrintable(message));
        QVERIFY2(message.contains(path), qPrintable(message));
        QVERIFY(!project.isLoaded());
    }

    void missingViewOrField_data()
    {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("error");
        QTest::newRow("view") << "{RvTablaVacunas.FECHA}"
                              << "lee la vista de datos \"RvTablaVacunas\", que no existe";
        QTest::newRow("field")
            << "{RvTablaSanidad.PESO}"
            << "imprime el campo PESO de la vista de datos \"RvTablaSanidad\", que no lo tiene";
    }
    void missingViewOrField()
    {
        QFETCH(QString, cell);
        QFETCH(QString, error);
        ReportProject project;
        project.setFileName(writeFile(m_dir, "views.rpt",
            QStringLiteral(
                "huellario-report 1\nreport A\n band detail RvTablaSanidad\n  row\n   cell 0 5 \"%1\"\nend\n")
                .arg(cell)
                .toUtf8()));
        project.addDataView(m_visits);
        QVERIFY(project.selectReport("A"));
        const QString message = errorOf([&] { project.run(); });
        QVERIFY2(message.contains(error), qPrintable(message));
    }

    void unwritableFileIsAnErrorAndLeavesNothing()
    {
        registro();
        const QString path = m_dir.filePath("sin/carpeta/registro.pdf");
        QVERIFY(errorOf([&] {
            m_project->runToFile(path, ReportFileFormat::Pdf);
        }).startsWith("No se puede escribir el fichero \"" + path + "\""));
        QVERIFY(!QFile::exists(path));
    }

    void extensionFollowsTheFormat_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("name");
        QTest::newRow("pdf") << "/tmp/lista" << int(ReportFileFormat::Pdf) << "/tmp/lista.pdf";
        QTest::newRow("text") << "/tmp/lista" << int(ReportFileFormat::Text) << "/tmp/lista.txt";
        QTest::newRow("has one") << "/tmp/lista.PDF" << int(ReportFileFormat::Pdf) << "/tmp/lista.PDF";
        QTest::newRow("the other format's: follows")
            << "/tmp/lista.txt" << int(ReportFileFormat::Pdf) << "/tmp/lista.pdf";
        QTest::newRow("the other format's in capitals")
            << "/tmp/lista.PDF" << int(ReportFileFormat::Text) << "/tmp/lista.txt";
        QTest::newRow("a foreign one: kept")
            << "/tmp/lista.doc" << int(ReportFileFormat::Pdf) << "/tmp/lista.doc";
        QTest::newRow("dot in folder")
            << "/tmp/a.b/lista" << int(ReportFileFormat::Pdf) << "/tmp/a.b/lista.pdf";
    }
    void extensionFollowsTheFormat()
    {
        QFETCH(QString, typed);
        QFETCH(int, format);
        QFETCH(QString, name);
        QCOMPARE(report::withExtension(typed, ReportFileFormat(format)), name);
    }

    void printerGetsTheJobTitleRangeAndPageFormat()
    {
        fillVisits(60);
        registro();
        const auto doc = report::layoutReport(*m_project->activeReport(), { &m_pets, &m_visits });
        QVERIFY(doc->pages.size() >= 3);
        report::ReportOptions options;
        options.copies = 2;
        QPrinter printer(QPrinter::HighResolution);
        report::setUpPrinter(printer, *doc, options, "Listado");
        QCOMPARE(printer.docName(), QStringLiteral("Listado"));
        QCOMPARE(printer.copyCount(), 2);
        QCOMPARE(printer.pageLayout().pageSize().id(), QPageSize::A4);
        // The same painting, sent to a file, shows which pages went out.
        const QString out = m_dir.filePath("printer.pdf");
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(out);
        std::vector<int> told;
        QVERIFY(report::print(printer, *doc, 1, 2, [&](int p) {
            told.push_back(p);
            return true;
        }));
        QCOMPARE(told, std::vector<int>({ 2, 3 }));
        const QString text = testsupport::pdfText(out);
        QCOMPARE(text.count('\f'), 2);
        QVERIFY(text.contains(QStringLiteral("Página 2 de %1").arg(doc->pages.size())));
        QVERIFY(!text.contains(QStringLiteral("Página 1 de")));
        QVERIFY(
            testsupport::popplerOutput("pdfinfo", { out }).contains(QRegularExpression("Title:\\s+Listado")));
    }

    void stoppingWritesNoFile()
    {
        fillVisits(60);
        registro();
        const auto doc = report::layoutReport(*m_project->activeReport(), { &m_pets, &m_visits });
        const QString out = m_dir.filePath("parado.pdf");
        QVERIFY(!report::writePdf(*doc, out, 0, 2, [](int page) { return page < 2; }));
        QVERIFY(!QFile::exists(out));
        QVERIFY(!report::layoutReport(
            *m_project->activeReport(), { &m_pets, &m_visits }, [](int page) { return page < 2; }));
    }
};

QTEST_MAIN(TstReport)
#include "tst_report.moc"
