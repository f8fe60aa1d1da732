// A pet's vaccination card to hand over (to a kennel, a groomer, a new vet):
// its identity, its four vaccines with the names of its species, and its
// last visits, read from the folder's files for the report "Cartilla".
#pragma once

#include "engine/ReportSource.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace data {

// Rows read once, under a report view's name; the first row is the current
// record.
class RowsSource : public engine::ReportSource {
public:
    RowsSource(QString name, QStringList fields)
        : m_name(std::move(name))
        , m_fields(std::move(fields))
    {
    }

    void addRow(const QStringList& row) { m_rows.push_back(row); }

    QString sourceName() const override { return m_name; }
    QStringList fieldNames() const override { return m_fields; }
    int rowCount() const override { return int(m_rows.size()); }
    std::vector<QStringList> readRows(int firstRow, int count, const QStringList& fields) const override;
    QStringList currentRecord(const QStringList& fields) const override;

private:
    QString m_name;
    QStringList m_fields;
    std::vector<QStringList> m_rows;
};

// The visits the card lists: the latest ones, newest first.
inline constexpr int kCardVisits = 10;

struct PetCard {
    bool found = false; // a pet has the code
    // RvCartillaMascota: one row, the pet and its card. Sex and size in
    // words; VACUNA_1..4 the species' vaccine names, PUESTA_1..4 "Sí", "No"
    // or, without a card, "Sin anotar", FECHA_1..4 their dates.
    RowsSource pet { QStringLiteral("RvCartillaMascota"), {} };
    // RvCartillaVisitas: FECHA, DESCRIPCIO, CLINICA, VETERINARIO.
    RowsSource visits { QStringLiteral("RvCartillaVisitas"), {} };
};

// Reads the card of the pet with `code` from the folder's tables, read-only.
// EngineError naming a file that cannot be read.
PetCard readPetCard(const QString& folder, const QString& code);

} // namespace data
