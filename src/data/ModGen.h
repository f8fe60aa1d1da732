// The data module: the connection DbGeneral, the nine tables with their data
// sources and field objects, the report data views and the change handlers.
#pragma once

#include "data/ReportDataView.h"
#include "data/VaccineLabels.h"
#include "engine/DataSource.h"
#include "engine/Database.h"
#include "engine/Field.h"
#include "engine/Table.h"

#include <QObject>
#include <functional>
#include <memory>
#include <vector>

class TModuloGeneral : public QObject {
    Q_OBJECT
public:
    // Opens DbGeneral through the alias HLR10; an EngineError naming the
    // alias or its folder escapes. Every table is left closed.
    explicit TModuloGeneral(QObject* parent = nullptr);
    // Closes every table, then the connection.
    ~TModuloGeneral() override;

    TModuloGeneral(const TModuloGeneral&) = delete;
    TModuloGeneral& operator=(const TModuloGeneral&) = delete;

    // Change handlers; the windows they serve fill them in.
    void TablaMascotasSEXOChange(engine::Field& sender);
    void SourceAlbumDataChange(engine::Field* field);
    void TablaSanidadCLINICAChange(engine::Field& sender);
    void SourceVacunasDataChange(engine::Field* field);

    // What the handlers reach outside the data layer, which knows no widget.
    // A broken rule is told to the user through warnUser (a beep and a message
    // box, set by the registry); the rest is set by the window it serves.
    // Each is empty, and skipped, until set.
    std::function<void(const QString& title, const QString& text)> warnUser;
    std::function<void()> focusSexBox;
    std::function<void()> refreshAlbumPicture;
    std::function<void(const data::VaccineLabels&)> refreshVaccineLabels;

    // Declared first so it is destroyed last, after every table.
    engine::Database DbGeneral;

private:
    // Owners, in this order so that the tables go first, then the data
    // sources that refer to them, and DbGeneral last.
    std::vector<std::unique_ptr<engine::DataSource>> m_sources;
    std::vector<std::unique_ptr<engine::Table>> m_tables;

public:
    engine::Table* TablaMascotas = nullptr;
    engine::Table* TablaEspecies = nullptr;
    engine::Table* TablaRazas = nullptr;
    engine::Table* TablaAlbum = nullptr;
    engine::Table* TablaSanidad = nullptr;
    engine::Table* TablaVeterinarios = nullptr;
    engine::Table* TablaVacunas = nullptr;
    engine::Table* TablaAvisos = nullptr;
    engine::Table* TablaIniAvisos = nullptr;

    engine::DataSource* SourceMascotas = nullptr;
    engine::DataSource* SourceEspecies = nullptr;
    engine::DataSource* SourceRazas = nullptr;
    engine::DataSource* SourceAlbum = nullptr;
    engine::DataSource* SourceSanidad = nullptr;
    engine::DataSource* SourceVeterinarios = nullptr;
    engine::DataSource* SourceVacunas = nullptr;
    engine::DataSource* SourceAvisos = nullptr;
    engine::DataSource* SourceIniAvisos = nullptr;

    std::unique_ptr<data::ReportDataView> RvTablaSanidad;
    std::unique_ptr<data::ReportDataView> RvTablaMascotas;

