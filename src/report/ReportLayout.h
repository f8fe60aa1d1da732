// A report laid out on its pages: every line of text and every rule at its
// place in millimetres, ready to be painted on any device or written as text.
#pragma once

#include "report/ReportDefinition.h"

#include <QFont>
#include <QRectF>
#include <functional>
#include <optional>
#include <vector>

class QPainter;

namespace engine {
class ReportSource;
}

namespace report {

struct PlacedText {
    double x = 0; // mm from the page's left edge
    double top = 0; // mm from the page's top edge: the top of the text line
    double baseline = 0; // mm
    int font = 0; // index into Document::fonts
    QString text;
};

struct Page {
    std::vector<PlacedText> texts;
    std::vector<QRectF> rules; // filled rectangles, mm
};

struct Document {
    QString title;
    QPageLayout layout; // page size and orientation; the margins are in the positions
    std::vector<QFont> fonts;
    std::vector<Page> pages;
};

// Told the number of each page as it is begun; answering false stops the layout.
using Progress = std::function<bool(int page)>;

// Lays out `report` over the named data views. A view or field the report
// names but `sources` lack is a ReportError. Empty when `progress` stopped it.
std::optional<Document> layoutReport(const ReportDef& report,
    const std::vector<engine::ReportSource*>& sources, const Progress& progress = {});

// Checks that every view and field the report names is among `sources`
// (ReportError otherwise), without reading any row.
void checkSources(const ReportDef& report, const std::vector<engine::ReportSource*>& sources);

// Paints one page (index from 0) on the painter's device, at its resolution.
void paintPage(QPainter& painter, const Document& document, int page);

// The pages as plain text: the lines of each page in reading order, cells at
// columns that follow their place on the page, pages separated by form feeds.
QString plainText(const Document& document);

} // namespace report
