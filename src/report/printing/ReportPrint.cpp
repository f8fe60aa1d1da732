#include "report/printing/ReportPrint.h"

#include "engine/EngineError.h"
#include "platform/Application.h"
#include "report/Printing.h"
#include "report/ReportError.h"
#include "report/ReportProject.h"
#include "report/printing/ReportPreview.h"
#include "report/printing/ReportSetup.h"
#include "report/printing/ReportStatus.h"

#include <QPainter>
#include <QPrinterInfo>

#include <algorithm>
#include <functional>
#include <optional>

namespace report {

QPrinter::DuplexMode printerDuplex(ReportDuplex duplex)
{
    switch (duplex) {
    case ReportDuplex::LongSide:
        return QPrinter::DuplexLongSide;
    case ReportDuplex::ShortSide:
        return QPrinter::DuplexShortSide;
    case ReportDuplex::None:
        break;
    }
    return QPrinter::DuplexNone;
}

ReportDuplex reportDuplex(QPrinter::DuplexMode duplex)
{
    switch (duplex) {
    case QPrinter::DuplexLongSide:
        return ReportDuplex::LongSide;
    case QPrinter::DuplexShortSide:
        return ReportDuplex::ShortSide;
    default:
        return ReportDuplex::None;
    }
}

void setUpPrinter(
    QPrinter& printer, const Document& document, const ReportOptions& options, const QString& jobTitle)
{
    if (!options.printerName.isEmpty())
        printer.setPrinterName(options.printerName);
    printer.setDocName(jobTitle);
    printer.setCreator(QStringLiteral("Huellario"));
    printer.setFullPage(true);
    printer.setPageLayout(document.layout);
    printer.setCopyCount(options.copies);
    printer.setCollateCopies(options.collate);
    printer.setDuplex(printerDuplex(options.duplex));
}

bool print(QPrinter& printer, const Document& document, int first, int last, const Progress& progress)
{
    QPainter painter;
    if (!painter.begin(&printer))
        throw ReportError(
            QStringLiteral("No se puede imprimir en la impresora \"%1\".").arg(printer.printerName()));
    for (int page = first; page <= last; ++page) {
        if (progress && !progress(page + 1)) {
            printer.abort();
            return false;
        }
        if (page > first)
            printer.newPage();
        paintPage(painter, document, page);
    }
    painter.end();
    return true;
}

namespace {

void printDocument(const Document& document, const ReportSystem& system, QWidget* parent)
{
    const ReportOptions& o = system.options;
    const int count = int(document.pages.size());
    const int first = o.allPages ? 0 : std::min(o.fromPage, count) - 1;
    const int last = o.allPages ? count - 1 : std::min(o.toPage, count) - 1;
    QPrinter printer(QPrinter::HighResolution);
    setUpPrinter(printer, document, o, system.jobTitle);
    ReportStatusWindow status(system.statusTitle, parent);
    status.show();
    print(printer, document, first, last, [&](int page) { return status.step(system.printingText, page); });
}

} // namespace

bool runReport(const ReportDef& report, const std::vector<engine::ReportSource*>& views, ReportSystem& system,
    QWidget* parent)
{
    // A report that names a view or field that is not there fails before
    // the user chooses anything.
    report::checkSources(report, views);

    ReportSetupWindow setup(system.options, system.setupTitle, parent);
    if (setup.exec() != QDialog::Accepted)
        return false;
    system.options = setup.options();
    const ReportOptions& o = system.options;

    std::optional<report::Document> document;
    {
        ReportStatusWindow status(system.statusTitle, parent);
        status.show();
        const report::Progress generating
            = [&](int page) { return status.step(system.generatingText, page); };
        document = report::layoutReport(report, views, generating);
        if (!document)
            return false;
        const int count = int(document->pages.size());
        if (!o.allPages && o.fromPage > count && o.destination != ReportDestination::Preview)
            throw ReportError(
                QStringLiteral("El listado tiene %1 páginas: no hay ninguna desde la página %2.")
                    .arg(count)
                    .arg(o.fromPage));
        const int first = o.allPages ? 0 : o.fromPage - 1;
        const int last = o.allPages ? count - 1 : std::min(o.toPage, count) - 1;

        switch (o.destination) {
        case ReportDestination::File:
            if (o.format == ReportFileFormat::Pdf)
                return report::writePdf(*document, o.fileName, first, last, generating);
            return report::writeText(*document, o.fileName, first, last);
        case ReportDestination::Printer:
            status.hide();
            break;
        case ReportDestination::Preview: {
            std::function<void()> print;
            QWidget* previewWindow = parent;
            if (!QPrinterInfo::availablePrinterNames().isEmpty()) {
                // Called from the preview's button: a failure is shown here
                // rather than thrown through the toolkit's signal.
                print = [&] {
                    try {
                        printDocument(*document, system, previewWindow);
                    } catch (const engine::EngineError& error) {
                        platform::Application::showError(error.message());
                    }
                };
            }
            ReportPreviewWindow preview(*document, system.previewTitle, o.previewZoom, print, parent);
            previewWindow = &preview;
            preview.generate(generating);
            if (status.cancelled())
                return false;
            status.hide();
            preview.exec();
            return true;
        }
        }
    }
    printDocument(*document, system, parent);
    return true;
}

} // namespace report

// The entry the report engine looks for: by name in the module, or linked in
// where a program links these objects.
extern "C" report::InteractiveRun hlr_report_interactive_run()
{
    return &report::runReport;
}