    // FICMAES.DB
    engine::Field* TablaMascotasCONTADOR = nullptr;
    engine::Field* TablaMascotasCODIGO = nullptr;
    engine::Field* TablaMascotasSEXO = nullptr;
    engine::Field* TablaMascotasGRUPO = nullptr;
    engine::Field* TablaMascotasFEC_NAC = nullptr;
    engine::Field* TablaMascotasCRIADOR = nullptr;
    engine::Field* TablaMascotasPROPIETARI = nullptr;
    engine::Field* TablaMascotasN_LOE = nullptr;
    engine::Field* TablaMascotasTATUAJE = nullptr;
    engine::Field* TablaMascotasMEMORIA = nullptr;
    engine::Field* TablaMascotasPADRE = nullptr;
    engine::Field* TablaMascotasPADRE_L = nullptr;
    engine::Field* TablaMascotasABO_PAD = nullptr;
    engine::Field* TablaMascotasABO_PAD_L = nullptr;
    engine::Field* TablaMascotasABA_PAD = nullptr;
    engine::Field* TablaMascotasABA_PAD_L = nullptr;
    engine::Field* TablaMascotasBO_ABO_P = nullptr;
    engine::Field* TablaMascotasBO_ABO_P_L = nullptr;
    engine::Field* TablaMascotasBA_ABO_P = nullptr;
    engine::Field* TablaMascotasBA_ABO_P_L = nullptr;
    engine::Field* TablaMascotasBO_ABA_P = nullptr;
    engine::Field* TablaMascotasBO_ABA_P_L = nullptr;
    engine::Field* TablaMascotasBA_ABA_P = nullptr;
    engine::Field* TablaMascotasBA_ABA_P_L = nullptr;
    engine::Field* TablaMascotasMADRE = nullptr;
    engine::Field* TablaMascotasMADRE_L = nullptr;
    engine::Field* TablaMascotasABO_MAD = nullptr;
    engine::Field* TablaMascotasABO_MAD_L = nullptr;
    engine::Field* TablaMascotasABA_MAD = nullptr;
    engine::Field* TablaMascotasABA_MAD_L = nullptr;
    engine::Field* TablaMascotasBO_ABO_M = nullptr;
    engine::Field* TablaMascotasBO_ABO_M_L = nullptr;
    engine::Field* TablaMascotasBA_ABO_M = nullptr;
    engine::Field* TablaMascotasBA_ABO_M_L = nullptr;
    engine::Field* TablaMascotasBO_ABA_M = nullptr;
    engine::Field* TablaMascotasBO_ABA_M_L = nullptr;
    engine::Field* TablaMascotasBA_ABA_M = nullptr;
    engine::Field* TablaMascotasBA_ABA_M_L = nullptr;
    engine::Field* TablaMascotasDEFINE1 = nullptr;
    engine::Field* TablaMascotasDEFINE2 = nullptr;
    engine::Field* TablaMascotasESPECIE = nullptr;
    engine::Field* TablaMascotasRAZA = nullptr;
    engine::Field* TablaMascotasCOLOR = nullptr;
    engine::Field* TablaMascotasNOM_OFICIA = nullptr;
    engine::Field* TablaMascotasNOM_FAMI = nullptr;
    engine::Field* TablaMascotasPELO = nullptr;
    engine::Field* TablaMascotasCHIP = nullptr;
    engine::Field* TablaMascotasGRANDE = nullptr;
    engine::Field* TablaMascotasMEDIANO = nullptr;
    engine::Field* TablaMascotasPEQUENO = nullptr;

    // ESPECIES.db
    engine::Field* TablaEspeciesCODIGO = nullptr;
    engine::Field* TablaEspeciesDESCRIPCION = nullptr;

    // RAZAS.DB
    engine::Field* TablaRazasCONTADOR = nullptr;
    engine::Field* TablaRazasRAZA = nullptr;
    engine::Field* TablaRazasESPECIE = nullptr;

    // ALBUM.DB
    engine::Field* TablaAlbumCONTADOR = nullptr;
    engine::Field* TablaAlbumCODIGO = nullptr;
    engine::Field* TablaAlbumCARPETA = nullptr;
    engine::Field* TablaAlbumDESCRIPCION = nullptr;
    engine::Field* TablaAlbumADJUST = nullptr;

