// What a new data folder holds from the start: the species with their
// one-letter codes, the breeds of each species, and the two pet codes.
#pragma once

#include <QString>
#include <vector>

namespace setup {

struct Species {
    QString code; // ESPECIES.CODIGO, what RAZAS.ESPECIE stores
    QString description; // ESPECIES.DESCRIPCION
};

struct Breed {
    QString name; // RAZAS.RAZA
    QString speciesCode; // RAZAS.ESPECIE
};

const std::vector<Species>& initialSpecies();
const std::vector<Breed>& initialBreeds();
// The codes of the two pets the main window's buttons stand for.
const std::vector<QString>& initialPetCodes();

} // namespace setup
