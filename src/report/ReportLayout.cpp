#include "report/ReportLayout.h"

#include "engine/Field.h"
#include "engine/ReportSource.h"
#include "platform/Clock.h"
#include "report/ReportError.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTime>
#include <algorithm>
#include <cmath>
#include <map>

namespace report {

namespace {

// Text is measured once at a fine resolution, so that the layout is the same
// on the screen, the printer and in a file.
constexpr double kMeasureDpi = 1200;
constexpr double kMmPerPixel = 25.4 / kMeasureDpi;
constexpr int kChunk = 256; // detail rows read at a time

struct FontMetrics {
    QFont font;
    QFontMetricsF metrics;
    double lineHeight; // mm
    double ascent; // mm
};

// The measuring device: a 1 x 1 image that claims the measuring resolution.
const QImage& measureDevice()
{
    static const QImage image = [] {
        QImage i(1, 1, QImage::Format_ARGB32);
        const int dotsPerMeter = int(std::lround(kMeasureDpi / 0.0254));
        i.setDotsPerMeterX(dotsPerMeter);
        i.setDotsPerMeterY(dotsPerMeter);
        return i;
    }();
    return image;
}

// A field of a data view as the cells use it: the view and the column of the
// row read from it.
struct FieldRef {
    int source = -1;
    int column = -1;
};

struct Values {
    int page = 0;
    int pages = 0; // 0 while unknown
    int count = 0;
    QString date;
    QString time;
    // Per data view: the texts of the row being printed (the detail view) or
    // of its current record (the others), in the order of its field list.
    std::vector<const QStringList*> rows;
};

// A cell laid out: its box, its lines.
struct CellBox {
    const CellDef* cell = nullptr;
    int font = 0;
    QStringList parts; // one per segment; the page count's part filled in at the end
    bool needsPages = false;
    QStringList lines;
};

struct RowBox {
    const RowDef* row = nullptr;
    double height = 0;
    std::vector<CellBox> cells;
};

// Text kept for a page whose count of pages is not known yet.
struct Pending {
    int page;
    double left;
    double top;
    CellBox cell;
};

class Layout {
public:
    Layout(
        const ReportDef& report, const std::vector<engine::ReportSource*>& sources, const Progress& progress)
        : m_report(report)
        , m_progress(progress)
    {
        bind(sources);
    }

    std::optional<Document> run();

private:
    void bind(const std::vector<engine::ReportSource*>& sources);
    int fontFor(const CellDef& cell);
    int findFont(const CellDef& cell);
    QString resolve(const CellBox& box, int pages) const;
    QStringList wrap(const QString& text, const CellDef& cell, const FontMetrics& font) const;
    void layCells(CellBox& box) const;
    std::optional<RowBox> layRow(const RowDef& row);
    std::vector<RowBox> layBand(const BandDef* band);
    double height(const std::vector<RowBox>& rows) const;

    bool newPage();
    void place(int page, const RowBox& row, double top);
    bool placeBlock(const std::vector<RowBox>& rows);
    void finish();

    const ReportDef& m_report;
    Progress m_progress;
    std::vector<engine::ReportSource*> m_sources;
    std::vector<QStringList> m_fieldsOf; // per view: the fields the report prints
    std::vector<QStringList> m_current; // per view: its current record
    std::map<const Segment*, FieldRef> m_refs;
    int m_detail = -1; // the detail band's view
    std::vector<FontMetrics> m_fonts;
    std::map<const CellDef*, int> m_cellFonts;
    Values m_values;

