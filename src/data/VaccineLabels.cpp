#include "data/VaccineLabels.h"

namespace data {

VaccineLabels vaccineLabels(const QString& species)
{
    if (species == QLatin1String("PERROS")) {
        return { QStringLiteral("Moquillo y Parvovirosis :"), QStringLiteral("Parvovirosis :"),
            QStringLiteral("Polivalente :"), QStringLiteral("Rabia :"),
            QStringLiteral("Revacunar de Polivalente al año de la primera vacuna."),
            QStringLiteral("A los 4 - 5 meses.") };
    }
    return { QStringLiteral("Trivalente :"), QStringLiteral("Trivalente + Leucemia :"),
        QStringLiteral("Leucemia :"), QStringLiteral("Rabia :"),
        QStringLiteral("Revacunar de Trivalente + Leucemia al año de la primera vacuna."),
        QStringLiteral("A los 4 meses.") };
}

} // namespace data
