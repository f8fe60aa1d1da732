#include "data/schema/Schema.h"

#include <stdexcept>

namespace schema {

using engine::FieldDef;
using engine::FieldKind;
using engine::IndexDef;
using engine::TableDef;

namespace {

FieldDef text(const char* name, int size)
{
    return { QString::fromLatin1(name), FieldKind::Text, size };
}
FieldDef date(const char* name)
{
    return { QString::fromLatin1(name), FieldKind::Date, 0 };
}
FieldDef time(const char* name)
{
    return { QString::fromLatin1(name), FieldKind::Time, 0 };
}
FieldDef logical(const char* name)
{
    return { QString::fromLatin1(name), FieldKind::Logical, 0 };
}
FieldDef counter(const char* name)
{
    return { QString::fromLatin1(name), FieldKind::Counter, 0 };
}
FieldDef memo(const char* name)
{
    return { QString::fromLatin1(name), FieldKind::Memo, 0 };
}

IndexDef index(const char* name, std::initializer_list<engine::IndexField> fields)
{
    return { QString::fromLatin1(name), std::vector<engine::IndexField>(fields) };
}
engine::IndexField on(const char* field, engine::TextOrder order = engine::TextOrder::Binary)
{
    return { QString::fromLatin1(field), order };
}
// Names and words, in the order a Spanish reader expects.
engine::IndexField inSpanish(const char* field)
{
    return on(field, engine::TextOrder::Spanish);
}

TableDef mascotas()
{
    TableDef def { QStringLiteral("FICMAES.DB"), QStringLiteral("FICMAES"), {}, {} };
    def.fields = { counter("CONTADOR"), text("CODIGO", 7), text("SEXO", 1), text("GRUPO", 5), date("FEC_NAC"),
        text("CRIADOR", 40), text("PROPIETARI", 40), text("N_LOE", 25), text("TATUAJE", 8), memo("MEMORIA") };
    // The pedigree: each ancestor's name and its companion field, "_L" appended.
    for (const char* ancestor : { "PADRE", "ABO_PAD", "ABA_PAD", "BO_ABO_P", "BA_ABO_P", "BO_ABA_P",
             "BA_ABA_P", "MADRE", "ABO_MAD", "ABA_MAD", "BO_ABO_M", "BA_ABO_M", "BO_ABA_M", "BA_ABA_M" }) {
        def.fields.push_back(text(ancestor, 40));
        def.fields.push_back({ QString::fromLatin1(ancestor) + QStringLiteral("_L"), FieldKind::Text, 23 });
    }
    for (const FieldDef& f : { text("DEFINE1", 40), text("DEFINE2", 40), text("ESPECIE", 25),
             text("RAZA", 30), text("COLOR", 50), text("NOM_OFICIA", 50), text("NOM_FAMI", 50),
             text("PELO", 50), text("CHIP", 30), logical("GRANDE"), logical("MEDIANO"), logical("PEQUENO") })
        def.fields.push_back(f);
    def.indexes = { index("CODIGO", { on("CODIGO") }) };
    return def;
}

TableDef especies()
{
    return { QStringLiteral("ESPECIES.db"), QStringLiteral("ESPECIES"),
        { text("CODIGO", 1), text("DESCRIPCION", 25) }, { index("ESPECIES_CODIGO", { on("CODIGO") }) } };
}

TableDef razas()
{
    return { QStringLiteral("RAZAS.DB"), QStringLiteral("RAZAS"),
        { counter("CONTADOR"), text("RAZA", 30), text("ESPECIE", 1) },
        { index("RAZAS_RAZA", { inSpanish("RAZA") }) } };
}

TableDef album()
{
    return { QStringLiteral("ALBUM.DB"), QStringLiteral("ALBUM"),
        { counter("CONTADOR"), text("CODIGO", 7), text("CARPETA", 100), text("DESCRIPCION", 50),
            logical("ADJUST") },
        { index("ALBUM_CODIGO", { on("CODIGO") }) } };
}

TableDef sanidad()
{
    // The second key field takes the health register's search text, which
    // is typed in any case and with or without accents.
    return { QStringLiteral("SANIDAD.db"), QStringLiteral("SANIDAD"),
        { counter("CONTADOR"), text("CODIGO", 7), date("FECHA"), text("DESCRIPCIO", 50), text("OBSERVA1", 50),
            text("OBSERVA2", 50), text("MEDICACION", 50), text("VETERINARIO", 50), text("TRATAMIENTO", 50),
            date("PROX_VISITA"), text("CLINICA", 50) },
        { index("SANIDAD_CODIGO_DESCRIPCIO", { on("CODIGO"), inSpanish("DESCRIPCIO") }) } };
}

TableDef veterinarios()
{
    return { QStringLiteral("VETERIN.DB"), QStringLiteral("VETERIN"),
        { counter("CONTADOR"), text("CLINICA", 50), text("VETERINARIO", 50), text("DOMICILIO", 50),
            text("LOCALIDAD", 50), text("TELF1", 15), text("TELF2", 15), text("NIF", 15), text("OBSERV1", 50),
            text("OBSERV2", 50), text("CODPOSTAL", 15), text("PROVINCIA", 40), text("MOVIL", 15),
            text("EMAIL", 50), text("WEB", 50) },
        { index("VETERIN_CLINICA", { inSpanish("CLINICA") }) } };
}

TableDef vacunas()
{
    return { QStringLiteral("VACUNAS.db"), QStringLiteral("VACUNAS"),
        { text("CODIGO", 7), logical("MOQUILLO_TRIVALENTE"), logical("PARVOVIROSI_LEUCEMIA"),
            logical("POLIVALENTE_LEUCEMIA"), logical("RABIA"), logical("OTRAS"), logical("OTRAS2"),
            date("FECHA_1"), date("FECHA_2"), date("FECHA_3"), date("FECHA_4"), date("FECHA_5"),
            date("FECHA_6") },
        { index("VACUNAS_COD", { on("CODIGO") }) } };
}

TableDef avisos()
{
    return { QStringLiteral("AVISOS.DB"), QStringLiteral("AVISOS"),
        { date("INICIO"), date("FIN"), text("CONCEPTO", 50), text("OBSERVA1", 50), text("OBSERVA2", 50) },
        { index("AVISOS_INICIO", { on("INICIO") }) } };
}

TableDef iniAvisos()
{
    // CONTADOR keeps the rows in the order they were written; the program
    // reads through it but never declares it.
    return { QStringLiteral("INIAVIS.DB"), QStringLiteral("INIAVIS"),
        { counter("CONTADOR"), text("TIPO", 5), date("INICIO"), date("FINAL"), text("NOMBRE_CONCEPTO", 50),
            time("HORA_INI"), time("HORA_FIN") },
        { index("INIAVIS_CONTADOR", { on("CONTADOR") }) } };
}

} // namespace

const std::vector<TableDef>& tables()
{
    static const std::vector<TableDef> all = [] {
        std::vector<TableDef> defs { mascotas(), especies(), razas(), album(), sanidad(), veterinarios(),
            vacunas(), avisos(), iniAvisos() };
        for (TableDef& def : defs)
            def.formatVersion = currentFormat;
        return defs;
    }();
    return all;
}

const TableDef& table(const QString& tableName)
{
    for (const TableDef& def : tables())
        if (def.tableName == tableName)
            return def;
    throw std::out_of_range("schema: no table " + tableName.toStdString());
}

std::vector<FieldDef> declaredFields(const TableDef& def)
{
    std::vector<FieldDef> fields = def.fields;
    if (def.tableName == QLatin1String("INIAVIS"))
        std::erase_if(fields, [](const FieldDef& f) { return f.name == QLatin1String("CONTADOR"); });
    return fields;
}

} // namespace schema
