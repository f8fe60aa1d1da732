#include "report/Printing.h"

#include "report/ReportError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

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

constexpr char kModuleName[] = "huellario-impresion.so";

} // namespace

void registerInteractiveRun(InteractiveRun run)
{
    registered() = run;
}

QString printingModule()
{
    if (!moduleOverride().isEmpty())
        return moduleOverride();
    return printingModuleIn(QCoreApplication::applicationDirPath());
}

QString printingModuleIn(const QString& binDir)
{
    const QDir bin(binDir);
    QString beside = bin.filePath(QLatin1String(kModuleName));
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = QDir::cleanPath(
        bin.filePath(QStringLiteral(HLR_PRINTING_FROM_BIN "/") + QLatin1String(kModuleName)));
    return QFileInfo::exists(installed) ? installed : beside;
}

void setPrintingModule(const QString& path)
{
    moduleOverride() = path;
}

bool runInteractive(const ReportDef& report, const std::vector<engine::ReportSource*>& views,
    ReportSystem& system, QWidget* parent)
{
    if (!registered()) {
        const QString path = printingModule();
        // Loading runs the module's registration; it stays loaded until the program ends.
        QLibrary module(path);
        if (!QFileInfo::exists(path))
            throw ReportError(QStringLiteral(
                "No se puede imprimir: falta el módulo de impresión \"%1\". Vuelva a instalar Huellario.")
                                  .arg(QDir::toNativeSeparators(path)));
        if (!module.load() || !registered())
            throw ReportError(
                QStringLiteral("No se puede imprimir: el módulo de impresión \"%1\" no se puede cargar "
                               "(%2). Vuelva a instalar Huellario.")
                    .arg(QDir::toNativeSeparators(path),
                        module.isLoaded() ? QStringLiteral("no es el de esta versión")
                                          : module.errorString()));
    }
    return registered()(report, views, system, parent);
}

} // namespace report
