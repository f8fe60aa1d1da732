// The two tables the engine and report benchmarks fill: the health register
// as the data folder has it, and a pet table of the fields they use.
#pragma once

#include "engine/FieldDef.h"

namespace bench {

inline engine::TableDef sanidad()
{
    using engine::FieldDef;
    using engine::FieldKind;
    auto text = [](const char* n, int size) {
        return FieldDef { QString::fromLatin1(n), FieldKind::Text, size };
    };
    auto date = [](const char* n) { return FieldDef { QString::fromLatin1(n), FieldKind::Date, 0 }; };
    return { QStringLiteral("SANIDAD.db"), QStringLiteral("SANIDAD"),
        { { QStringLiteral("CONTADOR"), FieldKind::Counter, 0 }, text("CODIGO", 7), date("FECHA"),
            text("DESCRIPCIO", 50), text("OBSERVA1", 50), text("OBSERVA2", 50), text("MEDICACION", 50),
            text("VETERINARIO", 50), text("TRATAMIENTO", 50), date("PROX_VISITA"), text("CLINICA", 50) },
        { { QStringLiteral("SANIDAD_CODIGO_DESCRIPCIO"),
            { { QStringLiteral("CODIGO"), engine::TextOrder::Binary },
                { QStringLiteral("DESCRIPCIO"), engine::TextOrder::Spanish } } } } };
}

inline engine::TableDef mascotas()
{
    using engine::FieldKind;
    return { QStringLiteral("FICMAES.DB"), QStringLiteral("FICMAES"),
        { { QStringLiteral("CONTADOR"), FieldKind::Counter, 0 },
            { QStringLiteral("CODIGO"), FieldKind::Text, 7 },
            { QStringLiteral("NOM_FAMI"), FieldKind::Text, 50 } },
        { { QStringLiteral("CODIGO"), { { QStringLiteral("CODIGO"), engine::TextOrder::Binary } } } } };
}

} // namespace bench
