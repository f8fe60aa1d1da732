#include "health/VaccineRows.h"

#include "bound/DBCheckBox.h"
#include "platform/Furniture.h"

#include <QLabel>

namespace health {

void addVaccineRows(QWidget* window, engine::DataSource* source, const std::array<int, 4>& tops, int tickLeft,
    const std::array<QLabel**, 4>& names, const std::array<bound::DBCheckBox**, 4>& ticks,
    const AddVaccineDate& addDate)
{
    // The vaccine names end here, against their ticks.
    const int nameRight = tickLeft - 9;
    for (std::size_t row = 0; row < kVaccineRows.size(); ++row) {
        const int top = tops[row];
        const QString number = QString::number(row + 1);

        // A fixed frame ending at the ticks, so a longer name grows leftwards.
        auto* name = new QLabel(window);
        name->setObjectName(QStringLiteral("Etiqueta_") + number);
        platform::furniture::styleFieldLabel(name);
        name->setAlignment(Qt::AlignRight | Qt::AlignTop);
        name->setGeometry(0, top, nameRight, 17);
        *names[row] = name;

        auto* tick = new bound::DBCheckBox(window);
        tick->setObjectName(QStringLiteral("DBCheckBox") + number);
        tick->setGeometry(tickLeft, top, 14, 17);
        tick->setDataSource(source);
        tick->setDataField(QString::fromLatin1(kVaccineRows[row].tickField));
        *ticks[row] = tick;

        addDate(row, top, tick);
    }
}

} // namespace health
