#include "data/ModGen.h"

#include "data/schema/Schema.h"
#include "data/schema/Upgrade.h"
#include "engine/EngineError.h"

namespace {

using FieldMember = engine::Field* TModuloGeneral::*;

struct FieldBinding {
    FieldMember member;
    const char* fieldName;
};

// Pairs a field object with its field; the member's name is the table's
// component name followed by the field name.
#define HLR_FIELD(table, field)                                                                              \
    FieldBinding                                                                                             \
    {                                                                                                        \
        &TModuloGeneral::table##field, #field                                                                \
    }

} // namespace

TModuloGeneral::TModuloGeneral(QObject* parent)
    : QObject(parent)
    , DbGeneral(QStringLiteral("DbGeneral"), QStringLiteral("HLR10"))
{
    setObjectName(QStringLiteral("ModuloGeneral"));
    DbGeneral.open();
    // Tables of an older format are upgraded before the program starts
    // (it offers to), of a newer one never opened.
    schema::requireCurrentFormat(DbGeneral.folder());

    TablaMascotas = addTable(QStringLiteral("TablaMascotas"), QStringLiteral("FICMAES"));
    TablaEspecies = addTable(QStringLiteral("TablaEspecies"), QStringLiteral("ESPECIES"));
    TablaRazas = addTable(QStringLiteral("TablaRazas"), QStringLiteral("RAZAS"));
    TablaAlbum = addTable(QStringLiteral("TablaAlbum"), QStringLiteral("ALBUM"));
    TablaSanidad = addTable(QStringLiteral("TablaSanidad"), QStringLiteral("SANIDAD"));
    TablaVeterinarios = addTable(QStringLiteral("TablaVeterinarios"), QStringLiteral("VETERIN"));
    TablaVacunas = addTable(QStringLiteral("TablaVacunas"), QStringLiteral("VACUNAS"));
    TablaAvisos = addTable(QStringLiteral("TablaAvisos"), QStringLiteral("AVISOS"));
    TablaIniAvisos = addTable(QStringLiteral("TablaIniAvisos"), QStringLiteral("INIAVIS"));

    SourceMascotas = addSource(QStringLiteral("SourceMascotas"), *TablaMascotas);
    SourceEspecies = addSource(QStringLiteral("SourceEspecies"), *TablaEspecies);
    SourceRazas = addSource(QStringLiteral("SourceRazas"), *TablaRazas);
    SourceAlbum = addSource(QStringLiteral("SourceAlbum"), *TablaAlbum);
    SourceSanidad = addSource(QStringLiteral("SourceSanidad"), *TablaSanidad);
    SourceVeterinarios = addSource(QStringLiteral("SourceVeterinarios"), *TablaVeterinarios);
    SourceVacunas = addSource(QStringLiteral("SourceVacunas"), *TablaVacunas);
    SourceAvisos = addSource(QStringLiteral("SourceAvisos"), *TablaAvisos);
    SourceIniAvisos = addSource(QStringLiteral("SourceIniAvisos"), *TablaIniAvisos);
    // The breed lookup is a list to choose from, never typed into.
    SourceRazas->setAutoEdit(false);

    const QString codigo = QStringLiteral("CODIGO");
    TablaMascotas->setIndexName(QStringLiteral("CODIGO"));
    TablaEspecies->setIndexFieldNames(codigo);
    TablaRazas->setIndexFieldNames(QStringLiteral("RAZA"));
    TablaAlbum->setIndexFieldNames(codigo);
    TablaSanidad->setIndexFieldNames(codigo);
    TablaVeterinarios->setIndexFieldNames(QStringLiteral("CLINICA"));
    TablaVacunas->setIndexName(QStringLiteral("VACUNAS_COD"));
    TablaAvisos->setIndexFieldNames(QStringLiteral("INICIO"));
    TablaIniAvisos->setIndexFieldNames(QStringLiteral("CONTADOR"));

    // The per-pet tables follow the current pet and receive its code.
    TablaAlbum->setMasterSource(SourceMascotas, codigo);
    TablaSanidad->setMasterSource(SourceMascotas, codigo);
    TablaVacunas->setMasterSource(SourceMascotas, codigo);

    bindFields();

    RvTablaSanidad = std::make_unique<data::ReportDataView>(QStringLiteral("RvTablaSanidad"), *TablaSanidad);
    RvTablaMascotas
        = std::make_unique<data::ReportDataView>(QStringLiteral("RvTablaMascotas"), *TablaMascotas);

    TablaMascotasSEXO->setOnChange([this](engine::Field& f) { TablaMascotasSEXOChange(f); });
    TablaSanidadCLINICA->setOnChange([this](engine::Field& f) { TablaSanidadCLINICAChange(f); });
    // The sources belong to the module, so their listeners go with them.
    SourceAlbum->onDataChange([this](engine::Field* f) { SourceAlbumDataChange(f); });
    SourceVacunas->onDataChange([this](engine::Field* f) { SourceVacunasDataChange(f); });
}

