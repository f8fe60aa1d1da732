// Shared by the report tests: a data view held in memory, and the text and
// fonts of a PDF as poppler's tools read them back.
#pragma once

#include "engine/ReportSource.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <vector>

namespace testsupport {

class MemorySource : public engine::ReportSource {
public:
    MemorySource(QString name, QStringList fields)
        : m_name(std::move(name))
        , m_fields(std::move(fields))
    {
    }

    std::vector<QStringList> rows;
    int current = 0;
    mutable int reads = 0; // calls of readRows

    QString sourceName() const override { return m_name; }
    QStringList fieldNames() const override { return m_fields; }
    int rowCount() const override { return int(rows.size()); }
    std::vector<QStringList> readRows(int firstRow, int count, const QStringList& fields) const override
    {
        ++reads;
        std::vector<QStringList> out;
        for (int r = firstRow; r < std::min(firstRow + count, rowCount()); ++r)
            out.push_back(pick(rows[size_t(r)], fields));
        return out;
    }
    QStringList currentRecord(const QStringList& fields) const override
    {
        if (current < 0 || current >= rowCount())
            return QStringList(fields.size(), QString());
        return pick(rows[size_t(current)], fields);
    }

private:
    QStringList pick(const QStringList& row, const QStringList& fields) const
    {
        QStringList out;
        for (const QString& f : fields)
            out << row.value(m_fields.indexOf(f));
        return out;
    }

    QString m_name;
    QStringList m_fields;
};

// Output of a poppler tool on `file`; empty when it failed.
inline QString popplerOutput(const QString& tool, const QStringList& arguments)
{
    QProcess p;
    p.start(tool, arguments);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

inline QString pdfText(const QString& file)
{
    return popplerOutput(
        QStringLiteral("pdftotext"), { QStringLiteral("-layout"), file, QStringLiteral("-") });
}

// Every font listed by pdffonts must say it is embedded; returns the fonts' lines.
inline QStringList pdfFontLines(const QString& file)
{
    QStringList lines
        = popplerOutput(QStringLiteral("pdffonts"), { file }).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.mid(2); // the two heading lines
}

// Each of `needles` in `haystack`, in this order; the first missing one, or empty.
inline QString missingInOrder(const QString& haystack, const QStringList& needles)
{
    qsizetype from = 0;
    for (const QString& needle : needles) {
        const qsizetype at = haystack.indexOf(needle, from);
        if (at < 0)
            return needle;
        from = at + needle.size();
    }
    return {};
}

} // namespace testsupport
