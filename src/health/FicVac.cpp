#include "health/FicVac.h"

#include "bound/DBCheckBox.h"
#include "bound/DBGrid.h"
#include "bound/DBText.h"
#include "controls/Colors.h"
#include "controls/FancyButton.h"
#include "data/ModGen.h"
#include "data/PetCard.h"
#include "engine/Database.h"
#include "engine/Field.h"
#include "engine/Table.h"
#include "health/VaccineRows.h"
#include "platform/Dialogs.h"
#include "platform/Furniture.h"
#include "platform/Guarded.h"
#include "platform/ProgramFiles.h"
#include "report/ReportProject.h"

#include <QContextMenuEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QShortcut>
#include <array>

namespace furniture = platform::furniture;

namespace {

constexpr std::array<int, 4> kRowTops { 114, 146, 178, 210 };
const QKeySequence kPrintCard(Qt::CTRL | Qt::Key_P);

// A bold label drawn straight over the background picture.
QLabel* addText(QWidget* window, const char* name, const QString& text, const QColor& colour, QPoint at)
{
    auto* label = new QLabel(text, window);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(furniture::windowFont(true));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    // On the button-face ground Qt would draw the text in the button-text colour.
    label->setForegroundRole(QPalette::WindowText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->adjustSize();
    label->move(at);
    return label;
}

QFrame* addBand(QWidget* window, const char* name, int left, int top, int width)
{
    QFrame* band = furniture::addSeparator(window, top, QString::fromLatin1(name));
    band->setGeometry(left, top, width, 9);
    return band;
}

} // namespace

TFichaVacunas::TFichaVacunas(TModuloGeneral& dataModule, QWidget* parent)
    : records::ListWindow(parent)
    , m_data(dataModule)
{
    setObjectName(QStringLiteral("FichaVacunas"));
    setWindowTitle(QStringLiteral("  Registro Visita / Tratamiento"));
    setClientSize(742, 390);
    setHelpTopic(6);
    furniture::setGround(this, furniture::Ground::ButtonFace);

    buildUnlessDeferred();
}

TFichaVacunas::~TFichaVacunas()
{
    m_data.refreshVaccineLabels = {};
}

void TFichaVacunas::printCard()
{
    engine::Table& pets = *m_data.TablaMascotas;
    if (!pets.active() || pets.isEmpty()) {
        platform::showMessage(this, QStringLiteral("Huellario"),
            QStringLiteral("No hay ninguna mascota de la que imprimir la cartilla."),
            platform::MessageIcon::Information);
        return;
    }
    if (!m_cardProject) {
        m_card = std::make_unique<data::PetCard>();
        m_cardProject = std::make_unique<report::ReportProject>();
        m_cardProject->setFileName(platform::programDataFile(QStringLiteral("sanidad.rpt")));
        m_cardProject->addDataView(m_card->pet);
        m_cardProject->addDataView(m_card->visits);
    }
    // Read afresh into the same views: what the files hold now.
    *m_card = data::readPetCard(pets.database().folder(), m_data.TablaMascotasCODIGO->asString());
    m_cardProject->selectReport(QStringLiteral("Cartilla"));
    m_cardProject->run(this);
}

void TFichaVacunas::contextMenuEvent(QContextMenuEvent* event)
{
    platform::guarded([this, event] {
        QMenu menu(this);
        QAction* print = menu.addAction(QStringLiteral("Imprimir cartilla..."));
        print->setShortcut(kPrintCard);
        if (menu.exec(event->globalPos()) == print)
            printCard();
    });
}

void TFichaVacunas::build()
{
    // Built in tab order: the grid, then the four ticks.
    Image1 = furniture::addBackground(this);

    DbGridMascotas = new bound::DBGrid(this);
    DbGridMascotas->setObjectName(QStringLiteral("DbGridMascotas"));
    DbGridMascotas->setGeometry(14, 12, 337, 75);
    DbGridMascotas->setDataSource(m_data.SourceMascotas);
    DbGridMascotas->setColumns(
        { { QStringLiteral("NOM_FAMI"), QStringLiteral("Seleccionar Mascota"), 332 } });
    DbGridMascotas->setSelection(bound::DBGrid::Selection::Cell);

    Bevel2 = addBand(this, "Bevel2", 8, 96, 729);

    const std::array<bound::DBText**, 4> dates { &DBText1, &DBText2, &DBText3, &DBText4 };
    QWidget* previous = DbGridMascotas;
    health::addVaccineRows(this, m_data.SourceVacunas, kRowTops, 160,
        { &Etiqueta_1, &Etiqueta_2, &Etiqueta_3, &Etiqueta_4 },
        { &DBCheckBox1, &DBCheckBox2, &DBCheckBox3, &DBCheckBox4 },
        [&](std::size_t row, int top, bound::DBCheckBox* tick) {
            tick->setReadOnly(true);
            setTabOrder(previous, tick);
            previous = tick;

            auto* date = new bound::DBText(this);
            date->setObjectName(QStringLiteral("DBText") + QString::number(row + 1));
            date->setGeometry(184, top, 70, 17);
            date->setAlignment(Qt::AlignRight | Qt::AlignTop);
            date->setFont(furniture::windowFont(true));
            QPalette palette = date->palette();
            palette.setColor(QPalette::WindowText, controls::clOlive);
            date->setPalette(palette);
            date->setForegroundRole(QPalette::WindowText);
            date->setDataSource(m_data.SourceVacunas);
            date->setDataField(QString::fromLatin1(health::kVaccineRows[row].dateField));
            *dates[row] = date;
        });

    Texto_1 = addText(this, "Texto_1",
        QStringLiteral("( A las 6 semanas - Recomendada también la desparasitación )."), controls::clNavy,
        { 288, kRowTops[0] });
    Texto_2 = addText(
        this, "Texto_2", QStringLiteral("( A las 9 semanas )."), controls::clNavy, { 288, kRowTops[1] });
    Texto_3 = addText(this, "Texto_3",
        QStringLiteral("( A las 12 semanas - Recomendada también la desparasitación )."), controls::clNavy,
        { 288, kRowTops[2] });
    Texto_4 = addText(this, "Texto_4", {}, controls::clNavy, { 288, kRowTops[3] });
    Etiqueta_5 = addText(this, "Etiqueta_5", {}, controls::clNavy, { 16, 242 });

    Bevel3 = addBand(this, "Bevel3", 5, 264, 732);
    Label5 = addText(this, "Label5",
        QStringLiteral("Los periodos de vacunación de la tabla son generalizados, consulte a su "
                       "veterinario para los de su mascota."),
        controls::clNavy, { 16, 282 });
    Label6 = addText(this, "Label6", QStringLiteral("Se recomienda desparasitar a su mascota cada 3 meses."),
        controls::clNavy, { 16, 306 });

    Bevel1 = addBand(this, "Bevel1", 0, 336, 742);
    But_Modificar = addOperationButton(Operation::Modify, 230, { 113, 30 }, 353);
    But_Salir = addOperationButton(Operation::Leave, 398, { 113, 30 }, 353);

    // The grid starts with the focus, so letters typed alone work the buttons.
    DbGridMascotas->setFocus();

    // Ctrl+P itself: the desktop theme may bind the standard print key to
    // nothing.
    auto* print = new QShortcut(kPrintCard, this);
    connect(print, &QShortcut::activated, this, platform::guard(this, &TFichaVacunas::printCard));

    // The species rule lives in the data module, which knows no window; it
    // hands the texts over through this hook. The vaccination table may have
    // been opened before these labels existed, so the rule runs once now.
    m_data.refreshVaccineLabels = [this](const data::VaccineLabels& labels) { showLabels(labels); };
    m_data.SourceVacunasDataChange(nullptr);
}

void TFichaVacunas::showLabels(const data::VaccineLabels& labels)
{
    Etiqueta_1->setText(labels.Etiqueta_1);
    Etiqueta_2->setText(labels.Etiqueta_2);
    Etiqueta_3->setText(labels.Etiqueta_3);
    Etiqueta_4->setText(labels.Etiqueta_4);
    Etiqueta_5->setText(labels.Etiqueta_5);
    Etiqueta_5->adjustSize();
    Texto_4->setText(labels.Texto_4);
    Texto_4->adjustSize();
}

engine::Table& TFichaVacunas::listTable() const
{
    return *m_data.TablaVacunas;
}

std::vector<engine::Table*> TFichaVacunas::tablesToOpen() const
{
    // The main window opens both tables before showing this window.
    return {};
}

std::vector<engine::Table*> TFichaVacunas::tablesToClose() const
{
    return { m_data.TablaMascotas, m_data.TablaVacunas };
}
