// The pets list's deletion as a process of its own, for the tests that kill
// it: removes the pet whose code is given, in the folder of HLR_ALIASES.
#include "data/ModGen.h"
#include "data/Pets.h"
#include "engine/EngineError.h"
#include "engine/Table.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    try {
        TModuloGeneral data;
        data.TablaMascotas->open();
        if (!data.TablaMascotas->locate(QStringLiteral("CODIGO"), QString::fromLocal8Bit(argv[1])))
            return 3;
        data::removeCurrentPet(data);
    } catch (const engine::EngineError& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}
