// The report project as read from its file: named reports, each with its
// page format, font and bands of rows and cells. The file format is
// described in docs/DEVELOPING.md ("Report projects and listings").
#pragma once

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringList>
#include <vector>

namespace report {

// A piece of a cell's text: literal text, or a value filled in when printed.
struct Segment {
    enum class Kind { Literal, Field, Page, Pages, Date, Time, Count };
    Kind kind = Kind::Literal;
    QString text; // the literal, or the field's name
    QString source; // the data view, for a field
};

struct CellDef {
    double x = 0; // mm from the left margin
    double width = 0; // mm
    std::vector<Segment> segments;
    double size = 0; // points; 0 takes the report's font size
    bool bold = false;
    bool italic = false;
    Qt::Alignment align = Qt::AlignLeft;
    bool wrap = false; // long text goes on to further lines instead of being cut
};

struct RowDef {
    enum class Kind { Cells, Line, Space };
    Kind kind = Kind::Cells;
    double height = 0; // mm: least height of a row, thickness of a line, size of a space
    bool skipBlank = false; // left out when every value it prints is empty
    std::vector<CellDef> cells;
};

struct BandDef {
    enum class Kind { Title, Header, Detail, Empty, Summary, Footer };
    Kind kind = Kind::Detail;
    QString source; // the detail band's data view
    std::vector<RowDef> rows;
};

struct ReportDef {
    QString name;
    QString fullName;
    QPageSize pageSize { QPageSize::A4 };
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins { 15, 12, 15, 12 }; // mm
    QString fontFamily = QStringLiteral("Liberation Sans");
    double fontSize = 9;
    std::vector<BandDef> bands;

    const BandDef* band(BandDef::Kind kind) const;
};

struct ProjectDef {
    std::vector<ReportDef> reports;
};

// Reads a project from its text; a ReportError names `fileName` and the line
// of the first thing that is wrong.
ProjectDef parseProject(const QString& text, const QString& fileName);

} // namespace report