TModuloGeneral::~TModuloGeneral()
{
    closeAll();
}

engine::Table* TModuloGeneral::addTable(const QString& name, const QString& sqlName)
{
    const engine::TableDef& def = schema::table(sqlName);
    auto table = std::make_unique<engine::Table>(DbGeneral, name, def.fileName);
    for (const engine::FieldDef& field : schema::declaredFields(def))
        table->addField(field);
    m_tables.push_back(std::move(table));
    return m_tables.back().get();
}

engine::DataSource* TModuloGeneral::addSource(const QString& name, engine::Table& table)
{
    m_sources.push_back(std::make_unique<engine::DataSource>(name, table));
    return m_sources.back().get();
}

void TModuloGeneral::bindFields()
{
    const auto bind = [this](engine::Table& table, std::initializer_list<FieldBinding> bindings) {
        for (const FieldBinding& b : bindings)
            this->*b.member = &table.field(QString::fromLatin1(b.fieldName));
    };

    bind(*TablaMascotas,
        { HLR_FIELD(TablaMascotas, CONTADOR), HLR_FIELD(TablaMascotas, CODIGO),
            HLR_FIELD(TablaMascotas, SEXO), HLR_FIELD(TablaMascotas, GRUPO),
            HLR_FIELD(TablaMascotas, FEC_NAC), HLR_FIELD(TablaMascotas, CRIADOR),
            HLR_FIELD(TablaMascotas, PROPIETARI), HLR_FIELD(TablaMascotas, N_LOE),
            HLR_FIELD(TablaMascotas, TATUAJE), HLR_FIELD(TablaMascotas, MEMORIA),
            HLR_FIELD(TablaMascotas, PADRE), HLR_FIELD(TablaMascotas, PADRE_L),
            HLR_FIELD(TablaMascotas, ABO_PAD), HLR_FIELD(TablaMascotas, ABO_PAD_L),
            HLR_FIELD(TablaMascotas, ABA_PAD), HLR_FIELD(TablaMascotas, ABA_PAD_L),
            HLR_FIELD(TablaMascotas, BO_ABO_P), HLR_FIELD(TablaMascotas, BO_ABO_P_L),
            HLR_FIELD(TablaMascotas, BA_ABO_P), HLR_FIELD(TablaMascotas, BA_ABO_P_L),
            HLR_FIELD(TablaMascotas, BO_ABA_P), HLR_FIELD(TablaMascotas, BO_ABA_P_L),
            HLR_FIELD(TablaMascotas, BA_ABA_P), HLR_FIELD(TablaMascotas, BA_ABA_P_L),
            HLR_FIELD(TablaMascotas, MADRE), HLR_FIELD(TablaMascotas, MADRE_L),
            HLR_FIELD(TablaMascotas, ABO_MAD), HLR_FIELD(TablaMascotas, ABO_MAD_L),
            HLR_FIELD(TablaMascotas, ABA_MAD), HLR_FIELD(TablaMascotas, ABA_MAD_L),
            HLR_FIELD(TablaMascotas, BO_ABO_M), HLR_FIELD(TablaMascotas, BO_ABO_M_L),
            HLR_FIELD(TablaMascotas, BA_ABO_M), HLR_FIELD(TablaMascotas, BA_ABO_M_L),
            HLR_FIELD(TablaMascotas, BO_ABA_M), HLR_FIELD(TablaMascotas, BO_ABA_M_L),
            HLR_FIELD(TablaMascotas, BA_ABA_M), HLR_FIELD(TablaMascotas, BA_ABA_M_L),
            HLR_FIELD(TablaMascotas, DEFINE1), HLR_FIELD(TablaMascotas, DEFINE2),
            HLR_FIELD(TablaMascotas, ESPECIE), HLR_FIELD(TablaMascotas, RAZA),
            HLR_FIELD(TablaMascotas, COLOR), HLR_FIELD(TablaMascotas, NOM_OFICIA),
            HLR_FIELD(TablaMascotas, NOM_FAMI), HLR_FIELD(TablaMascotas, PELO),
            HLR_FIELD(TablaMascotas, CHIP), HLR_FIELD(TablaMascotas, GRANDE),
            HLR_FIELD(TablaMascotas, MEDIANO), HLR_FIELD(TablaMascotas, PEQUENO) });

    bind(*TablaEspecies, { HLR_FIELD(TablaEspecies, CODIGO), HLR_FIELD(TablaEspecies, DESCRIPCION) });

    bind(*TablaRazas,
        { HLR_FIELD(TablaRazas, CONTADOR), HLR_FIELD(TablaRazas, RAZA), HLR_FIELD(TablaRazas, ESPECIE) });

    bind(*TablaAlbum,
        { HLR_FIELD(TablaAlbum, CONTADOR), HLR_FIELD(TablaAlbum, CODIGO), HLR_FIELD(TablaAlbum, CARPETA),
            HLR_FIELD(TablaAlbum, DESCRIPCION), HLR_FIELD(TablaAlbum, ADJUST) });

    bind(*TablaSanidad,
        { HLR_FIELD(TablaSanidad, CONTADOR), HLR_FIELD(TablaSanidad, CODIGO), HLR_FIELD(TablaSanidad, FECHA),
            HLR_FIELD(TablaSanidad, DESCRIPCIO), HLR_FIELD(TablaSanidad, OBSERVA1),
            HLR_FIELD(TablaSanidad, OBSERVA2), HLR_FIELD(TablaSanidad, MEDICACION),
            HLR_FIELD(TablaSanidad, VETERINARIO), HLR_FIELD(TablaSanidad, TRATAMIENTO),
            HLR_FIELD(TablaSanidad, PROX_VISITA), HLR_FIELD(TablaSanidad, CLINICA) });

    bind(*TablaVeterinarios,
        { HLR_FIELD(TablaVeterinarios, CONTADOR), HLR_FIELD(TablaVeterinarios, CLINICA),
            HLR_FIELD(TablaVeterinarios, VETERINARIO), HLR_FIELD(TablaVeterinarios, DOMICILIO),
            HLR_FIELD(TablaVeterinarios, LOCALIDAD), HLR_FIELD(TablaVeterinarios, TELF1),
            HLR_FIELD(TablaVeterinarios, TELF2), HLR_FIELD(TablaVeterinarios, NIF),
            HLR_FIELD(TablaVeterinarios, OBSERV1), HLR_FIELD(TablaVeterinarios, OBSERV2),
            HLR_FIELD(TablaVeterinarios, CODPOSTAL), HLR_FIELD(TablaVeterinarios, PROVINCIA),
            HLR_FIELD(TablaVeterinarios, MOVIL), HLR_FIELD(TablaVeterinarios, EMAIL),
            HLR_FIELD(TablaVeterinarios, WEB) });

    bind(*TablaVacunas,
        { HLR_FIELD(TablaVacunas, CODIGO), HLR_FIELD(TablaVacunas, MOQUILLO_TRIVALENTE),
            HLR_FIELD(TablaVacunas, PARVOVIROSI_LEUCEMIA), HLR_FIELD(TablaVacunas, POLIVALENTE_LEUCEMIA),
            HLR_FIELD(TablaVacunas, RABIA), HLR_FIELD(TablaVacunas, OTRAS), HLR_FIELD(TablaVacunas, OTRAS2),
            HLR_FIELD(TablaVacunas, FECHA_1), HLR_FIELD(TablaVacunas, FECHA_2),
            HLR_FIELD(TablaVacunas, FECHA_3), HLR_FIELD(TablaVacunas, FECHA_4),
            HLR_FIELD(TablaVacunas, FECHA_5), HLR_FIELD(TablaVacunas, FECHA_6) });

    bind(*TablaAvisos,
        { HLR_FIELD(TablaAvisos, INICIO), HLR_FIELD(TablaAvisos, FIN), HLR_FIELD(TablaAvisos, CONCEPTO),
            HLR_FIELD(TablaAvisos, OBSERVA1), HLR_FIELD(TablaAvisos, OBSERVA2) });

    bind(*TablaIniAvisos,
        { HLR_FIELD(TablaIniAvisos, TIPO), HLR_FIELD(TablaIniAvisos, INICIO),
            HLR_FIELD(TablaIniAvisos, FINAL), HLR_FIELD(TablaIniAvisos, NOMBRE_CONCEPTO),
            HLR_FIELD(TablaIniAvisos, HORA_INI), HLR_FIELD(TablaIniAvisos, HORA_FIN) });
}

