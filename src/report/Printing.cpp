#include "report/Printing.h"

#include "platform/ProgramFiles.h"
#include "report/ReportError.h"

#include <QDir>

namespace report {

namespace {

InteractiveRun& registered()
{
    static InteractiveRun run = nullptr;
    return run;
}

QString& moduleOverride()
{
    static QString path;
    return path;
}

} // namespace

void registerInteractiveRun(InteractiveRun run)
{
    registered() = run;
}

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
    if (!registered()) {
        // Loading runs the module's registration.
        QString error;
        if (platform::loadProgramModule(printingModule(), &error) && !registered())
            error = QStringLiteral("el módulo \"%1\" no se puede cargar (no es el de esta versión)")
                        .arg(QDir::toNativeSeparators(printingModule()));
        if (!registered())
            throw ReportError(
                QStringLiteral("No se puede imprimir: %1. Vuelva a instalar Huellario.").arg(error));
    }
    return registered()(report, views, system, parent);
}

} // namespace report
