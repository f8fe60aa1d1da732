#include "records/TabMascotas.h"

#include "bound/DBGrid.h"
#include "controls/ButtonLook.h"
#include "data/ModGen.h"
#include "data/Pets.h"
#include "engine/Field.h"
#include "engine/Table.h"
#include "platform/Dialogs.h"
#include "platform/Guarded.h"
#include "records/Buscar.h"
#include "records/FicPerro.h"
#include "records/Shared.h"

#include <QFrame>
#include <QLabel>

namespace {

// Names compared as a reader does: no case, no accents (ñ stays itself).
QString folded(const QString& text)
{
    QString result;
    for (const QChar c : text.toUpper()) {
        if (c == u'Ñ') {
            result += c;
            continue;
        }
        const QString parts = QString(c).normalized(QString::NormalizationForm_D);
        result += parts.isEmpty() ? c : parts.at(0);
    }
    return result.simplified();
}

QString counted(int count, const char* one, const char* many)
{
    return count == 1 ? QStringLiteral("su %1").arg(QString::fromUtf8(one))
                      : QStringLiteral("sus %1 %2").arg(count).arg(QString::fromUtf8(many));
}

} // namespace

TFicheroMascotas::TFicheroMascotas(TModuloGeneral& dataModule, QWidget* parent)
    : records::ListWindow(parent)
    , m_data(dataModule)
{
    setObjectName(QStringLiteral("FicheroMascotas"));
    setWindowTitle(QStringLiteral("Todas las Mascotas"));
    setClientSize(742, 390);
    setHelpTopic(9);

    buildUnlessDeferred();
}

void TFicheroMascotas::setPetWindow(TFichaPerro* window)
{
    m_petWindow = window;
    setRecordWindow(window);
}

void TFicheroMascotas::build()
{
    // Built from back to front.
    const ListFurniture made = addListFurniture();
    Image1 = made.picture;

    DBGrid1 = new bound::DBGrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setGeometry(14, 16, 713, 289);
    DBGrid1->setDataSource(m_data.SourceMascotas);
    DBGrid1->setColumns({
        { QStringLiteral("CODIGO"), QStringLiteral("Código"), 62 },
        { QStringLiteral("NOM_FAMI"), QStringLiteral("Nombre Familiar"), 150 },
        { QStringLiteral("NOM_OFICIA"), QStringLiteral("Nombre Oficial"), 190 },
        { QStringLiteral("ESPECIE"), QStringLiteral("Especie"), 110 },
        { QStringLiteral("RAZA"), QStringLiteral("Raza"), 190 },
        { QStringLiteral("SEXO"), QStringLiteral("Sexo"), 40 },
        { QStringLiteral("FEC_NAC"), QStringLiteral("Fec.Nacimiento"), 100 },
        { QStringLiteral("CHIP"), QStringLiteral("Nº Chip/Tatuaje"), 200 },
    });
    modifyOnDoubleClick(DBGrid1);

    Bevel1 = made.band;
    Bevel1->setGeometry(0, 320, 750, 9);
    Bevel1->raise();
    // Six buttons spread evenly over the band's width.
    But_Anadir = addOperationButton(Operation::Append, 25);
    But_Modificar = addOperationButton(Operation::Modify, 144);
    But_Ver = addOperationButton(Operation::View, 264);
    But_Borrar = addOperationButton(Operation::Delete, 383);
    But_Localizar = controls::makeWindowButton(
        this, QStringLiteral("But_Localizar"), QStringLiteral("&Localizar"), QRect(503, 345, 95, 30));
    connect(
        But_Localizar, &TDsFancyButton::clicked, this, platform::guard(this, &TFicheroMascotas::locatePet));
    But_Salir = addOperationButton(Operation::Leave, 622);
    But_Salir->setCaption(QStringLiteral("&Cerrar"));

    // The grid is the only control that takes the focus, so letters typed
    // alone work the buttons.
    DBGrid1->setFocus();
}

engine::Table& TFicheroMascotas::listTable() const
{
    return *m_data.TablaMascotas;
}

std::vector<engine::Table*> TFicheroMascotas::tablesToOpen() const
{
    return { m_data.TablaMascotas, m_data.TablaEspecies, m_data.TablaRazas };
}

std::vector<engine::Table*> TFicheroMascotas::tablesToClose() const
{
    return { m_data.TablaMascotas, m_data.TablaRazas, m_data.TablaEspecies };
}

