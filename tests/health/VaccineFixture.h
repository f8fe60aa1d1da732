// The vaccination windows' program in-process: an installed data folder with
// pets of chosen species, the data module and both windows made and wired as
// the registry makes them, and the vaccination records as the file holds them.
#pragma once

#include "health/FicVac.h"
#include "health/FigRgVac.h"
#include "support/PetFixture.h"
#include "support/TestWindows.h"

#include <QLabel>
#include <array>
#include <map>

namespace vaccinetest {

// A pet with a code, a name and a species (null: none).
inline QVariantMap petOf(const QString& code, const QString& name, const QString& species)
{
    QVariantMap record = pettest::pet(code, name);
    if (!species.isNull())
        record.insert(QStringLiteral("ESPECIE"), species);
    return record;
}

// One stored vaccination record: the four ticks and dates, null where empty.
struct Card {
    std::array<QVariant, 4> ticks;
    std::array<QVariant, 4> dates;
};

inline const QStringList& tickFields()
{
    static const QStringList fields { "MOQUILLO_TRIVALENTE", "PARVOVIROSI_LEUCEMIA", "POLIVALENTE_LEUCEMIA",
        "RABIA" };
    return fields;
}

inline const QStringList& dateFields()
{
    static const QStringList fields { "FECHA_1", "FECHA_2", "FECHA_3", "FECHA_4" };
    return fields;
}

class VaccineProgram : public pettest::Program {
public:
    explicit VaccineProgram(const QList<QVariantMap>& pets)
    {
        engine::setShortDateFormat(QStringLiteral("dd/MM/yyyy"));
        m_module = std::make_unique<TModuloGeneral>();
        attach(*m_module);
        setPets(pets);
        // The registry makes the windows' controls at their first showing.
        const platform::Window::DeferBuilding defer;
        list = std::make_unique<TFichaVacunas>(*m_module);
        record = std::make_unique<TFichaRegVacunas>(*m_module);
        list->setRecordWindow(record.get());
    }
    ~VaccineProgram() override
    {
        record.reset();
        list.reset();
        m_module.reset();
        engine::setShortDateFormat({});
    }

    engine::Table& vaccines() const { return *data().TablaVacunas; }

    // What the main window's "Vacunaciones" does, with the window shown
    // without its own loop so the test can go on.
    void open(int petRow = 0)
    {
        data().TablaMascotas->open();
        data().TablaVacunas->open();
        for (int i = 0; i < petRow; ++i)
            data().TablaMascotas->next();
        list->show();
        list->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(list.get()));
    }

    // Modificar; `inside` runs while the record window is shown and should
    // close it. A window it leaves open is cancelled, so a failing check
    // never hangs the test; returns whether `inside` closed it.
    bool modify(std::function<void(TFichaRegVacunas&)> inside)
    {
        bool closedInside = false;
        boundtest::whenShown(record.get(), [this, &closedInside, inside = std::move(inside)] {
            if (QTest::qWaitFor([this] { return record->isActiveWindow(); }))
                inside(*record);
            closedInside = !record->isVisible();
            if (!closedInside)
                record->cancelRecord();
        });
        recordtest::click(list.get(), "But_Modificar");
        return closedInside;
    }

    // The stored vaccination records by pet code, read from the file.
    std::map<QString, Card> storedCards() const
    {
        engine::Table reader(data().DbGeneral, QStringLiteral("Lector"), QStringLiteral("VACUNAS.db"));
        reader.setIndexName(QStringLiteral("VACUNAS_COD"));
        reader.open();
        QStringList fields { QStringLiteral("CODIGO") };
        fields << tickFields() << dateFields();
        std::map<QString, Card> cards;
        for (const QVariantList& row : reader.readRows(0, reader.recordCount(), fields)) {
            Card card;
            for (int i = 0; i < 4; ++i) {
                card.ticks[size_t(i)] = row.value(1 + i);
                card.dates[size_t(i)] = row.value(5 + i);
            }
            if (cards.count(row.value(0).toString()))
                qWarning("two vaccination records for %s", qPrintable(row.value(0).toString()));
            cards[row.value(0).toString()] = card;
        }
        return cards;
    }

    std::unique_ptr<TFichaVacunas> list;
    std::unique_ptr<TFichaRegVacunas> record;

private:
    std::unique_ptr<TModuloGeneral> m_module;
};

} // namespace vaccinetest