    Document m_doc;
    double m_pageHeight = 0;
    double m_y = 0;
    double m_bodyBottom = 0;
    double m_headerBottom = 0;
    std::vector<Pending> m_pending;
};

void Layout::bind(const std::vector<engine::ReportSource*>& sources)
{
    auto sourceIndex = [&](const QString& name) {
        for (size_t i = 0; i < m_sources.size(); ++i)
            if (m_sources[i]->sourceName().compare(name, Qt::CaseInsensitive) == 0)
                return int(i);
        for (engine::ReportSource* source : sources) {
            if (source && source->sourceName().compare(name, Qt::CaseInsensitive) == 0) {
                m_sources.push_back(source);
                m_fieldsOf.emplace_back();
                return int(m_sources.size() - 1);
            }
        }
        throw ReportError(QStringLiteral("El listado \"%1\" lee la vista de datos \"%2\", que no existe.")
                              .arg(m_report.name, name));
    };
    for (const BandDef& band : m_report.bands) {
        if (band.kind == BandDef::Kind::Detail)
            m_detail = sourceIndex(band.source);
        for (const RowDef& row : band.rows) {
            for (const CellDef& cell : row.cells) {
                for (const Segment& segment : cell.segments) {
                    if (segment.kind != Segment::Kind::Field)
                        continue;
                    const int s = sourceIndex(segment.source);
                    const QStringList available = m_sources[size_t(s)]->fieldNames();
                    const auto match = std::find_if(available.begin(), available.end(),
                        [&](const QString& f) { return f.compare(segment.text, Qt::CaseInsensitive) == 0; });
                    if (match == available.end())
                        throw ReportError(
                            QStringLiteral(
                                "El listado \"%1\" imprime el campo %2 de la vista de datos \"%3\", "
                                "que no lo tiene.")
                                .arg(m_report.name, segment.text, m_sources[size_t(s)]->sourceName()));
                    QStringList& fields = m_fieldsOf[size_t(s)];
                    qsizetype column = fields.indexOf(*match);
                    if (column < 0) {
                        fields << *match;
                        column = fields.size() - 1;
                    }
                    m_refs[&segment] = { s, int(column) };
                }
            }
        }
    }
}

int Layout::fontFor(const CellDef& cell)
{
    if (const auto known = m_cellFonts.find(&cell); known != m_cellFonts.end())
        return known->second;
    const int index = findFont(cell);
    m_cellFonts[&cell] = index;
    return index;
}

int Layout::findFont(const CellDef& cell)
{
    QFont font(m_report.fontFamily);
    font.setPointSizeF(cell.size > 0 ? cell.size : m_report.fontSize);
    font.setBold(cell.bold);
    font.setItalic(cell.italic);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setStyleStrategy(QFont::PreferOutline);
    for (size_t i = 0; i < m_fonts.size(); ++i)
        if (m_fonts[i].font == font)
            return int(i);
    QFontMetricsF metrics(font, &measureDevice());
    m_fonts.push_back({ font, metrics, metrics.lineSpacing() * kMmPerPixel, metrics.ascent() * kMmPerPixel });
    return int(m_fonts.size() - 1);
}

QString Layout::resolve(const CellBox& box, int pages) const
{
    QString text;
    for (size_t i = 0; i < box.cell->segments.size(); ++i)
        text += box.cell->segments[i].kind == Segment::Kind::Pages ? QString::number(pages)
                                                                   : box.parts[qsizetype(i)];
    return text;
}

QStringList Layout::wrap(const QString& text, const CellDef& cell, const FontMetrics& font) const
{
    const double width = cell.width / kMmPerPixel;
    const QFontMetricsF& fm = font.metrics;
    if (!text.contains(QLatin1Char('\n')) && fm.horizontalAdvance(text) <= width)
        return { text };
    // Line breaks of the template start new lines; empty ones at either end
    // (a blank field before or after one) are left out.
    QStringList paragraphs = text.split(QLatin1Char('\n'));
    while (paragraphs.size() > 1 && paragraphs.front().trimmed().isEmpty())
        paragraphs.removeFirst();
    while (paragraphs.size() > 1 && paragraphs.back().trimmed().isEmpty())
        paragraphs.removeLast();
    QStringList lines;
    for (const QString& paragraph : paragraphs) {
        if (fm.horizontalAdvance(paragraph) <= width) {
            lines << paragraph;
            continue;
        }
        if (!cell.wrap) {
            lines << fm.elidedText(paragraph, Qt::ElideRight, width);
            continue;
        }
        QString line;
        const QStringList words = paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        for (QString word : words) {
            const QString candidate = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
            if (fm.horizontalAdvance(candidate) <= width) {
                line = candidate;
                continue;
            }
            if (!line.isEmpty())
                lines << line;
            // A word wider than the cell is broken where it reaches the edge.
            while (fm.horizontalAdvance(word) > width && word.size() > 1) {
                qsizetype fit = 1;
                while (fit < word.size() && fm.horizontalAdvance(word.left(fit + 1)) <= width)
                    ++fit;
                lines << word.left(fit);
                word = word.mid(fit);
            }
            line = word;
        }
        lines << line;
    }
    return lines;
}

void Layout::layCells(CellBox& box) const
{
    box.lines
        = wrap(resolve(box, m_values.pages > 0 ? m_values.pages : 999), *box.cell, m_fonts[size_t(box.font)]);
}

std::optional<RowBox> Layout::layRow(const RowDef& row)
{
    RowBox box;
    box.row = &row;
    box.height = row.height;
    if (row.kind != RowDef::Kind::Cells)
        return box;
    bool anyField = false;
    bool anyValue = false;
    for (const CellDef& cell : row.cells) {
        CellBox c;
        c.cell = &cell;
        c.font = fontFor(cell);
        for (const Segment& segment : cell.segments) {
            QString part;
            switch (segment.kind) {
            case Segment::Kind::Literal:
                part = segment.text;
                break;
            case Segment::Kind::Field: {
                const FieldRef ref = m_refs.at(&segment);
                const QStringList* values = m_values.rows[size_t(ref.source)];
                part = values && ref.column < values->size() ? values->at(ref.column) : QString();
                anyField = true;
                anyValue = anyValue || !part.trimmed().isEmpty();
                break;
            }
            case Segment::Kind::Page:
                part = QString::number(m_values.page);
                break;
            case Segment::Kind::Pages:
                c.needsPages = true;
                break;
            case Segment::Kind::Date:
                part = m_values.date;
                break;
            case Segment::Kind::Time:
                part = m_values.time;
                break;
            case Segment::Kind::Count:
                part = QString::number(m_values.count);
                break;
            }
            c.parts << part;
        }
        layCells(c);
        box.height = std::max(box.height, double(c.lines.size()) * m_fonts[size_t(c.font)].lineHeight);
        box.cells.push_back(std::move(c));
    }
    if (row.skipBlank && anyField && !anyValue)
        return std::nullopt;
    return box;
}

std::vector<RowBox> Layout::layBand(const BandDef* band)
{
    std::vector<RowBox> rows;
    if (!band)
        return rows;
    for (const RowDef& row : band->rows)
        if (std::optional<RowBox> box = layRow(row))
            rows.push_back(std::move(*box));
    return rows;
}

double Layout::height(const std::vector<RowBox>& rows) const
{
    double h = 0;
    for (const RowBox& row : rows)
        h += row.height;
    return h;
}

bool Layout::newPage()
{
    m_doc.pages.emplace_back();
    m_values.page = int(m_doc.pages.size());
    if (m_progress && !m_progress(m_values.page))
        return false;
    m_y = m_report.margins.top();
    if (m_values.page == 1)
        for (const RowBox& row : layBand(m_report.band(BandDef::Kind::Title)))
            place(m_values.page - 1, row, std::exchange(m_y, m_y + row.height));
    for (const RowBox& row : layBand(m_report.band(BandDef::Kind::Header)))
        place(m_values.page - 1, row, std::exchange(m_y, m_y + row.height));
    m_headerBottom = m_y;
    return true;
}

void Layout::place(int pageIndex, const RowBox& row, double top)
{
    Page& page = m_doc.pages[size_t(pageIndex)];
    const double left = m_report.margins.left();
    if (row.row->kind == RowDef::Kind::Line) {
        const double width
            = m_doc.layout.fullRectPoints().width() * 25.4 / 72 - left - m_report.margins.right();
        page.rules.emplace_back(left, top, width, row.height);
        return;
    }
    for (const CellBox& cell : row.cells) {
        if (cell.needsPages && m_values.pages == 0) {
            m_pending.push_back({ pageIndex, left, top, cell });
            continue;
        }
        const FontMetrics& font = m_fonts[size_t(cell.font)];
        double y = top;
        for (const QString& line : cell.lines) {
            double x = left + cell.cell->x;
            if (cell.cell->align != Qt::AlignLeft) {
                const double free = cell.cell->width - font.metrics.horizontalAdvance(line) * kMmPerPixel;
                x += cell.cell->align == Qt::AlignRight ? free : free / 2;
            }
            if (!line.isEmpty())
                page.texts.push_back({ x, y, y + font.ascent, cell.font, line });
            y += font.lineHeight;
        }
    }
}

bool Layout::placeBlock(const std::vector<RowBox>& rows)
{
    const double h = height(rows);
    // A block stays on one page when it fits on one; a longer one breaks
    // between its rows.
    if (m_y + h > m_bodyBottom && m_y > m_headerBottom && !newPage())
        return false;
    for (const RowBox& row : rows) {
        if (m_y + row.height > m_bodyBottom && m_y > m_headerBottom && !newPage())
            return false;
        place(int(m_doc.pages.size()) - 1, row, m_y);
        m_y += row.height;
    }
    return true;
}

void Layout::finish()
{
    m_values.pages = int(m_doc.pages.size());
    for (Pending& p : m_pending) {
        layCells(p.cell);
        Page& page = m_doc.pages[size_t(p.page)];
        const FontMetrics& font = m_fonts[size_t(p.cell.font)];
        double y = p.top;
        for (const QString& line : p.cell.lines) {
            double x = p.left + p.cell.cell->x;
            const double free = p.cell.cell->width - font.metrics.horizontalAdvance(line) * kMmPerPixel;
            if (p.cell.cell->align == Qt::AlignRight)
                x += free;
            else if (p.cell.cell->align == Qt::AlignHCenter)
                x += free / 2;
            if (!line.isEmpty())
                page.texts.push_back({ x, y, y + font.ascent, p.cell.font, line });
            y += font.lineHeight;
        }
    }
    for (const FontMetrics& f : m_fonts)
        m_doc.fonts.push_back(f.font);
}

std::optional<Document> Layout::run()
{
    m_doc.title = m_report.fullName;
    m_doc.layout = QPageLayout(m_report.pageSize, m_report.orientation, QMarginsF(), QPageLayout::Millimeter);
    m_pageHeight = m_doc.layout.fullRectPoints().height() * 25.4 / 72;
    m_values.date = platform::today().toString(engine::shortDateFormat());
    m_values.time = QTime::currentTime().toString(QStringLiteral("HH:mm"));

    // Every view but the detail one prints its current record throughout.
    m_current.resize(m_sources.size());
    m_values.rows.assign(m_sources.size(), nullptr);
    for (size_t s = 0; s < m_sources.size(); ++s) {
        if (int(s) == m_detail)
            continue;
        m_current[s] = m_sources[s]->currentRecord(m_fieldsOf[s]);
        m_values.rows[s] = &m_current[s];
    }
    engine::ReportSource* detail = m_sources[size_t(m_detail)];
    const QStringList& detailFields = m_fieldsOf[size_t(m_detail)];
    m_values.count = detail->rowCount();

    const double footerHeight = height(layBand(m_report.band(BandDef::Kind::Footer)));
    m_bodyBottom = m_pageHeight - m_report.margins.bottom() - footerHeight;
    if (!newPage())
        return std::nullopt;

    const BandDef* detailBand = m_report.band(BandDef::Kind::Detail);
    for (int first = 0; first < m_values.count; first += kChunk) {
        const std::vector<QStringList> rows = detailFields.isEmpty()
            ? std::vector<QStringList>(size_t(std::min(kChunk, m_values.count - first)))
            : detail->readRows(first, kChunk, detailFields);
        for (const QStringList& row : rows) {
            m_values.rows[size_t(m_detail)] = &row;
            if (!placeBlock(layBand(detailBand)))
                return std::nullopt;
        }
        if (rows.empty())
            break;
    }
    m_values.rows[size_t(m_detail)] = nullptr;
    if (m_values.count == 0 && !placeBlock(layBand(m_report.band(BandDef::Kind::Empty))))
        return std::nullopt;
    if (!placeBlock(layBand(m_report.band(BandDef::Kind::Summary))))
        return std::nullopt;

    // The footer goes on every page once the number of pages is known.
    const int pages = int(m_doc.pages.size());
    m_values.pages = 0;
    for (int p = 1; p <= pages; ++p) {
        m_values.page = p;
        double top = m_bodyBottom;
        for (const RowBox& row : layBand(m_report.band(BandDef::Kind::Footer))) {
            place(p - 1, row, top);
            top += row.height;
        }
    }
    finish();
    return std::move(m_doc);
}

} // namespace

std::optional<Document> layoutReport(
    const ReportDef& report, const std::vector<engine::ReportSource*>& sources, const Progress& progress)
{
    return Layout(report, sources, progress).run();
}

void checkSources(const ReportDef& report, const std::vector<engine::ReportSource*>& sources)
{
    Layout(report, sources, {});
}

void paintPage(QPainter& painter, const Document& document, int page)
{
    const Page& p = document.pages.at(size_t(page));
    const double sx = painter.device()->logicalDpiX() / 25.4;
    const double sy = painter.device()->logicalDpiY() / 25.4;
    painter.save();
    // Rules as lines at least one device pixel wide, so the thinnest still
    // shows when the preview scales the page down.
    for (const QRectF& rule : p.rules) {
        QPen pen(Qt::black, std::max(rule.height() * sy, 1.0));
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        const double y = (rule.y() + rule.height() / 2) * sy;
        painter.drawLine(QPointF(rule.x() * sx, y), QPointF(rule.right() * sx, y));
    }
    painter.setPen(Qt::black);
    int current = -1;
    for (const PlacedText& text : p.texts) {
        if (text.font != current) {
            painter.setFont(document.fonts[size_t(text.font)]);
            current = text.font;
        }
        painter.drawText(QPointF(text.x * sx, text.baseline * sy), text.text);
    }
    painter.restore();
}

QString plainText(const Document& document)
{
    // One column of text for every 1.8 mm: about 100 across an A4 page.
    constexpr double kColumn = 1.8;
    // Columns count from the leftmost thing printed, so the margin is not
    // written as blanks.
    double origin = 1e9;
    for (const Page& page : document.pages) {
        for (const PlacedText& t : page.texts)
            origin = std::min(origin, t.x);
        for (const QRectF& rule : page.rules)
            origin = std::min(origin, rule.left());
    }
    QString out;
    for (size_t p = 0; p < document.pages.size(); ++p) {
        if (p > 0)
            out += QLatin1Char('\f');
        struct Line {
            double top;
            double x;
            QString text;
        };
        std::vector<Line> lines;
        const Page& page = document.pages[p];
        for (const PlacedText& t : page.texts)
            lines.push_back({ t.top, t.x, t.text });
        for (const QRectF& rule : page.rules)
            lines.push_back(
                { rule.top(), rule.left(), QString(int(rule.width() / kColumn), QLatin1Char('-')) });
        std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
            const double ta = std::round(a.top * 10), tb = std::round(b.top * 10);
            return ta != tb ? ta < tb : a.x < b.x;
        });
        QString current;
        double currentTop = -1;
        auto flush = [&] {
            if (currentTop >= 0)
                out += current + QLatin1Char('\n');
            current.clear();
        };
        for (const Line& line : lines) {
            if (std::round(line.top * 10) != std::round(currentTop * 10)) {
                flush();
                currentTop = line.top;
            }
            const int column = std::max(0, int(std::lround((line.x - origin) / kColumn)));
            if (current.size() < column)
                current += QString(column - current.size(), QLatin1Char(' '));
            else if (!current.isEmpty())
                current += QLatin1Char(' ');
            current += line.text;
        }
        flush();
    }
    return out;
}

} // namespace report