void TFicheroMascotas::activate()
{
    m_data.TablaRazas->setFiltered(false);
    records::ListWindow::activate();
    if (m_petWindow)
        m_petWindow->setTablesLent(true);
    DBGrid1->setFocus();
}

void TFicheroMascotas::closing()
{
    if (m_petWindow)
        m_petWindow->setTablesLent(false);
    // A pet left pending (typed while viewing) is dropped, as every list
    // window does.
    if (m_data.TablaMascotas->active())
        m_data.TablaMascotas->cancel();
    m_data.TablaRazas->setFiltered(false);
    records::ListWindow::closing();
}

void TFicheroMascotas::addRecord()
{
    engine::Table& pets = *m_data.TablaMascotas;
    // Settled first, so a pet typed while viewing counts among the codes.
    if (pets.state() != engine::TableState::Browse)
        pets.post();
    QStringList codes;
    for (const QVariantList& row : pets.readRows(0, pets.recordCount(), { QStringLiteral("CODIGO") }))
        codes << row.value(0).toString();
    pets.append();
    m_data.TablaMascotasCODIGO->setAsString(data::nextPetCode(codes));
    showRecordWindow();
}

QString TFicheroMascotas::deletionQuestion(
    const QString& name, const QString& code, int visits, int cards, int photographs)
{
    const QString pet = name.trimmed().isEmpty() ? QStringLiteral("la mascota de código %1").arg(code)
                                                 : QStringLiteral("la mascota «%1»").arg(name.trimmed());
    QStringList going;
    if (visits > 0)
        going << counted(visits, "visita del registro sanitario", "visitas del registro sanitario");
    if (cards > 0)
        going << counted(cards, "cartilla de vacunación", "cartillas de vacunación");
    if (photographs > 0)
        going << counted(photographs, "fotografía del álbum", "fotografías del álbum");
    QString text = QStringLiteral("¿Borrar %1?").arg(pet);
    if (going.isEmpty()) {
        text += QStringLiteral("\n\nNo tiene visitas, cartilla de vacunación ni fotografías.");
    } else {
        const QString last = going.takeLast();
        const QString list
            = going.isEmpty() ? last : going.join(QStringLiteral(", ")) + QStringLiteral(" y ") + last;
        text += QStringLiteral("\n\nCon ella se borrarán %1.").arg(list);
    }
    if (photographs > 0)
        text += QStringLiteral(" Los archivos de las fotografías no se borran del disco.");
    return text;
}

void TFicheroMascotas::deleteRecord()
{
    engine::Table& pets = *m_data.TablaMascotas;
    // An empty list refuses as every list does.
    if (pets.isEmpty()) {
        pets.remove();
        return;
    }
    if (pets.state() != engine::TableState::Browse)
        pets.cancel();
    const schema::PetRecordCounts counts = data::currentPetRecords(m_data);
    const QString question = deletionQuestion(m_data.TablaMascotasNOM_FAMI->asString(),
        m_data.TablaMascotasCODIGO->asString(), counts.visits, counts.cards, counts.photographs);
    if (!platform::askQuestion(this, QStringLiteral("Borrar Mascota"), question, QStringLiteral("&Borrar"),
            QStringLiteral("&Cancelar"), false))
        return;
    data::removeCurrentPet(m_data);
}

void TFicheroMascotas::locatePet()
{
    TextoBuscado.clear();
    if (TFichaBuscar* dialog = searchDialog())
        dialog->showModal();
    const QString wanted = folded(TextoBuscado);
    if (wanted.isEmpty())
        return;
    engine::Table& pets = *m_data.TablaMascotas;
    const std::vector<QVariantList> names
        = pets.readRows(0, pets.recordCount(), { QStringLiteral("NOM_FAMI") });
    int found = -1;
    for (const bool whole : { true, false }) {
        for (int row = 0; row < int(names.size()) && found < 0; ++row) {
            const QString name = folded(names[size_t(row)].value(0).toString());
            if (whole ? name.startsWith(wanted) : name.contains(wanted))
                found = row;
        }
        if (found >= 0)
            break;
    }
    if (found < 0) {
        platform::showMessage(this, QStringLiteral("Localizar"),
            QStringLiteral("No hay ninguna mascota que se llame «%1».").arg(TextoBuscado.trimmed()),
            platform::MessageIcon::Information);
        return;
    }
    pets.moveToRow(found);
}
