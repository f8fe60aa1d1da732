// The printer's part of the report engine, and the interactive run of a
// report that uses it: built into the printing module (and into tests).
#pragma once

#include "report/ReportOutput.h"

#include <QPrinter>
#include <vector>

class QWidget;

namespace engine {
class ReportSource;
}

namespace report {

struct ReportDef;
struct ReportSystem;

// Pages `first` to `last` (from 0, both included) of `document` on `printer`.
// `progress` is told each page and may stop the work (returns false then).
bool print(QPrinter& printer, const Document& document, int first, int last, const Progress& progress = {});

// Applies the page format, copies, collation, duplex and printer of the
// options, with `jobTitle` as the print job's name.
void setUpPrinter(
    QPrinter& printer, const Document& document, const ReportOptions& options, const QString& jobTitle);

QPrinter::DuplexMode printerDuplex(ReportDuplex duplex);
ReportDuplex reportDuplex(QPrinter::DuplexMode duplex);

// The output setup window, then the status window and the preview, the
// printer or the file; false when the user cancelled.
bool runReport(const ReportDef& report, const std::vector<engine::ReportSource*>& views, ReportSystem& system,
    QWidget* parent);

} // namespace report
