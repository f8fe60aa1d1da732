// The printing module as the program uses it: found beside the program or
// where the package installs it, clear errors when it is missing or not a
// module, and loaded into this process (which, like the program, links none
// of its code) to run a listing. The program itself must not need Qt's
// printing library to start.
#include "platform/ProgramFiles.h"
#include "report/Printing.h"
#include "report/ReportError.h"
#include "report/ReportProject.h"
#include "support/ProgramLibraries.h"
#include "support/ReportTesting.h"
#include "support/TestPaths.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

QString failureOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const report::ReportError& error) {
        return error.message();
    }
    return {};
}

} // namespace

class TstReportModule : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    testsupport::MemorySource m_pets { "RvTablaMascotas", { "CODIGO", "NOM_FAMI" } };
    testsupport::MemorySource m_visits { "RvTablaSanidad",
        { "FECHA", "DESCRIPCIO", "CLINICA", "VETERINARIO", "TRATAMIENTO", "MEDICACION", "PROX_VISITA",
            "OBSERVA1", "OBSERVA2" } };

    void touch(const QString& path, const QByteArray& content = "x")
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    }

private slots:
    void theProgramStartsWithoutThePrintingLibrary()
    {
        const QStringList needed = testsupport::neededLibraries(QStringLiteral(HLR_BIN_DIR "/huellario"));
        QVERIFY2(needed.contains(QLatin1String("libQt6Widgets.so.6")), qPrintable(needed.join(' ')));
        QVERIFY2(needed.filter(QLatin1String("PrintSupport")).isEmpty(), qPrintable(needed.join(' ')));
    }

    void theModuleIsFoundBesideTheProgramOrWhereItIsInstalled()
    {
        const QString bin = m_dir.filePath("usr/bin");
        QDir().mkpath(bin);
        const QString installed
            = QDir::cleanPath(bin + QStringLiteral("/" HLR_MODULES_FROM_BIN "/huellario-impresion.so"));
        // Neither: the name beside the program, which the error then names.
        QCOMPARE(platform::programModule("huellario-impresion.so", bin), bin + "/huellario-impresion.so");
        touch(installed);
        QCOMPARE(QFileInfo(platform::programModule("huellario-impresion.so", bin)).canonicalFilePath(),
            QFileInfo(installed).canonicalFilePath());
        touch(bin + "/huellario-impresion.so");
        QCOMPARE(platform::programModule("huellario-impresion.so", bin), bin + "/huellario-impresion.so");
        QCOMPARE(report::printingModule(), QStringLiteral(HLR_BIN_DIR "/huellario-impresion.so"));
    }

    void aMissingOrDamagedModuleIsAClearError()
    {
        report::ReportProject project;
        project.setFileName(QStringLiteral(HLR_BIN_DIR "/sanidad.rpt"));
        project.addDataView(m_pets);
        project.addDataView(m_visits);
        QVERIFY(project.selectReport("Registro"));

        const QString missing = m_dir.filePath("falta/huellario-impresion.so");
        report::setPrintingModule(missing);
        QCOMPARE(failureOf([&] { project.run(); }),
            QStringLiteral("No se puede imprimir: falta el módulo \"%1\". Vuelva a instalar Huellario.")
                .arg(missing));

        const QString damaged = m_dir.filePath("roto/huellario-impresion.so");
        touch(damaged, "no es un módulo");
        report::setPrintingModule(damaged);
        const QString failure = failureOf([&] { project.run(); });
        QVERIFY2(
            failure.startsWith(
                QStringLiteral("No se puede imprimir: el módulo \"%1\" no se puede cargar (").arg(damaged)),
            qPrintable(failure));
        QVERIFY(failure.endsWith(QStringLiteral("). Vuelva a instalar Huellario.")));
        report::setPrintingModule({});
    }

    void theModuleRunsAListingInThisProcess()
    {
        m_pets.rows = { { "0000001", "TOBY" } };
        m_visits.rows = { { "01/02/2024", "VACUNA", "CLÍNICA", "VETERINARIO", "", "", "", "", "" } };
        report::ReportProject project;
        project.setFileName(QStringLiteral(HLR_BIN_DIR "/sanidad.rpt"));
        project.addDataView(m_pets);
        project.addDataView(m_visits);
        QVERIFY(project.selectReport("Registro"));
        const QString typed = m_dir.filePath("registro");
        bool shown = false;
        // The module's setup window, driven as a user would.
        QTimer::singleShot(0, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->objectName() != "OpcionesSalida" || !w->isVisible())
                    continue;
                shown = true;
                w->findChild<QRadioButton*>("RadioFichero")->click();
                w->findChild<QComboBox*>("ComboFormato")->setCurrentIndex(1); // plain text
                w->findChild<QLineEdit*>("EditFichero")->setText(typed);
                w->findChild<QPushButton*>("But_Aceptar")->click();
            }
        });
        QVERIFY(project.run());
        QVERIFY(shown);
        QFile f(typed + ".txt");
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(QString::fromUtf8(f.readAll()).contains("VACUNA"));
    }
};

QTEST_MAIN(TstReportModule)
#include "tst_module.moc"
