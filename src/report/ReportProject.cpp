#include "report/ReportProject.h"

#include "report/Printing.h"
#include "report/ReportError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace report {

namespace {

// A project is a few kilobytes; anything this big is not one.
constexpr qint64 kMaxProjectSize = qint64(4) * 1024 * 1024;

} // namespace

void ReportProject::load()
{
    if (m_project)
        return;
    const QString path = m_fileName.isEmpty() ? QString() : QFileInfo(m_fileName).absoluteFilePath();
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        throw ReportError(
            QStringLiteral("The following reporting project does not exist:\n\"%1\"").arg(path));
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        throw ReportError(QStringLiteral("No se puede leer el proyecto de listados \"%1\": %2")
                              .arg(QDir::toNativeSeparators(path),
                                  info.isDir() ? QStringLiteral("es una carpeta") : file.errorString()));
    if (file.size() > kMaxProjectSize)
        throw ReportError(
            QStringLiteral("El fichero \"%1\" no es un proyecto de listados: es demasiado grande.")
                .arg(QDir::toNativeSeparators(path)));
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(file.readAll());
    if (decoder.hasError())
        throw ReportError(
            QStringLiteral("El fichero \"%1\" no es un proyecto de listados: no es texto UTF-8.")
                .arg(QDir::toNativeSeparators(path)));
    m_project = report::parseProject(text, QDir::toNativeSeparators(path));
    m_active = -1;
}

void ReportProject::addDataView(engine::ReportSource& view)
{
    m_views.push_back(&view);
}

bool ReportProject::selectReport(const QString& name)
{
    load();
    m_asked = name;
    m_active = -1;
    for (size_t i = 0; i < m_project->reports.size(); ++i) {
        const report::ReportDef& r = m_project->reports[i];
        if (r.fullName.compare(name, Qt::CaseInsensitive) == 0
            || r.name.compare(name, Qt::CaseInsensitive) == 0) {
            m_active = int(i);
            return true;
        }
    }
    return false;
}

const report::ReportDef* ReportProject::activeReport() const
{
    return m_project && m_active >= 0 ? &m_project->reports[size_t(m_active)] : nullptr;
}

QStringList ReportProject::reportNames() const
{
    QStringList names;
    if (m_project)
        for (const report::ReportDef& r : m_project->reports)
            names << r.name;
    return names;
}

const report::ReportDef& ReportProject::requireActive() const
{
    if (const report::ReportDef* r = activeReport())
        return *r;
    if (!m_project)
        throw ReportError(QStringLiteral("No se ha cargado ningún proyecto de listados."));
    throw ReportError(QStringLiteral("El proyecto de listados \"%1\" no tiene ningún listado llamado \"%2\".")
                          .arg(QDir::toNativeSeparators(QFileInfo(m_fileName).absoluteFilePath()), m_asked));
}

void ReportProject::runToFile(const QString& fileName, ReportFileFormat format)
{
    const std::optional<report::Document> document = report::layoutReport(requireActive(), m_views);
    const int last = int(document->pages.size()) - 1;
    if (format == ReportFileFormat::Pdf)
        report::writePdf(*document, fileName, 0, last);
    else
        report::writeText(*document, fileName, 0, last);
}

bool ReportProject::run(QWidget* parent)
{
    return report::runInteractive(requireActive(), m_views, m_system, parent);
}

} // namespace report