void TModuloGeneral::closeAll() noexcept
{
    // Details before their master, so closing never moves a linked table.
    for (auto it = m_tables.rbegin(); it != m_tables.rend(); ++it) {
        try {
            (*it)->close();
        } catch (const std::exception&) {
            // Nothing can be shown while the program ends; the file stays
            // as its last post left it.
        }
    }
    try {
        DbGeneral.close();
    } catch (const std::exception&) {
    }
}

void TModuloGeneral::TablaMascotasSEXOChange(engine::Field& sender)
{
    // The sex rule: "H", "M" or nothing. The box has already made a typed
    // letter a capital, so the comparison is exact.
    const QString sex = sender.asString();
    if (sex.isEmpty() || sex == QLatin1String("M") || sex == QLatin1String("H"))
        return;
    if (warnUser)
        warnUser(
            QStringLiteral("Atención"), QStringLiteral("Los valores para el campo SEXO deben ser ( H / M )"));
    // Emptying runs the rule again, which stops at the empty value.
    sender.clear();
    if (focusSexBox)
        focusSexBox();
}

void TModuloGeneral::SourceAlbumDataChange(engine::Field* field)
{
    Q_UNUSED(field) // every change shows the picture again, whichever field
    // The album window loads the picture and reports a failing one itself:
    // nothing may be thrown back through the table's notification.
    if (refreshAlbumPicture)
        refreshAlbumPicture();
}

void TModuloGeneral::TablaSanidadCLINICAChange(engine::Field& sender)
{
    Q_UNUSED(sender)
    // The clinic lookup has just made the chosen clinic the current record of
    // the clinics table. With no current clinic (closed or empty table) there
    // is nothing to copy, and a veterinarian typed by hand stays.
    const engine::Table& clinics = *TablaVeterinarios;
    if (!clinics.active() || clinics.isEmpty())
        return;
    TablaSanidadVETERINARIO->setValue(TablaVeterinariosVETERINARIO->value());
}

void TModuloGeneral::SourceVacunasDataChange(engine::Field* field)
{
    Q_UNUSED(field)
    // The species rule for the vaccination list: runs on every change so the
    // names follow the pet chosen in the grid at once.
    if (refreshVaccineLabels)
        refreshVaccineLabels(data::vaccineLabels(TablaMascotasESPECIE->asString()));
}
