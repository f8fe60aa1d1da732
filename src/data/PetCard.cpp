#include "data/PetCard.h"

#include "data/VaccineLabels.h"
#include "data/schema/PetRecords.h"
#include "engine/Field.h"
#include "engine/FieldDef.h"

#include <QDate>

namespace data {

namespace {

// Dates as the windows show them.
QString date(const QString& stored)
{
    const QDate day = QDate::fromString(stored, Qt::ISODate);
    return day.isValid() ? day.toString(engine::shortDateFormat()) : stored;
}

QString sexInWords(const QString& sex)
{
    if (sex == QLatin1String("M"))
        return QStringLiteral("Macho");
    if (sex == QLatin1String("H"))
        return QStringLiteral("Hembra");
    return sex;
}

} // namespace

std::vector<QStringList> RowsSource::readRows(int firstRow, int count, const QStringList& fields) const
{
    std::vector<QStringList> rows;
    for (int row = std::max(0, firstRow); row < firstRow + count && row < rowCount(); ++row) {
        QStringList values;
        for (const QString& field : fields)
            values << m_rows[size_t(row)].value(int(m_fields.indexOf(field)));
        rows.push_back(values);
    }
    return rows;
}

QStringList RowsSource::currentRecord(const QStringList& fields) const
{
    if (m_rows.empty()) {
        QStringList empty;
        for (qsizetype i = 0; i < fields.size(); ++i)
            empty << QString();
        return empty;
    }
    return readRows(0, 1, fields).front();
}

PetCard readPetCard(const QString& folder, const QString& code)
{
    PetCard card;
    QStringList petFields { QStringLiteral("CODIGO"), QStringLiteral("NOM_FAMI"),
        QStringLiteral("NOM_OFICIA"), QStringLiteral("SEXO"), QStringLiteral("ESPECIE"),
        QStringLiteral("RAZA"), QStringLiteral("COLOR"), QStringLiteral("PELO"), QStringLiteral("TAMANO"),
        QStringLiteral("FEC_NAC"), QStringLiteral("CHIP") };
    for (int n = 1; n <= 4; ++n)
        petFields << QStringLiteral("VACUNA_%1").arg(n) << QStringLiteral("PUESTA_%1").arg(n)
                  << QStringLiteral("FECHA_%1").arg(n);
    card.pet = RowsSource(QStringLiteral("RvCartillaMascota"), petFields);
    card.visits = RowsSource(QStringLiteral("RvCartillaVisitas"),
        { QStringLiteral("FECHA"), QStringLiteral("DESCRIPCIO"), QStringLiteral("CLINICA"),
            QStringLiteral("VETERINARIO") });

    const std::vector<QStringList> pets = schema::readTableRows(folder, QStringLiteral("FICMAES"),
        "SELECT CODIGO, NOM_FAMI, NOM_OFICIA, SEXO, ESPECIE, RAZA, COLOR, PELO, GRANDE, MEDIANO, PEQUENO, "
        "FEC_NAC, CHIP FROM FICMAES WHERE CODIGO = ?1 LIMIT 1",
        code);
    if (pets.empty())
        return card;
    card.found = true;
    const QStringList& p = pets.front();
    QStringList sizes;
    const char* sizeNames[] = { "Grande", "Mediano", "Pequeño" };
    for (int i = 0; i < 3; ++i)
        if (p[8 + i] == QLatin1String("1"))
            sizes << QString::fromUtf8(sizeNames[i]);
    QStringList row { p[0], p[1], p[2], sexInWords(p[3]), p[4], p[5], p[6], p[7],
        sizes.join(QStringLiteral(", ")), date(p[11]), p[12] };

    const VaccineLabels labels = vaccineLabels(p[4]);
    const QString names[] = { labels.Etiqueta_1, labels.Etiqueta_2, labels.Etiqueta_3, labels.Etiqueta_4 };
    const std::vector<QStringList> cards = schema::readTableRows(folder, QStringLiteral("VACUNAS"),
        "SELECT MOQUILLO_TRIVALENTE, PARVOVIROSI_LEUCEMIA, POLIVALENTE_LEUCEMIA, RABIA, "
        "FECHA_1, FECHA_2, FECHA_3, FECHA_4 FROM VACUNAS WHERE CODIGO = ?1 LIMIT 1",
        code);
    for (int n = 0; n < 4; ++n) {
        // The window's labels end in " :", a column heading does not.
        QString name = names[n].simplified();
        if (name.endsWith(QLatin1Char(':')))
            name.chop(1);
        row << name.simplified();
        if (cards.empty()) {
            row << QStringLiteral("Sin anotar") << QString();
        } else {
            row << (cards.front()[n] == QLatin1String("1") ? QStringLiteral("Sí") : QStringLiteral("No"))
                << date(cards.front()[4 + n]);
        }
    }
    card.pet.addRow(row);

    // Newest first; visits without a date after the dated ones.
    const std::vector<QStringList> visits = schema::readTableRows(folder, QStringLiteral("SANIDAD"),
        "SELECT FECHA, DESCRIPCIO, CLINICA, VETERINARIO FROM SANIDAD WHERE CODIGO = ?1 "
        "ORDER BY FECHA IS NULL, FECHA DESC, rowid DESC LIMIT "
            + QByteArray::number(kCardVisits),
        code);
    for (QStringList visit : visits) {
        visit[0] = date(visit[0]);
        card.visits.addRow(visit);
    }
    return card;
}

} // namespace data
