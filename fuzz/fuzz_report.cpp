// Fuzzes the report project reader, and lays out each report it accepts over
// two small data views whose fields are whatever the report names, as the
// health listing lays out its rows: a project file is read from outside.
#include "engine/ReportSource.h"
#include "report/ReportDefinition.h"
#include "report/ReportError.h"
#include "report/ReportLayout.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

// A view that answers every field it is asked for.
class AnyFields : public engine::ReportSource {
public:
    AnyFields(QString name, int rows)
        : m_name(std::move(name))
        , m_rows(rows)
    {
    }
    QString sourceName() const override { return m_name; }
    QStringList fieldNames() const override { return m_fields; }
    int rowCount() const override { return m_rows; }
    std::vector<QStringList> readRows(int firstRow, int count, const QStringList& fields) const override
    {
        std::vector<QStringList> rows;
        for (int row = firstRow; row < firstRow + count && row < m_rows; ++row) {
            QStringList values;
            for (const QString& field : fields)
                values << QStringLiteral("%1 %2 con un texto largo que hay que partir en líneas")
                              .arg(field)
                              .arg(row);
            rows.push_back(values);
        }
        return rows;
    }
    QStringList currentRecord(const QStringList& fields) const override
    {
        return readRows(0, 1, fields).front();
    }
    QStringList m_fields;

private:
    QString m_name;
    int m_rows;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int qtArgc = 1;
    static QGuiApplication application(qtArgc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const report::ProjectDef project = report::parseProject(text, QStringLiteral("fuzz.rpt"));
        for (const report::ReportDef& def : project.reports) {
            // The views and fields the report names, so the layout runs.
            std::vector<std::unique_ptr<AnyFields>> views;
            std::vector<engine::ReportSource*> sources;
            const auto viewNamed = [&](const QString& name) {
                for (const auto& view : views)
                    if (view->sourceName() == name)
                        return view.get();
                views.push_back(std::make_unique<AnyFields>(name, 40));
                sources.push_back(views.back().get());
                return views.back().get();
            };
            if (!def.bands.empty())
                for (const report::BandDef& band : def.bands)
                    if (!band.source.isEmpty())
                        viewNamed(band.source);
            for (const report::BandDef& band : def.bands)
                for (const report::RowDef& row : band.rows)
                    for (const report::CellDef& cell : row.cells)
                        for (const report::Segment& segment : cell.segments) {
                            if (segment.kind != report::Segment::Kind::Field)
                                continue;
                            viewNamed(segment.source)->m_fields << segment.text;
                        }
            int pages = 0;
            const auto document = report::layoutReport(def, sources, [&pages](int) { return ++pages <= 50; });
            if (document)
                report::plainText(*document);
        }
    } catch (const report::ReportError&) {
    }
    return 0;
}
