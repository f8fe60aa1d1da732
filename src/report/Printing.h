// The interactive run of a report (output set-up, status, preview, printer)
// lives in a module of its own, huellario-impresion, loaded at the first
// listing: the program starts without Qt's printing library, which its first
// window does not need. The module's extern "C" function
// hlr_report_interactive_run() hands the run over; a program that links the
// module's code instead (the tests do) uses it and loads nothing.
#pragma once

#include <QString>
#include <vector>

class QWidget;

namespace engine {
class ReportSource;
}

namespace report {

struct ReportDef;
struct ReportSystem;

using InteractiveRun = bool (*)(const ReportDef& report, const std::vector<engine::ReportSource*>& views,
    ReportSystem& system, QWidget* parent);

// Runs `report` as ReportProject::run describes, loading the module first
// when no run is registered. ReportError, in Spanish and naming the file,
// when the module is missing or cannot be loaded.
bool runInteractive(const ReportDef& report, const std::vector<engine::ReportSource*>& views,
    ReportSystem& system, QWidget* parent);

// The module, as platform::programModule() finds it.
QString printingModule();
// Another module file, for tests; empty goes back to the usual one.
void setPrintingModule(const QString& path);

} // namespace report
