#include "health/FigRgVac.h"

#include "bound/DBCheckBox.h"
#include "bound/DBEdit.h"
#include "controls/FancyButton.h"
#include "data/ModGen.h"
#include "data/VaccineLabels.h"
#include "engine/Table.h"
#include "platform/Furniture.h"

#include <QFrame>
#include <QLabel>
#include <array>

namespace furniture = platform::furniture;

namespace {

constexpr std::array<int, 4> kRowTops { 26, 58, 90, 122 };
// The vaccine names end here, against their ticks.
constexpr int kNameRight = 191;

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

    const std::array<const char*, 4> tickFields { "MOQUILLO_TRIVALENTE", "PARVOVIROSI_LEUCEMIA",
        "POLIVALENTE_LEUCEMIA", "RABIA" };
    const std::array<const char*, 4> dateFields { "FECHA_1", "FECHA_2", "FECHA_3", "FECHA_4" };
    const std::array<const char*, 4> dateNames { "EditFecha", "DBEdit2", "DBEdit3", "DBEdit4" };
    std::array<QLabel**, 4> names { &Etiqueta_1, &Etiqueta_2, &Etiqueta_3, &Etiqueta_4 };
    std::array<bound::DBCheckBox**, 4> ticks { &DBCheckBox1, &DBCheckBox2, &DBCheckBox3, &DBCheckBox4 };
    std::array<bound::DBEdit**, 4> dates { &EditFecha, &DBEdit2, &DBEdit3, &DBEdit4 };

    // Built row by row, so the focus goes tick, date, next tick.
    QWidget* previous = nullptr;
    for (size_t row = 0; row < kRowTops.size(); ++row) {
        const int top = kRowTops[row];
        const QString number = QString::number(row + 1);

        // A fixed frame ending at the ticks, so a longer name grows leftwards.
        auto* name = new QLabel(this);
        name->setObjectName(QStringLiteral("Etiqueta_") + number);
        furniture::styleFieldLabel(name);
        name->setAlignment(Qt::AlignRight | Qt::AlignTop);
        name->setGeometry(0, top, kNameRight, 17);
        *names[row] = name;

        auto* tick = new bound::DBCheckBox(this);
        tick->setObjectName(QStringLiteral("DBCheckBox") + number);
        tick->setGeometry(200, top, 14, 17);
        tick->setDataSource(m_data.SourceVacunas);
        tick->setDataField(QString::fromLatin1(tickFields[row]));
        *ticks[row] = tick;

        auto* date = new bound::DBEdit(this);
        date->setObjectName(QString::fromLatin1(dateNames[row]));
        date->setGeometry(240, top - 2, 85, 21);
        furniture::styleBoundBox(date);
        date->setDataSource(m_data.SourceVacunas);
        date->setDataField(QString::fromLatin1(dateFields[row]));
        *dates[row] = date;

        if (previous)
            setTabOrder(previous, tick);
        setTabOrder(tick, date);
        previous = date;
    }

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
