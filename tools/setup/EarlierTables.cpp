#include "EarlierTables.h"

namespace setup {

const std::vector<EarlierTable>& earlierTables()
{
    using enum ParadoxKind;
    // Memos keep ten bytes of their beginning in the record.
    static const std::vector<EarlierTable> tables {
        { "FICMAES.DB",
            { { "CONTADOR", AutoInc, 4 }, { "CODIGO", Alpha, 7 }, { "SEXO", Alpha, 1 }, { "GRUPO", Alpha, 5 },
                { "FEC_NAC", Date, 4 }, { "CRIADOR", Alpha, 40 }, { "PROPIETARI", Alpha, 40 },
                { "N_LOE", Alpha, 25 }, { "TATUAJE", Alpha, 8 }, { "MEMORIA", Memo, 20 },
                { "PADRE", Alpha, 40 }, { "PADRE_L", Alpha, 23 }, { "ABO_PAD", Alpha, 40 },
                { "ABO_PAD_L", Alpha, 23 }, { "ABA_PAD", Alpha, 40 }, { "ABA_PAD_L", Alpha, 23 },
                { "BO_ABO_P", Alpha, 40 }, { "BO_ABO_P_L", Alpha, 23 }, { "BA_ABO_P", Alpha, 40 },
                { "BA_ABO_P_L", Alpha, 23 }, { "BO_ABA_P", Alpha, 40 }, { "BO_ABA_P_L", Alpha, 23 },
                { "BA_ABA_P", Alpha, 40 }, { "BA_ABA_P_L", Alpha, 23 }, { "MADRE", Alpha, 40 },
                { "MADRE_L", Alpha, 23 }, { "ABO_MAD", Alpha, 40 }, { "ABO_MAD_L", Alpha, 23 },
                { "ABA_MAD", Alpha, 40 }, { "ABA_MAD_L", Alpha, 23 }, { "BO_ABO_M", Alpha, 40 },
                { "BO_ABO_M_L", Alpha, 23 }, { "BA_ABO_M", Alpha, 40 }, { "BA_ABO_M_L", Alpha, 23 },
                { "BO_ABA_M", Alpha, 40 }, { "BO_ABA_M_L", Alpha, 23 }, { "BA_ABA_M", Alpha, 40 },
                { "BA_ABA_M_L", Alpha, 23 }, { "DEFINE1", Alpha, 40 }, { "DEFINE2", Alpha, 40 },
                { "ESPECIE", Alpha, 25 }, { "RAZA", Alpha, 30 }, { "COLOR", Alpha, 50 },
                { "NOM_OFICIA", Alpha, 50 }, { "NOM_FAMI", Alpha, 50 }, { "PELO", Alpha, 50 },
                { "CHIP", Alpha, 30 }, { "GRANDE", Logical, 1 }, { "MEDIANO", Logical, 1 },
                { "PEQUENO", Logical, 1 } } },
        { "ESPECIES.db", { { "CODIGO", Alpha, 1 }, { "DESCRIPCION", Alpha, 25 } } },
        { "RAZAS.DB", { { "CONTADOR", AutoInc, 4 }, { "RAZA", Alpha, 30 }, { "ESPECIE", Alpha, 1 } } },
        { "ALBUM.DB",
            { { "CONTADOR", AutoInc, 4 }, { "CODIGO", Alpha, 7 }, { "CARPETA", Alpha, 100 },
                { "DESCRIPCION", Alpha, 50 }, { "ADJUST", Logical, 1 } } },
        { "SANIDAD.db",
            { { "CONTADOR", AutoInc, 4 }, { "CODIGO", Alpha, 7 }, { "FECHA", Date, 4 },
                { "DESCRIPCIO", Alpha, 50 }, { "OBSERVA1", Alpha, 50 }, { "OBSERVA2", Alpha, 50 },
                { "MEDICACION", Alpha, 50 }, { "VETERINARIO", Alpha, 50 }, { "TRATAMIENTO", Alpha, 50 },
                { "PROX_VISITA", Date, 4 }, { "CLINICA", Alpha, 50 } } },
        { "VETERIN.DB",
            { { "CONTADOR", AutoInc, 4 }, { "CLINICA", Alpha, 50 }, { "VETERINARIO", Alpha, 50 },
                { "DOMICILIO", Alpha, 50 }, { "LOCALIDAD", Alpha, 50 }, { "TELF1", Alpha, 15 },
                { "TELF2", Alpha, 15 }, { "NIF", Alpha, 15 }, { "OBSERV1", Alpha, 50 },
                { "OBSERV2", Alpha, 50 }, { "CODPOSTAL", Alpha, 15 }, { "PROVINCIA", Alpha, 40 },
                { "MOVIL", Alpha, 15 }, { "EMAIL", Alpha, 50 }, { "WEB", Alpha, 50 } } },
        { "VACUNAS.db",
            { { "CODIGO", Alpha, 7 }, { "MOQUILLO_TRIVALENTE", Logical, 1 },
                { "PARVOVIROSI_LEUCEMIA", Logical, 1 }, { "POLIVALENTE_LEUCEMIA", Logical, 1 },
                { "RABIA", Logical, 1 }, { "OTRAS", Logical, 1 }, { "OTRAS2", Logical, 1 },
                { "FECHA_1", Date, 4 }, { "FECHA_2", Date, 4 }, { "FECHA_3", Date, 4 },
                { "FECHA_4", Date, 4 }, { "FECHA_5", Date, 4 }, { "FECHA_6", Date, 4 } } },
        { "AVISOS.DB",
            { { "INICIO", Date, 4 }, { "FIN", Date, 4 }, { "CONCEPTO", Alpha, 50 }, { "OBSERVA1", Alpha, 50 },
                { "OBSERVA2", Alpha, 50 } } },
        { "INIAVIS.DB",
            { { "CONTADOR", AutoInc, 4 }, { "TIPO", Alpha, 5 }, { "INICIO", Date, 4 }, { "FINAL", Date, 4 },
                { "NOMBRE_CONCEPTO", Alpha, 50 }, { "HORA_INI", Time, 4 }, { "HORA_FIN", Time, 4 } } },
    };
    return tables;
}

const EarlierTable* earlierTable(const QString& fileName)
{
    for (const EarlierTable& table : earlierTables())
        if (fileName.compare(QLatin1String(table.fileName), Qt::CaseInsensitive) == 0)
            return &table;
    return nullptr;
}

} // namespace setup
