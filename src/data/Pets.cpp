#include "data/Pets.h"

#include "data/ModGen.h"
#include "engine/Database.h"
#include "engine/Field.h"
#include "engine/Table.h"

#include <set>

namespace data {

namespace {

constexpr int kLastCode = 9'999'999;

QString codeText(int number)
{
    return QStringLiteral("%1").arg(number, 7, 10, QLatin1Char('0'));
}

} // namespace

QString nextPetCode(const QStringList& codes)
{
    std::set<int> taken;
    for (const QString& code : codes) {
        bool ok = false;
        const int number = code.trimmed().toInt(&ok);
        if (ok && number > 0 && number <= kLastCode)
            taken.insert(number);
    }
    if (taken.empty())
        return codeText(1);
    if (*taken.rbegin() < kLastCode)
        return codeText(*taken.rbegin() + 1);
    int free = 1;
    for (const int number : taken) {
        if (number != free)
            break;
        ++free;
    }
    return codeText(free);
}

schema::PetRecordCounts currentPetRecords(TModuloGeneral& data)
{
    const engine::Table& pets = *data.TablaMascotas;
    return schema::countPetRecords(pets.database().folder(), data.TablaMascotasCODIGO->asString());
}

void removeCurrentPet(TModuloGeneral& data)
{
    engine::Table& pets = *data.TablaMascotas;
    pets.remove();
    schema::removeOrphanRecords(pets.database().folder());
    // Whoever shows them reads what is left.
    for (engine::Table* records : { data.TablaSanidad, data.TablaVacunas, data.TablaAlbum })
        if (records->active())
            records->refresh();
}

} // namespace data
