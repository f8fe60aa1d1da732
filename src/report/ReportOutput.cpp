#include "report/ReportOutput.h"

#include "report/ReportError.h"

#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QStringConverter>

namespace report {

namespace {

constexpr int kPdfResolution = 300;

[[noreturn]] void cannotWrite(const QString& fileName, const QString& reason)
{
    throw ReportError(QStringLiteral("No se puede escribir el fichero \"%1\": %2").arg(fileName, reason));
}

void openForWriting(QSaveFile& file)
{
    if (!file.open(QIODevice::WriteOnly))
        cannotWrite(file.fileName(), file.errorString());
}

void commit(QSaveFile& file)
{
    if (!file.commit())
        cannotWrite(file.fileName(), file.errorString());
}

} // namespace

QString formatCaption(ReportFileFormat format)
{
    return format == ReportFileFormat::Pdf ? QStringLiteral("Adobe Acrobat (PDF)")
                                           : QStringLiteral("Texto sin formato (TXT)");
}

QString formatExtension(ReportFileFormat format)
{
    return format == ReportFileFormat::Pdf ? QStringLiteral("pdf") : QStringLiteral("txt");
}

QString formatFilter(ReportFileFormat format)
{
    return QStringLiteral("%1 (*.%2)").arg(formatCaption(format), formatExtension(format));
}

QString withExtension(const QString& fileName, ReportFileFormat format)
{
    if (fileName.isEmpty())
        return fileName;
    const QString suffix = QFileInfo(fileName).suffix();
    if (suffix.isEmpty())
        return fileName + QLatin1Char('.') + formatExtension(format);
    // The other format's extension follows the format chosen, so a PDF is
    // never written into "toby.txt".
    const ReportFileFormat other
        = format == ReportFileFormat::Pdf ? ReportFileFormat::Text : ReportFileFormat::Pdf;
    if (suffix.compare(formatExtension(other), Qt::CaseInsensitive) == 0)
        return fileName.chopped(suffix.size()) + formatExtension(format);
    return fileName;
}

bool writePdf(
    const Document& document, const QString& fileName, int first, int last, const Progress& progress)
{
    QSaveFile file(fileName);
    openForWriting(file);
    {
        QPdfWriter writer(&file);
        writer.setResolution(kPdfResolution);
        writer.setTitle(document.title);
        writer.setCreator(QStringLiteral("Huellario"));
        writer.setPageLayout(document.layout);
        QPainter painter;
        if (!painter.begin(&writer))
            cannotWrite(fileName, QStringLiteral("no se pudo empezar el documento PDF"));
        for (int page = first; page <= last; ++page) {
            if (progress && !progress(page + 1)) {
                painter.end();
                file.cancelWriting();
                return false;
            }
            if (page > first)
                writer.newPage();
            paintPage(painter, document, page);
        }
        painter.end();
    }
    commit(file);
    return true;
}

bool writeText(const Document& document, const QString& fileName, int first, int last)
{
    Document part;
    part.layout = document.layout;
    part.fonts = document.fonts;
    part.pages.assign(document.pages.begin() + first, document.pages.begin() + last + 1);
    QSaveFile file(fileName);
    openForWriting(file);
    const QByteArray text = plainText(part).toUtf8();
    if (file.write(text) != text.size())
        cannotWrite(fileName, file.errorString());
    commit(file);
    return true;
}

} // namespace report
