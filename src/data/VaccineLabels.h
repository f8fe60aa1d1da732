// The vaccination card's species rule: the vaccine names and the ages that
// differ between dogs and every other species.
#pragma once

#include <QString>

namespace data {

struct VaccineLabels {
    QString Etiqueta_1;
    QString Etiqueta_2;
    QString Etiqueta_3;
    QString Etiqueta_4;
    // The revaccination advice and the age of the rabies vaccine, shown by
    // the list window only.
    QString Etiqueta_5;
    QString Texto_4;
};

// The first set only for a species spelled exactly "PERROS"; any other text,
// other capitals or no species at all give the second.
VaccineLabels vaccineLabels(const QString& species);

} // namespace data
