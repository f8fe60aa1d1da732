#include "health/sanidad.h"

#include "bound/DBGrid.h"
#include "controls/ButtonLook.h"
#include "data/ModGen.h"
#include "platform/Guarded.h"
#include "platform/ProgramFiles.h"
#include "records/Buscar.h"
#include "records/Shared.h"

#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QScopeGuard>

TFichaRegSanidad::TFichaRegSanidad(TModuloGeneral& dataModule, QWidget* parent)
    : records::ListWindow(parent)
    , m_data(dataModule)
{
    setObjectName(QStringLiteral("FichaRegSanidad"));
    setWindowTitle(QStringLiteral(" Registro Sanitario"));
    setClientSize(742, 390);
    setHelpTopic(5);
    RvListaSanidad.addDataView(*m_data.RvTablaSanidad);
    RvListaSanidad.addDataView(*m_data.RvTablaMascotas);

    buildUnlessDeferred();
}

void TFichaRegSanidad::build()
{
    // Built from back to front.
    const ListFurniture made = addListFurniture();
    Image1 = made.picture;
    Bevel1 = made.band;
    Bevel1->setGeometry(0, 320, 750, 9);

    DbGridMascotas = new bound::DBGrid(this);
    DbGridMascotas->setObjectName(QStringLiteral("DbGridMascotas"));
    DbGridMascotas->setGeometry(14, 12, 337, 75);
    DbGridMascotas->setSelection(bound::DBGrid::Selection::Cell);
    DbGridMascotas->setDataSource(m_data.SourceMascotas);
    DbGridMascotas->setColumns(
        { { QStringLiteral("NOM_FAMI"), QStringLiteral("Seleccionar Mascota"), 332 } });

    DBGrid1 = new bound::DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(14, 104, 713, 201);
    DBGrid1->setDataSource(m_data.SourceSanidad);
    // The last column is an empty filler, so the row's marking runs on to
    // the grid's right edge.
    DBGrid1->setColumns({
        { QStringLiteral("FECHA"), QStringLiteral("Fecha") },
        { QStringLiteral("DESCRIPCIO"), QStringLiteral("Razón Visita") },
        { QStringLiteral("CLINICA"), QStringLiteral("Clínica Veterianaria") },
        { QStringLiteral("VETERINARIO"), QStringLiteral("Veterinario") },
        { QStringLiteral("PROX_VISITA"), QStringLiteral("Próx.Visita"), 76 },
        { QString(), QString(), 302 },
    });
    modifyOnDoubleClick(DBGrid1);
    setTabOrder(DbGridMascotas, DBGrid1);

    But_Anadir = addOperationButton(Operation::Append, 8);
    But_Modificar = addOperationButton(Operation::Modify, 113);
    But_Ver = addOperationButton(Operation::View, 218);
    But_Borrar = addOperationButton(Operation::Delete, 323);
    But_Localizar = controls::makeWindowButton(
        this, QStringLiteral("But_Localizar"), QStringLiteral("&Localizar"), QRect(428, 345, 95, 30));
    connect(
        But_Localizar, &TDsFancyButton::clicked, this, platform::guard(this, &TFichaRegSanidad::locateVisit));
    But_Listar = controls::makeWindowButton(
        this, QStringLiteral("But_Listar"), QStringLiteral("Lis&tar"), QRect(533, 345, 95, 30));
    connect(
        But_Listar, &TDsFancyButton::clicked, this, platform::guard(this, &TFichaRegSanidad::listRegister));
    But_Salir = addOperationButton(Operation::Leave, 639);

    // The first showing starts on the pet selector; later showings keep the
    // focus where the user left it.
    DbGridMascotas->setFocus();
}

engine::Table& TFichaRegSanidad::listTable() const
{
    return *m_data.TablaSanidad;
}

std::vector<engine::Table*> TFichaRegSanidad::tablesToOpen() const
{
    return { m_data.TablaMascotas, m_data.TablaVeterinarios, m_data.TablaSanidad };
}

std::vector<engine::Table*> TFichaRegSanidad::tablesToClose() const
{
    return { m_data.TablaMascotas, m_data.TablaSanidad, m_data.TablaVeterinarios };
}

void TFichaRegSanidad::activate()
{
    records::ListWindow::activate();
    RvListaSanidad.setFileName(platform::programDataFile(QStringLiteral("sanidad.rpt")));
}

void TFichaRegSanidad::closing()
{
    // The pets table closes first, and the visits follow their master by
    // settling, which would store a visit left pending (typed while viewing).
    // Closing the register drops it, as every list window does.
    if (m_data.TablaSanidad->active())
        m_data.TablaSanidad->cancel();
    records::ListWindow::closing();
}

void TFichaRegSanidad::locateVisit()
{
    TextoBuscado.clear();
    if (TFichaBuscar* dialog = searchDialog())
        dialog->showModal();
    if (TextoBuscado.isEmpty())
        return;
    // The index compares reasons without regard to case, but folds only
    // unaccented letters. Reasons are typed in capitals, so a search in
    // capitals also finds "VACUNACIÓN" when "vacunación" is typed.
    m_data.TablaSanidad->findNearest({ m_data.TablaMascotasCODIGO->asString(), TextoBuscado.toUpper() });
}

void TFichaRegSanidad::listRegister()
{
    engine::Table& visits = *m_data.TablaSanidad;
    visits.disableControls();
    // The grid follows the table again even when the listing fails.
    const auto again = qScopeGuard([&visits] { visits.enableControls(); });
    RvListaSanidad.selectReport(QStringLiteral("Registro"));
    RvListaSanidad.run(this);
}
