#include "CardPrint.h"

#include "Upgrading.h"
#include "data/PetCard.h"
#include "engine/EngineError.h"
#include "platform/ProgramFiles.h"
#include "report/ReportError.h"
#include "report/ReportProject.h"

#include <QDir>

namespace setup {

int printCard(
    const Options& options, const QString& code, const QString& pdfFile, QTextStream& out, QTextStream& err)
{
    try {
        const QString folder = dataFolder(options, out, err);
        if (folder.isEmpty())
            return Failed;
        data::PetCard card = data::readPetCard(folder, code);
        if (!card.found) {
            err << "No se ha escrito la cartilla: no hay ninguna mascota con el código «" << code << "» en «"
                << QDir::toNativeSeparators(folder) << "»." << Qt::endl;
            return Failed;
        }
        report::ReportProject project;
        project.setFileName(platform::programDataFile(QStringLiteral("sanidad.rpt")));
        project.addDataView(card.pet);
        project.addDataView(card.visits);
        if (!project.selectReport(QStringLiteral("Cartilla"))) {
            err << "No se ha escrito la cartilla: el proyecto de listados «"
                << QDir::toNativeSeparators(project.fileName()) << "» no tiene el listado «Cartilla»."
                << Qt::endl;
            return Failed;
        }
        const QString file = QFileInfo(pdfFile).absoluteFilePath();
        project.runToFile(file, report::ReportFileFormat::Pdf);
        const QString name = card.pet.currentRecord({ QStringLiteral("NOM_FAMI") }).value(0);
        out << "Cartilla de «" << (name.isEmpty() ? code : name) << "» escrita en «"
            << QDir::toNativeSeparators(file) << "»." << Qt::endl;
        return Installed;
    } catch (const report::ReportError& error) {
        err << "No se ha escrito la cartilla: " << error.message() << Qt::endl;
        return Failed;
    } catch (const engine::EngineError& error) {
        err << "No se ha escrito la cartilla: " << error.message() << Qt::endl;
        return Failed;
    }
}

} // namespace setup