    // SANIDAD.db
    engine::Field* TablaSanidadCONTADOR = nullptr;
    engine::Field* TablaSanidadCODIGO = nullptr;
    engine::Field* TablaSanidadFECHA = nullptr;
    engine::Field* TablaSanidadDESCRIPCIO = nullptr;
    engine::Field* TablaSanidadOBSERVA1 = nullptr;
    engine::Field* TablaSanidadOBSERVA2 = nullptr;
    engine::Field* TablaSanidadMEDICACION = nullptr;
    engine::Field* TablaSanidadVETERINARIO = nullptr;
    engine::Field* TablaSanidadTRATAMIENTO = nullptr;
    engine::Field* TablaSanidadPROX_VISITA = nullptr;
    engine::Field* TablaSanidadCLINICA = nullptr;

    // VETERIN.DB
    engine::Field* TablaVeterinariosCONTADOR = nullptr;
    engine::Field* TablaVeterinariosCLINICA = nullptr;
    engine::Field* TablaVeterinariosVETERINARIO = nullptr;
    engine::Field* TablaVeterinariosDOMICILIO = nullptr;
    engine::Field* TablaVeterinariosLOCALIDAD = nullptr;
    engine::Field* TablaVeterinariosTELF1 = nullptr;
    engine::Field* TablaVeterinariosTELF2 = nullptr;
    engine::Field* TablaVeterinariosNIF = nullptr;
    engine::Field* TablaVeterinariosOBSERV1 = nullptr;
    engine::Field* TablaVeterinariosOBSERV2 = nullptr;
    engine::Field* TablaVeterinariosCODPOSTAL = nullptr;
    engine::Field* TablaVeterinariosPROVINCIA = nullptr;
    engine::Field* TablaVeterinariosMOVIL = nullptr;
    engine::Field* TablaVeterinariosEMAIL = nullptr;
    engine::Field* TablaVeterinariosWEB = nullptr;

    // VACUNAS.db
    engine::Field* TablaVacunasCODIGO = nullptr;
    engine::Field* TablaVacunasMOQUILLO_TRIVALENTE = nullptr;
    engine::Field* TablaVacunasPARVOVIROSI_LEUCEMIA = nullptr;
    engine::Field* TablaVacunasPOLIVALENTE_LEUCEMIA = nullptr;
    engine::Field* TablaVacunasRABIA = nullptr;
    engine::Field* TablaVacunasOTRAS = nullptr;
    engine::Field* TablaVacunasOTRAS2 = nullptr;
    engine::Field* TablaVacunasFECHA_1 = nullptr;
    engine::Field* TablaVacunasFECHA_2 = nullptr;
    engine::Field* TablaVacunasFECHA_3 = nullptr;
    engine::Field* TablaVacunasFECHA_4 = nullptr;
    engine::Field* TablaVacunasFECHA_5 = nullptr;
    engine::Field* TablaVacunasFECHA_6 = nullptr;

    // AVISOS.DB
    engine::Field* TablaAvisosINICIO = nullptr;
    engine::Field* TablaAvisosFIN = nullptr;
    engine::Field* TablaAvisosCONCEPTO = nullptr;
    engine::Field* TablaAvisosOBSERVA1 = nullptr;
    engine::Field* TablaAvisosOBSERVA2 = nullptr;

    // INIAVIS.DB (its CONTADOR is not declared)
    engine::Field* TablaIniAvisosTIPO = nullptr;
    engine::Field* TablaIniAvisosINICIO = nullptr;
    engine::Field* TablaIniAvisosFINAL = nullptr;
    engine::Field* TablaIniAvisosNOMBRE_CONCEPTO = nullptr;
    engine::Field* TablaIniAvisosHORA_INI = nullptr;
    engine::Field* TablaIniAvisosHORA_FIN = nullptr;

    // Every table, in creation order (pets first), for code that works on all.
    const std::vector<std::unique_ptr<engine::Table>>& tables() const { return m_tables; }

private:
    engine::Table* addTable(const QString& name, const QString& sqlName);
    engine::DataSource* addSource(const QString& name, engine::Table& table);
    void bindFields();
    void closeAll() noexcept;
};
