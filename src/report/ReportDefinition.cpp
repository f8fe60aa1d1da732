#include "report/ReportDefinition.h"

#include "report/ReportError.h"

#include <optional>

namespace report {

const BandDef* ReportDef::band(BandDef::Kind kind) const
{
    for (const BandDef& b : bands)
        if (b.kind == kind)
            return &b;
    return nullptr;
}

namespace {

struct Token {
    QString text;
    bool quoted = false;
};

class Parser {
public:
    Parser(const QString& text, const QString& fileName)
        : m_lines(text.split(QLatin1Char('\n')))
        , m_fileName(fileName)
    {
    }

    ProjectDef parse();

private:
    [[noreturn]] void fail(const QString& what) const
    {
        throw ReportError(QStringLiteral("El proyecto de listados \"%1\" no es válido (línea %2): %3")
                              .arg(m_fileName)
                              .arg(m_lineNumber)
                              .arg(what));
    }

    std::vector<Token> tokenize(const QString& line) const;
    bool nextLine(); // false at the end of the text
    QString keyword(size_t i) const { return i < m_tokens.size() ? m_tokens[i].text.toLower() : QString(); }
    double number(size_t i, double least = 0) const;
    QString text(size_t i) const;
    void expectCount(size_t least, size_t most) const;

    void parseReport(ProjectDef& project);
    void parseBand(ReportDef& report, BandDef::Kind kind);
    CellDef parseCell();
    std::vector<Segment> parseTemplate(const QString& text) const;

