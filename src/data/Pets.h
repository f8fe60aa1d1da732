// What the pets list does with a whole pet: its new code, and its deletion
// with the records that belong to it.
#pragma once

#include "data/schema/PetRecords.h"

#include <QString>
#include <QStringList>

class TModuloGeneral;

namespace data {

// A new pet's code: seven digits, one after the highest code that is a
// number; once 9999999 is taken, the lowest number free.
QString nextPetCode(const QStringList& codes);

// The current pet's visits, vaccination cards and album entries.
schema::PetRecordCounts currentPetRecords(TModuloGeneral& data);

// Deletes the current pet of TablaMascotas, then every visit, card and album
// entry whose pet is gone: an interruption leaves at most records of a pet
// that no longer exists, which the next deletion removes. Pictures on disk
// are never touched.
void removeCurrentPet(TModuloGeneral& data);

} // namespace data
