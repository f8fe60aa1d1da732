#include "health/FigRgVac.h"

#include "bound/DBCheckBox.h"
#include "bound/DBEdit.h"
#include "controls/FancyButton.h"
#include "data/ModGen.h"
#include "data/VaccineLabels.h"
#include "engine/Table.h"
#include "health/VaccineRows.h"
#include "platform/Furniture.h"

#include <QFrame>
#include <QLabel>
#include <array>

namespace furniture = platform::furniture;

namespace {

constexpr std::array<int, 4> kRowTops { 26, 58, 90, 122 };

} // namespace

TFichaRegVacunas::TFichaRegVacunas(TModuloGeneral& dataModule, QWidget* parent)
    : records::RecordWindow(parent)
    , m_data(dataModule)
{
    setObjectName(QStringLiteral("FichaRegVacunas"));
    setWindowTitle(QStringLiteral("Modificación datos Vacunas."));
    setClientSize(420, 203);
    setHelpTopic(6, true);
    furniture::setGround(this, furniture::Ground::White);

    buildUnlessDeferred();
}

void TFichaRegVacunas::build()
{
    // The picture's frame is wider than the window, which shows its left part.
    Image1 = furniture::addBackground(this, QRect(0, 0, 742, 203));

    const std::array<const char*, 4> dateNames { "EditFecha", "DBEdit2", "DBEdit3", "DBEdit4" };
    const std::array<bound::DBEdit**, 4> dates { &EditFecha, &DBEdit2, &DBEdit3, &DBEdit4 };

    // Built row by row, so the focus goes tick, date, next tick.
    QWidget* previous = nullptr;
    health::addVaccineRows(this, m_data.SourceVacunas, kRowTops, 200,
        { &Etiqueta_1, &Etiqueta_2, &Etiqueta_3, &Etiqueta_4 },
        { &DBCheckBox1, &DBCheckBox2, &DBCheckBox3, &DBCheckBox4 },
        [&](std::size_t row, int top, bound::DBCheckBox* tick) {
            auto* date = new bound::DBEdit(this);
            date->setObjectName(QString::fromLatin1(dateNames[row]));
            date->setGeometry(240, top - 2, 85, 21);
            furniture::styleBoundBox(date);
            date->setDataSource(m_data.SourceVacunas);
            date->setDataField(QString::fromLatin1(health::kVaccineRows[row].dateField));
            *dates[row] = date;

            if (previous)
                setTabOrder(previous, tick);
            setTabOrder(tick, date);
            previous = date;
        });

    Bevel1 = furniture::addSeparator(this, 160);
    Bevel1->setGeometry(0, 160, 420, 5);
    addAcceptButton(QRect(81, 175, 113, 20));
    addCancelButton(QRect(225, 175, 113, 20));
}

engine::Table& TFichaRegVacunas::recordTable() const
{
    return *m_data.TablaVacunas;
}

void TFichaRegVacunas::activate()
{
    records::RecordWindow::activate();
    // The same rule as the list's, without the advice and ages it lacks.
    const data::VaccineLabels labels = data::vaccineLabels(m_data.TablaMascotasESPECIE->asString());
    Etiqueta_1->setText(labels.Etiqueta_1);
    Etiqueta_2->setText(labels.Etiqueta_2);
    Etiqueta_3->setText(labels.Etiqueta_3);
    Etiqueta_4->setText(labels.Etiqueta_4);
    // Whatever had the focus last time, the first tick takes it, so A and C
    // typed alone accept and cancel.
    DBCheckBox1->setFocus(Qt::OtherFocusReason);
}

void TFichaRegVacunas::closing()
{
    // A change the user walked away from must not stay pending in the table,
    // where the list would show it as if stored and a move to another pet
    // could store it.
    const engine::TableState state = recordTable().state();
    if (state == engine::TableState::Edit || state == engine::TableState::Insert)
        recordTable().cancel();
}