    QStringList m_lines;
    QString m_fileName;
    int m_lineNumber = 0;
    std::vector<Token> m_tokens;
    bool m_pending = false; // the current line has been read but not used
};

std::vector<Token> Parser::tokenize(const QString& line) const
{
    std::vector<Token> tokens;
    qsizetype i = 0;
    const qsizetype n = line.size();
    while (i < n) {
        if (line[i].isSpace()) {
            ++i;
            continue;
        }
        if (line[i] == QLatin1Char('#') && tokens.empty())
            break;
        Token token;
        if (line[i] == QLatin1Char('"')) {
            token.quoted = true;
            ++i;
            bool closed = false;
            while (i < n) {
                if (line[i] == QLatin1Char('"')) {
                    if (i + 1 < n && line[i + 1] == QLatin1Char('"')) {
                        token.text += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                token.text += line[i++];
            }
            if (!closed)
                fail(QStringLiteral("falta la comilla que cierra el texto"));
        } else {
            while (i < n && !line[i].isSpace())
                token.text += line[i++];
        }
        tokens.push_back(std::move(token));
    }
    return tokens;
}

bool Parser::nextLine()
{
    if (m_pending) {
        m_pending = false;
        return true;
    }
    while (m_lineNumber < m_lines.size()) {
        QString line = m_lines[m_lineNumber++];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        m_tokens = tokenize(line);
        if (!m_tokens.empty())
            return true;
    }
    return false;
}

void Parser::expectCount(size_t least, size_t most) const
{
    if (m_tokens.size() < least)
        fail(QStringLiteral("faltan valores después de \"%1\"").arg(m_tokens[0].text));
    if (m_tokens.size() > most)
        fail(QStringLiteral("sobra \"%1\"").arg(m_tokens[most].text));
}

double Parser::number(size_t i, double least) const
{
    if (i >= m_tokens.size())
        fail(QStringLiteral("falta un número después de \"%1\"").arg(m_tokens[i - 1].text));
    bool ok = false;
    const double value = m_tokens[i].text.toDouble(&ok);
    if (!ok || m_tokens[i].quoted || value < least || value > 10000)
        fail(QStringLiteral("\"%1\" no es un número válido").arg(m_tokens[i].text));
    return value;
}

QString Parser::text(size_t i) const
{
    if (i >= m_tokens.size())
        fail(QStringLiteral("falta un texto después de \"%1\"").arg(m_tokens[i - 1].text));
    return m_tokens[i].text;
}

ProjectDef Parser::parse()
{
    ProjectDef project;
    if (!nextLine() || keyword(0) != QStringLiteral("huellario-report"))
        fail(QStringLiteral("el fichero no empieza por \"huellario-report 1\""));
    expectCount(2, 2);
    if (m_tokens[1].text != QStringLiteral("1"))
        fail(QStringLiteral("versión %1 desconocida").arg(m_tokens[1].text));
    while (nextLine()) {
        if (keyword(0) != QStringLiteral("report"))
            fail(QStringLiteral("se esperaba \"report\" y se encontró \"%1\"").arg(m_tokens[0].text));
        parseReport(project);
    }
    return project;
}

void Parser::parseReport(ProjectDef& project)
{
    expectCount(2, 3);
    ReportDef report;
    report.name = text(1);
    report.fullName = m_tokens.size() > 2 ? text(2) : report.name;
    if (report.name.isEmpty())
        fail(QStringLiteral("el listado no tiene nombre"));
    while (nextLine()) {
        const QString key = keyword(0);
        if (key == QStringLiteral("end")) {
            expectCount(1, 1);
            if (!report.band(BandDef::Kind::Detail))
                fail(QStringLiteral("el listado \"%1\" no tiene banda \"detail\"").arg(report.name));
            project.reports.push_back(std::move(report));
            return;
        }
        if (key == QStringLiteral("page")) {
            expectCount(2, 3);
            const QString size = keyword(1);
            if (size == QStringLiteral("a4"))
                report.pageSize = QPageSize(QPageSize::A4);
            else if (size == QStringLiteral("a5"))
                report.pageSize = QPageSize(QPageSize::A5);
            else if (size == QStringLiteral("letter"))
                report.pageSize = QPageSize(QPageSize::Letter);
            else if (size == QStringLiteral("legal"))
                report.pageSize = QPageSize(QPageSize::Legal);
            else
                fail(QStringLiteral("tamaño de página \"%1\" desconocido").arg(m_tokens[1].text));
            const QString orientation = keyword(2);
            if (orientation == QStringLiteral("landscape"))
                report.orientation = QPageLayout::Landscape;
            else if (orientation.isEmpty() || orientation == QStringLiteral("portrait"))
                report.orientation = QPageLayout::Portrait;
            else
                fail(QStringLiteral("orientación \"%1\" desconocida").arg(m_tokens[2].text));
        } else if (key == QStringLiteral("margins")) {
            expectCount(5, 5);
            report.margins = QMarginsF(number(1), number(2), number(3), number(4));
        } else if (key == QStringLiteral("font")) {
            expectCount(3, 3);
            report.fontFamily = text(1);
            report.fontSize = number(2, 1);
        } else if (key == QStringLiteral("band")) {
            static const std::pair<const char*, BandDef::Kind> kinds[]
                = { { "title", BandDef::Kind::Title }, { "header", BandDef::Kind::Header },
                      { "detail", BandDef::Kind::Detail }, { "empty", BandDef::Kind::Empty },
                      { "summary", BandDef::Kind::Summary }, { "footer", BandDef::Kind::Footer } };
            std::optional<BandDef::Kind> kind;
            for (const auto& [word, k] : kinds)
                if (keyword(1) == QLatin1String(word))
                    kind = k;
            if (!kind)
                fail(QStringLiteral("banda \"%1\" desconocida").arg(text(1)));
            if (report.band(*kind))
                fail(QStringLiteral("la banda \"%1\" está repetida").arg(text(1)));
            parseBand(report, *kind);
        } else {
            fail(QStringLiteral("\"%1\" no se esperaba aquí").arg(m_tokens[0].text));
        }
    }
    fail(QStringLiteral("falta \"end\" al final del listado \"%1\"").arg(report.name));
}

void Parser::parseBand(ReportDef& report, BandDef::Kind kind)
{
    BandDef band;
    band.kind = kind;
    if (kind == BandDef::Kind::Detail) {
        expectCount(3, 3);
        band.source = text(2);
    } else {
        expectCount(2, 2);
    }
    while (nextLine()) {
        const QString key = keyword(0);
        if (key == QStringLiteral("row")) {
            RowDef row;
            for (size_t i = 1; i < m_tokens.size(); ++i) {
                if (keyword(i) == QStringLiteral("height"))
                    row.height = number(++i);
                else if (keyword(i) == QStringLiteral("skipblank"))
                    row.skipBlank = true;
                else
                    fail(QStringLiteral("\"%1\" no se esperaba aquí").arg(m_tokens[i].text));
            }
            band.rows.push_back(std::move(row));
        } else if (key == QStringLiteral("cell")) {
            if (band.rows.empty() || band.rows.back().kind != RowDef::Kind::Cells)
                fail(QStringLiteral("\"cell\" fuera de una fila"));
            band.rows.back().cells.push_back(parseCell());
        } else if (key == QStringLiteral("line") || key == QStringLiteral("space")) {
            expectCount(key == QStringLiteral("line") ? 1 : 2, 2);
            RowDef row;
            row.kind = key == QStringLiteral("line") ? RowDef::Kind::Line : RowDef::Kind::Space;
            row.height = m_tokens.size() > 1 ? number(1) : 0.2;
            band.rows.push_back(std::move(row));
        } else {
            m_pending = true;
            break;
        }
    }
    report.bands.push_back(std::move(band));
}

CellDef Parser::parseCell()
{
    if (m_tokens.size() < 4)
        fail(QStringLiteral("una celda necesita posición, ancho y texto"));
    CellDef cell;
    cell.x = number(1);
    cell.width = number(2, 1);
    cell.segments = parseTemplate(text(3));
    for (size_t i = 4; i < m_tokens.size(); ++i) {
        const QString key = keyword(i);
        if (key == QStringLiteral("size")) {
            cell.size = number(++i, 1);
        } else if (key == QStringLiteral("bold")) {
            cell.bold = true;
        } else if (key == QStringLiteral("italic")) {
            cell.italic = true;
        } else if (key == QStringLiteral("wrap")) {
            cell.wrap = true;
        } else if (key == QStringLiteral("align")) {
            const QString value = keyword(++i);
            if (value == QStringLiteral("left"))
                cell.align = Qt::AlignLeft;
            else if (value == QStringLiteral("center"))
                cell.align = Qt::AlignHCenter;
            else if (value == QStringLiteral("right"))
                cell.align = Qt::AlignRight;
            else
                fail(QStringLiteral("alineación \"%1\" desconocida").arg(value));
        } else {
            fail(QStringLiteral("\"%1\" no se esperaba aquí").arg(m_tokens[i].text));
        }
    }
    return cell;
}

std::vector<Segment> Parser::parseTemplate(const QString& text) const
{
    std::vector<Segment> segments;
    QString literal;
    auto flush = [&] {
        if (!literal.isEmpty())
            segments.push_back({ Segment::Kind::Literal, literal, {} });
        literal.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if ((c == QLatin1Char('{') || c == QLatin1Char('}')) && i + 1 < text.size() && text[i + 1] == c) {
            literal += c;
            ++i;
            continue;
        }
        if (c == QLatin1Char('}'))
            fail(QStringLiteral("\"}\" sin \"{\" en \"%1\"").arg(text));
        if (c != QLatin1Char('{')) {
            literal += c;
            continue;
        }
        const qsizetype end = text.indexOf(QLatin1Char('}'), i);
        if (end < 0)
            fail(QStringLiteral("falta \"}\" en \"%1\"").arg(text));
        const QString name = text.mid(i + 1, end - i - 1).trimmed();
        i = end;
        flush();
        static const std::pair<const char*, Segment::Kind> words[] = { { "page", Segment::Kind::Page },
            { "pages", Segment::Kind::Pages }, { "date", Segment::Kind::Date },
            { "time", Segment::Kind::Time }, { "count", Segment::Kind::Count } };
        if (name == QStringLiteral("br")) {
            segments.push_back({ Segment::Kind::Literal, QStringLiteral("\n"), {} });
            continue;
        }
        bool found = false;
        for (const auto& [word, kind] : words) {
            if (name == QLatin1String(word)) {
                segments.push_back({ kind, {}, {} });
                found = true;
            }
        }
        if (found)
            continue;
        const qsizetype dot = name.indexOf(QLatin1Char('.'));
        if (dot <= 0 || dot == name.size() - 1)
            fail(QStringLiteral("\"{%1}\" no es ni un campo (vista.CAMPO) ni un valor conocido").arg(name));
        segments.push_back({ Segment::Kind::Field, name.mid(dot + 1), name.left(dot) });
    }
    flush();
    return segments;
}

} // namespace

ProjectDef parseProject(const QString& text, const QString& fileName)
{
    return Parser(text, fileName).parse();
}

} // namespace report
