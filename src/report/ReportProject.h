// The report engine as the windows use it: a report project read from its
// file at the first listing and kept, the choice of the report to run, and
// the run itself through the output setup window to preview, printer or file.
#pragma once

#include "report/ReportDefinition.h"
#include "report/ReportOutput.h"

#include <QString>
#include <optional>
#include <vector>

class QWidget;

namespace engine {
class ReportSource;
}

namespace report {

// The report system: the output settings a listing starts from and the
// texts of its windows. The options chosen are kept for the next listing.
struct ReportSystem {
    QString setupTitle = QStringLiteral("Opciones de Salida");
    QString statusTitle = QStringLiteral("Estatus Listado");
    QString generatingText = QStringLiteral("Generando página %p");
    QString printingText = QStringLiteral("Imprimiendo página %p");
    QString jobTitle = QStringLiteral("Listado");
    QString previewTitle = QStringLiteral("Previsualización Listado");
    ReportOptions options; // preview chosen at first
};

class ReportProject {
public:
    ReportProject() = default;
    ReportProject(const ReportProject&) = delete;
    ReportProject& operator=(const ReportProject&) = delete;

    // The project file. Once loaded, a new name changes nothing until the
    // process ends: the project stays as it was read.
    void setFileName(const QString& fileName) { m_fileName = fileName; }
    const QString& fileName() const { return m_fileName; }
    bool isLoaded() const { return m_project.has_value(); }
    // Reads the file unless already loaded. ReportError: "The following
    // reporting project does not exist:" and the quoted full path when it is
    // missing; the file and line of anything wrong in it.
    void load();

    // The data views the reports read, by their names.
    void addDataView(engine::ReportSource& view);

    // Loads the project when needed, then makes the first report, in the
    // project's order, whose full name or name equals `name` without regard
    // to case the active one. False, and no active report, when none matches.
    bool selectReport(const QString& name);
    const report::ReportDef* activeReport() const;
    QStringList reportNames() const;

    ReportSystem& system() { return m_system; }

    // Runs the active report: the output setup window, then the status
    // window and the preview, the printer or the file. False when the user
    // cancelled. ReportError when there is no active report, output fails or
    // the printing module cannot be loaded.
    bool run(QWidget* parent = nullptr);
    // The active report straight to a file, without windows.
    void runToFile(const QString& fileName, ReportFileFormat format);

private:
    const report::ReportDef& requireActive() const;

    QString m_fileName;
    std::optional<report::ProjectDef> m_project;
    int m_active = -1;
    QString m_asked; // the last name asked for, for the message when none matched
    std::vector<engine::ReportSource*> m_views;
    ReportSystem m_system;
};

} // namespace report
