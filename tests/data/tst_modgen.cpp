// The data module on an installed data folder: its tables, orders, master
// links, field objects, and what it does when the alias leads nowhere.
#include "SqliteFile.h"
#include "support/TempFolder.h"

#include "Installer.h"
#include "data/ModGen.h"
#include "engine/AliasRegistry.h"
#include "engine/EngineError.h"

#include <QDir>
#include <QtTest>

namespace {

engine::Table* tableNamed(const TModuloGeneral& m, const QString& name)
{
    for (const auto& table : m.tables())
        if (table->name() == name)
            return table.get();
    return nullptr;
}

} // namespace

class TestModGen : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<testsupport::TempFolder> m_folder;

    QString filePath(const QString& name) const { return m_folder->filePath(name); }

private slots:
    void init()
    {
        m_folder = std::make_unique<testsupport::TempFolder>();
        QString log;
        QTextStream out(&log);
        QCOMPARE(setup::install({ m_folder->path(), m_folder->aliasFile(), false }, out, out), 0);
    }

    void cleanup() { m_folder.reset(); }

    void createdWithEveryTableClosed()
    {
        TModuloGeneral m;
        QVERIFY(m.DbGeneral.connected());
        QCOMPARE(m.DbGeneral.name(), QStringLiteral("DbGeneral"));
        QCOMPARE(m.DbGeneral.alias(), QStringLiteral("HLR10"));
        QCOMPARE(int(m.tables().size()), 9);
        for (const auto& table : m.tables())
            QVERIFY2(!table->active(), qPrintable(table->name()));

        for (engine::DataSource* source : { m.SourceMascotas, m.SourceEspecies, m.SourceAlbum,
                 m.SourceSanidad, m.SourceVeterinarios, m.SourceVacunas, m.SourceAvisos, m.SourceIniAvisos })
            QVERIFY2(source->autoEdit(), qPrintable(source->name()));
        QVERIFY(!m.SourceRazas->autoEdit());
        QCOMPARE(&m.SourceRazas->table(), m.TablaRazas);

        QCOMPARE(m.RvTablaSanidad->name(), QStringLiteral("RvTablaSanidad"));
        QCOMPARE(&m.RvTablaSanidad->table(), m.TablaSanidad);
        QCOMPARE(m.RvTablaMascotas->name(), QStringLiteral("RvTablaMascotas"));
        QCOMPARE(&m.RvTablaMascotas->table(), m.TablaMascotas);
    }

    void everyTableOpens_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("order");

        QTest::newRow("TablaMascotas") << "TablaMascotas"
                                       << "FICMAES.DB" << QStringList { "CODIGO" };
        QTest::newRow("TablaEspecies") << "TablaEspecies"
                                       << "ESPECIES.db" << QStringList { "CODIGO" };
        QTest::newRow("TablaRazas") << "TablaRazas"
                                    << "RAZAS.DB" << QStringList { "RAZA" };
        QTest::newRow("TablaAlbum") << "TablaAlbum"
                                    << "ALBUM.DB" << QStringList { "CODIGO" };
        QTest::newRow("TablaSanidad") << "TablaSanidad"
                                      << "SANIDAD.db" << QStringList { "CODIGO", "DESCRIPCIO" };
        QTest::newRow("TablaVeterinarios") << "TablaVeterinarios"
                                           << "VETERIN.DB" << QStringList { "CLINICA" };
        QTest::newRow("TablaVacunas") << "TablaVacunas"
                                      << "VACUNAS.db" << QStringList { "CODIGO" };
        QTest::newRow("TablaAvisos") << "TablaAvisos"
                                     << "AVISOS.DB" << QStringList { "INICIO" };
        QTest::newRow("TablaIniAvisos") << "TablaIniAvisos"
                                        << "INIAVIS.DB" << QStringList { "CONTADOR" };
    }

    void everyTableOpens()
    {
        QFETCH(QString, table);
        QFETCH(QString, file);
        QFETCH(QStringList, order);
        TModuloGeneral m;
        engine::Table* t = tableNamed(m, table);
        QVERIFY(t);
        QCOMPARE(t->fileName(), file);
        QCOMPARE(&t->database(), &m.DbGeneral);
        m.TablaMascotas->open(); // the master of the linked tables
        t->open();
        QCOMPARE(t->state(), engine::TableState::Browse);
        QCOMPARE(t->indexFields(), order);
        t->close();
        QVERIFY(!t->active());
    }

    void fieldObjectsNameTheirFields()
    {
        TModuloGeneral m;
        struct Expected {
            engine::Field* member;
            engine::Table* table;
            const char* field;
        };
        // Written out from the field lists, so a member bound to the wrong
        // field or table shows here.
        const std::vector<Expected> expected = {
            { m.TablaMascotasCONTADOR, m.TablaMascotas, "CONTADOR" },
            { m.TablaMascotasCODIGO, m.TablaMascotas, "CODIGO" },
            { m.TablaMascotasSEXO, m.TablaMascotas, "SEXO" },
            { m.TablaMascotasGRUPO, m.TablaMascotas, "GRUPO" },
            { m.TablaMascotasFEC_NAC, m.TablaMascotas, "FEC_NAC" },
            { m.TablaMascotasCRIADOR, m.TablaMascotas, "CRIADOR" },
            { m.TablaMascotasPROPIETARI, m.TablaMascotas, "PROPIETARI" },
            { m.TablaMascotasN_LOE, m.TablaMascotas, "N_LOE" },
            { m.TablaMascotasTATUAJE, m.TablaMascotas, "TATUAJE" },
            { m.TablaMascotasMEMORIA, m.TablaMascotas, "MEMORIA" },
            { m.TablaMascotasPADRE, m.TablaMascotas, "PADRE" },
            { m.TablaMascotasPADRE_L, m.TablaMascotas, "PADRE_L" },
            { m.TablaMascotasABO_PAD, m.TablaMascotas, "ABO_PAD" },
            { m.TablaMascotasABO_PAD_L, m.TablaMascotas, "ABO_PAD_L" },
            { m.TablaMascotasABA_PAD, m.TablaMascotas, "ABA_PAD" },
            { m.TablaMascotasABA_PAD_L, m.TablaMascotas, "ABA_PAD_L" },
            { m.TablaMascotasBO_ABO_P, m.TablaMascotas, "BO_ABO_P" },
            { m.TablaMascotasBO_ABO_P_L, m.TablaMascotas, "BO_ABO_P_L" },
            { m.TablaMascotasBA_ABO_P, m.TablaMascotas, "BA_ABO_P" },
            { m.TablaMascotasBA_ABO_P_L, m.TablaMascotas, "BA_ABO_P_L" },
            { m.TablaMascotasBO_ABA_P, m.TablaMascotas, "BO_ABA_P" },
            { m.TablaMascotasBO_ABA_P_L, m.TablaMascotas, "BO_ABA_P_L" },
            { m.TablaMascotasBA_ABA_P, m.TablaMascotas, "BA_ABA_P" },
            { m.TablaMascotasBA_ABA_P_L, m.TablaMascotas, "BA_ABA_P_L" },
            { m.TablaMascotasMADRE, m.TablaMascotas, "MADRE" },
            { m.TablaMascotasMADRE_L, m.TablaMascotas, "MADRE_L" },
            { m.TablaMascotasABO_MAD, m.TablaMascotas, "ABO_MAD" },
            { m.TablaMascotasABO_MAD_L, m.TablaMascotas, "ABO_MAD_L" },
            { m.TablaMascotasABA_MAD, m.TablaMascotas, "ABA_MAD" },
            { m.TablaMascotasABA_MAD_L, m.TablaMascotas, "ABA_MAD_L" },
            { m.TablaMascotasBO_ABO_M, m.TablaMascotas, "BO_ABO_M" },
            { m.TablaMascotasBO_ABO_M_L, m.TablaMascotas, "BO_ABO_M_L" },
            { m.TablaMascotasBA_ABO_M, m.TablaMascotas, "BA_ABO_M" },
            { m.TablaMascotasBA_ABO_M_L, m.TablaMascotas, "BA_ABO_M_L" },
            { m.TablaMascotasBO_ABA_M, m.TablaMascotas, "BO_ABA_M" },
            { m.TablaMascotasBO_ABA_M_L, m.TablaMascotas, "BO_ABA_M_L" },
            { m.TablaMascotasBA_ABA_M, m.TablaMascotas, "BA_ABA_M" },
            { m.TablaMascotasBA_ABA_M_L, m.TablaMascotas, "BA_ABA_M_L" },
            { m.TablaMascotasDEFINE1, m.TablaMascotas, "DEFINE1" },
            { m.TablaMascotasDEFINE2, m.TablaMascotas, "DEFINE2" },
            { m.TablaMascotasESPECIE, m.TablaMascotas, "ESPECIE" },
            { m.TablaMascotasRAZA, m.TablaMascotas, "RAZA" },
            { m.TablaMascotasCOLOR, m.TablaMascotas, "COLOR" },
            { m.TablaMascotasNOM_OFICIA, m.TablaMascotas, "NOM_OFICIA" },
            { m.TablaMascotasNOM_FAMI, m.TablaMascotas, "NOM_FAMI" },
            { m.TablaMascotasPELO, m.TablaMascotas, "PELO" },
            { m.TablaMascotasCHIP, m.TablaMascotas, "CHIP" },
            { m.TablaMascotasGRANDE, m.TablaMascotas, "GRANDE" },
            { m.TablaMascotasMEDIANO, m.TablaMascotas, "MEDIANO" },
            { m.TablaMascotasPEQUENO, m.TablaMascotas, "PEQUENO" },
            { m.TablaEspeciesCODIGO, m.TablaEspecies, "CODIGO" },
            { m.TablaEspeciesDESCRIPCION, m.TablaEspecies, "DESCRIPCION" },
            { m.TablaRazasCONTADOR, m.TablaRazas, "CONTADOR" },
            { m.TablaRazasRAZA, m.TablaRazas, "RAZA" },
            { m.TablaRazasESPECIE, m.TablaRazas, "ESPECIE" },
            { m.TablaAlbumCONTADOR, m.TablaAlbum, "CONTADOR" },
            { m.TablaAlbumCODIGO, m.TablaAlbum, "CODIGO" },
            { m.TablaAlbumCARPETA, m.TablaAlbum, "CARPETA" },
            { m.TablaAlbumDESCRIPCION, m.TablaAlbum, "DESCRIPCION" },
            { m.TablaAlbumADJUST, m.TablaAlbum, "ADJUST" },
            { m.TablaSanidadCONTADOR, m.TablaSanidad, "CONTADOR" },
            { m.TablaSanidadCODIGO, m.TablaSanidad, "CODIGO" },
            { m.TablaSanidadFECHA, m.TablaSanidad, "FECHA" },
            { m.TablaSanidadDESCRIPCIO, m.TablaSanidad, "DESCRIPCIO" },
            { m.TablaSanidadOBSERVA1, m.TablaSanidad, "OBSERVA1" },
            { m.TablaSanidadOBSERVA2, m.TablaSanidad, "OBSERVA2" },
            { m.TablaSanidadMEDICACION, m.TablaSanidad, "MEDICACION" },
            { m.TablaSanidadVETERINARIO, m.TablaSanidad, "VETERINARIO" },
            { m.TablaSanidadTRATAMIENTO, m.TablaSanidad, "TRATAMIENTO" },
            { m.TablaSanidadPROX_VISITA, m.TablaSanidad, "PROX_VISITA" },
            { m.TablaSanidadCLINICA, m.TablaSanidad, "CLINICA" },
            { m.TablaVeterinariosCONTADOR, m.TablaVeterinarios, "CONTADOR" },
            { m.TablaVeterinariosCLINICA, m.TablaVeterinarios, "CLINICA" },
            { m.TablaVeterinariosVETERINARIO, m.TablaVeterinarios, "VETERINARIO" },
            { m.TablaVeterinariosDOMICILIO, m.TablaVeterinarios, "DOMICILIO" },
            { m.TablaVeterinariosLOCALIDAD, m.TablaVeterinarios, "LOCALIDAD" },
            { m.TablaVeterinariosTELF1, m.TablaVeterinarios, "TELF1" },
            { m.TablaVeterinariosTELF2, m.TablaVeterinarios, "TELF2" },
            { m.TablaVeterinariosNIF, m.TablaVeterinarios, "NIF" },
            { m.TablaVeterinariosOBSERV1, m.TablaVeterinarios, "OBSERV1" },
            { m.TablaVeterinariosOBSERV2, m.TablaVeterinarios, "OBSERV2" },
            { m.TablaVeterinariosCODPOSTAL, m.TablaVeterinarios, "CODPOSTAL" },
            { m.TablaVeterinariosPROVINCIA, m.TablaVeterinarios, "PROVINCIA" },
            { m.TablaVeterinariosMOVIL, m.TablaVeterinarios, "MOVIL" },
            { m.TablaVeterinariosEMAIL, m.TablaVeterinarios, "EMAIL" },
            { m.TablaVeterinariosWEB, m.TablaVeterinarios, "WEB" },
            { m.TablaVacunasCODIGO, m.TablaVacunas, "CODIGO" },
            { m.TablaVacunasMOQUILLO_TRIVALENTE, m.TablaVacunas, "MOQUILLO_TRIVALENTE" },
            { m.TablaVacunasPARVOVIROSI_LEUCEMIA, m.TablaVacunas, "PARVOVIROSI_LEUCEMIA" },
            { m.TablaVacunasPOLIVALENTE_LEUCEMIA, m.TablaVacunas, "POLIVALENTE_LEUCEMIA" },
            { m.TablaVacunasRABIA, m.TablaVacunas, "RABIA" },
            { m.TablaVacunasOTRAS, m.TablaVacunas, "OTRAS" },
            { m.TablaVacunasOTRAS2, m.TablaVacunas, "OTRAS2" },
            { m.TablaVacunasFECHA_1, m.TablaVacunas, "FECHA_1" },
            { m.TablaVacunasFECHA_2, m.TablaVacunas, "FECHA_2" },
            { m.TablaVacunasFECHA_3, m.TablaVacunas, "FECHA_3" },
            { m.TablaVacunasFECHA_4, m.TablaVacunas, "FECHA_4" },
            { m.TablaVacunasFECHA_5, m.TablaVacunas, "FECHA_5" },
            { m.TablaVacunasFECHA_6, m.TablaVacunas, "FECHA_6" },
            { m.TablaAvisosINICIO, m.TablaAvisos, "INICIO" },
            { m.TablaAvisosFIN, m.TablaAvisos, "FIN" },
            { m.TablaAvisosCONCEPTO, m.TablaAvisos, "CONCEPTO" },
            { m.TablaAvisosOBSERVA1, m.TablaAvisos, "OBSERVA1" },
            { m.TablaAvisosOBSERVA2, m.TablaAvisos, "OBSERVA2" },
            { m.TablaIniAvisosTIPO, m.TablaIniAvisos, "TIPO" },
            { m.TablaIniAvisosINICIO, m.TablaIniAvisos, "INICIO" },
            { m.TablaIniAvisosFINAL, m.TablaIniAvisos, "FINAL" },
            { m.TablaIniAvisosNOMBRE_CONCEPTO, m.TablaIniAvisos, "NOMBRE_CONCEPTO" },
            { m.TablaIniAvisosHORA_INI, m.TablaIniAvisos, "HORA_INI" },
            { m.TablaIniAvisosHORA_FIN, m.TablaIniAvisos, "HORA_FIN" },
        };
        QHash<engine::Table*, int> perTable;
        for (const Expected& e : expected) {
            QVERIFY2(e.member, e.field);
            QCOMPARE(e.member->name(), QLatin1String(e.field));
            QCOMPARE(&e.member->table(), e.table);
            ++perTable[e.table];
        }
        // Every declared field has its object; INIAVIS' CONTADOR is not declared.
        for (const auto& table : m.tables())
            QCOMPARE(perTable.value(table.get()), int(table->fields().size()));
        QVERIFY(!m.TablaIniAvisos->findField(QStringLiteral("CONTADOR")));
    }

    void appendedDetailCarriesThePetCode_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("sqlTable");
        QTest::newRow("TablaAlbum") << "TablaAlbum"
                                    << "ALBUM.DB"
                                    << "ALBUM";
        QTest::newRow("TablaSanidad") << "TablaSanidad"
                                      << "SANIDAD.db"
                                      << "SANIDAD";
        QTest::newRow("TablaVacunas") << "TablaVacunas"
                                      << "VACUNAS.db"
                                      << "VACUNAS";
    }

    void appendedDetailCarriesThePetCode()
    {
        QFETCH(QString, table);
        QFETCH(QString, file);
        QFETCH(QString, sqlTable);
        {
            TModuloGeneral m;
            engine::Table* detail = tableNamed(m, table);
            m.TablaMascotas->open();
            m.TablaMascotas->last();
            QCOMPARE(m.TablaMascotasCODIGO->asString(), QStringLiteral("0000002"));
            detail->open();
            QVERIFY(detail->isEmpty());

            detail->append();
            QCOMPARE(detail->field(QStringLiteral("CODIGO")).asString(), QStringLiteral("0000002"));
            // One more field, so the record is a real change.
            for (const auto& f : detail->fields()) {
                if (f->kind() == engine::FieldKind::Logical) {
                    f->setAsBoolean(true);
                    break;
                }
            }
            detail->post();
            QCOMPARE(detail->recordCount(), 1);

            // The other pet sees none of it, at once.
            m.TablaMascotas->first();
            QCOMPARE(detail->recordCount(), 0);
            m.TablaMascotas->last();
            QCOMPARE(detail->recordCount(), 1);
        }
        const SqliteFile db(filePath(file));
        const auto rows = db.rows(QStringLiteral("SELECT CODIGO FROM %1").arg(sqlTable));
        QCOMPARE(int(rows.size()), 1);
        QCOMPARE(rows.front().front().toString(), QStringLiteral("0000002"));
    }

    void fieldsNoWindowShowsKeepTheirValues()
    {
        // Every field the windows never show, filled straight in the file.
        const QStringList hidden = { "GRUPO", "CRIADOR", "PROPIETARI", "N_LOE", "TATUAJE", "MEMORIA", "PADRE",
            "PADRE_L", "ABO_PAD", "ABO_PAD_L", "ABA_PAD", "ABA_PAD_L", "BO_ABO_P", "BO_ABO_P_L", "BA_ABO_P",
            "BA_ABO_P_L", "BO_ABA_P", "BO_ABA_P_L", "BA_ABA_P", "BA_ABA_P_L", "MADRE", "MADRE_L", "ABO_MAD",
            "ABO_MAD_L", "ABA_MAD", "ABA_MAD_L", "BO_ABO_M", "BO_ABO_M_L", "BA_ABO_M", "BA_ABO_M_L",
            "BO_ABA_M", "BO_ABA_M_L", "BA_ABA_M", "BA_ABA_M_L", "DEFINE1", "DEFINE2" };
        const auto valueFor = [](const QString& field) {
            if (field == QLatin1String("MEMORIA"))
                return QStringLiteral("Notas largas:\nprimera línea, «comillas» y ñ\n")
                    + QString(5000, QLatin1Char('x'));
            if (field == QLatin1String("GRUPO"))
                return QStringLiteral("G-1");
            if (field == QLatin1String("TATUAJE"))
                return QStringLiteral("T1234567");
            if (field.endsWith(QLatin1String("_L")))
                return QStringLiteral("LOE ") + field;
            return QStringLiteral("Valor de ") + field;
        };
        {
            SqliteFile db(filePath(QStringLiteral("FICMAES.DB")), true);
            for (const QString& field : hidden)
                db.exec(QStringLiteral("UPDATE FICMAES SET %1 = ? WHERE CODIGO = '0000001'").arg(field),
                    { valueFor(field) });
        }
        {
            TModuloGeneral m;
            m.TablaMascotas->open();
            QCOMPARE(m.TablaMascotasCODIGO->asString(), QStringLiteral("0000001"));
            QCOMPARE(m.TablaMascotasMEMORIA->asString(), valueFor(QStringLiteral("MEMORIA")));
            m.TablaMascotas->edit();
            m.TablaMascotasNOM_FAMI->setAsString(QStringLiteral("TOBY"));
            m.TablaMascotasSEXO->setAsString(QStringLiteral("M"));
            m.TablaMascotas->post();
            m.TablaMascotas->close();
        }
        const SqliteFile db(filePath(QStringLiteral("FICMAES.DB")));
        for (const QString& field : hidden)
            QCOMPARE(db.value(QStringLiteral("SELECT %1 FROM FICMAES WHERE CODIGO = '0000001'").arg(field))
                         .toString(),
                valueFor(field));
        QCOMPARE(db.value(QStringLiteral("SELECT NOM_FAMI FROM FICMAES WHERE CODIGO = '0000001'")).toString(),
            QStringLiteral("TOBY"));
    }

    void connectionFailureNamesTheCause_data()
    {
        QTest::addColumn<bool>("aliasPresent");
        QTest::addColumn<QString>("named");
        QTest::newRow("alias missing") << false << "HLR10";
        QTest::newRow("folder missing") << true << "no-existe";
    }

    void connectionFailureNamesTheCause()
    {
        QFETCH(bool, aliasPresent);
        QFETCH(QString, named);
        QTemporaryDir other;
        const QString aliases = other.filePath(QStringLiteral("aliases.conf"));
        if (aliasPresent)
            engine::AliasRegistry(aliases).setFolder(QStringLiteral("HLR10"), other.filePath(named));
        else
            engine::AliasRegistry(aliases).setFolder(QStringLiteral("OTRO"), other.path());
        const QByteArray before = qgetenv("HLR_ALIASES");
        qputenv("HLR_ALIASES", aliases.toLocal8Bit());

        QString message;
        try {
            TModuloGeneral m;
        } catch (const engine::EngineError& e) {
            message = e.message();
        }
        qputenv("HLR_ALIASES", before);
        QVERIFY2(message.contains(named), qPrintable(message));
    }

    void destructionClosesEverything()
    {
        {
            TModuloGeneral m;
            for (const auto& table : m.tables())
                table->open();
            m.TablaMascotas->edit();
            m.TablaMascotasNOM_FAMI->setAsString(QStringLiteral("SIN GUARDAR"));
            m.TablaSanidad->append();
        }
        // The unposted change is gone and no file is held any more.
        for (const char* file : { "FICMAES.DB", "SANIDAD.db", "INIAVIS.DB" }) {
            SqliteFile db(filePath(QLatin1String(file)), true);
            db.exec(QStringLiteral("BEGIN EXCLUSIVE"));
            db.exec(QStringLiteral("ROLLBACK"));
        }
        const SqliteFile db(filePath(QStringLiteral("FICMAES.DB")));
        QVERIFY(db.value(QStringLiteral("SELECT NOM_FAMI FROM FICMAES WHERE CODIGO = '0000001'")).isNull());
        const SqliteFile sanidad(filePath(QStringLiteral("SANIDAD.db")));
        QCOMPARE(sanidad.value(QStringLiteral("SELECT COUNT(*) FROM SANIDAD")).toLongLong(), 0);
        QCOMPARE(
            QDir(m_folder->path()).entryList(QDir::Files).filter(QStringLiteral("-journal")), QStringList {});
    }
};

QTEST_MAIN(TestModGen)
#include "tst_modgen.moc"
