// Where a laid-out report goes: the choices of the output setup window, and
// the writing of its pages to a PDF file or a text file (the printer's part
// is in printing/ReportPrint.h).
#pragma once

#include "report/ReportLayout.h"

#include <QString>

namespace report {

enum class ReportDestination { Printer, Preview, File };
enum class ReportFileFormat { Pdf, Text };
// The printer's sides, in the order the setup window offers them.
enum class ReportDuplex { None, LongSide, ShortSide };

struct ReportOptions {
    ReportDestination destination = ReportDestination::Preview;
    QString printerName; // empty: the desktop's default printer
    int copies = 1;
    bool collate = true;
    ReportDuplex duplex = ReportDuplex::None;
    bool allPages = true;
    int fromPage = 1; // from 1, both included
    int toPage = 1;
    ReportFileFormat format = ReportFileFormat::Pdf;
    QString fileName;
    // Preview set-up: the zoom it opens at.
    enum class Zoom { Actual, PageWidth, WholePage };
    Zoom previewZoom = Zoom::Actual;
};

// The file formats offered for a file, as the file chooser lists them.
QString formatCaption(ReportFileFormat format);
QString formatFilter(ReportFileFormat format); // "Adobe Acrobat (PDF) (*.pdf)"
QString formatExtension(ReportFileFormat format); // "pdf"
// The name as typed, with the format's extension added when it has none and
// put in place of the other format's extension.
QString withExtension(const QString& fileName, ReportFileFormat format);

// Pages `first` to `last` (from 0, both included) of `document`. A file is
// written whole or not at all; a failure is a ReportError naming it.
// `progress` is told each page and may stop the work (returns false then).
bool writePdf(
    const Document& document, const QString& fileName, int first, int last, const Progress& progress = {});
bool writeText(const Document& document, const QString& fileName, int first, int last);

} // namespace report
