#include "report/Printing.h"

#include "platform/ProgramFiles.h"
#include "report/ReportError.h"

// Defined by the module's objects: present when a program links them, null
// otherwise (then it is looked up in the module).
extern "C" report::InteractiveRun hlr_report_interactive_run() __attribute__((weak));

namespace report {

namespace {

QString& moduleOverride()
{
    static QString path;
    return path;
}

} // namespace

QString printingModule()
{
    if (!moduleOverride().isEmpty())
        return moduleOverride();
    return platform::programModule(QStringLiteral("huellario-impresion.so"));
}

void setPrintingModule(const QString& path)
{
    moduleOverride() = path;
}

bool runInteractive(const ReportDef& report, const std::vector<engine::ReportSource*>& views,
    ReportSystem& system, QWidget* parent)
{
    static InteractiveRun run = hlr_report_interactive_run ? hlr_report_interactive_run() : nullptr;
    if (!run) {
        QString error;
        QFunctionPointer entry = nullptr;
        if (!platform::loadProgramModule(printingModule(), &error, "hlr_report_interactive_run", &entry))
            throw ReportError(
                QStringLiteral("No se puede imprimir: %1. Vuelva a instalar Huellario.").arg(error));
        run = reinterpret_cast<InteractiveRun (*)()>(entry)();
    }
    return run(report, views, system, parent);
}

} // namespace report
