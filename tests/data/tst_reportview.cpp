// The report data views over the data module's tables, and the register's
// listing printed from an installed data folder through the shipped project.
#include "SqliteFile.h"
#include "support/ReportTesting.h"
#include "support/TempFolder.h"
#include "support/TestPaths.h"

#include "Installer.h"
#include "data/ModGen.h"
#include "engine/Field.h"
#include "report/ReportProject.h"

#include <QDir>
#include <QtTest>

class TstReportView : public QObject {
    Q_OBJECT

    std::unique_ptr<testsupport::TempFolder> m_folder;

private slots:
    void init()
    {
        engine::setShortDateFormat(QStringLiteral("dd/MM/yyyy"));
        m_folder = std::make_unique<testsupport::TempFolder>();
        QString log;
        QTextStream out(&log);
        QCOMPARE(setup::install({ m_folder->path(), m_folder->aliasFile(), false }, out, out), 0);
        SqliteFile pets(m_folder->filePath(QStringLiteral("FICMAES.DB")), true);
        pets.exec(QStringLiteral("UPDATE FICMAES SET NOM_FAMI = 'TOBY' WHERE CODIGO = '0000001'"));
        pets.exec(QStringLiteral("UPDATE FICMAES SET NOM_FAMI = 'LUNA' WHERE CODIGO = '0000002'"));
        SqliteFile visits(m_folder->filePath(QStringLiteral("SANIDAD.db")), true);
        // The register's order is by reason; the dates run the other way.
        for (int i = 0; i < 30; ++i)
            visits.exec(
                QStringLiteral("INSERT INTO SANIDAD (CODIGO, FECHA, DESCRIPCIO, CLINICA, PROX_VISITA) "
                               "VALUES ('0000002', ?, ?, 'CLÍNICA SUR', NULL)"),
                { QDate(2023, 12, 31).addDays(-i).toString(Qt::ISODate),
                    QStringLiteral("MOTIVO %1").arg(i, 2, 10, QLatin1Char('0')) });
        visits.exec(QStringLiteral("INSERT INTO SANIDAD (CODIGO, FECHA, DESCRIPCIO) "
                                   "VALUES ('0000001', '2021-06-01', 'DE OTRA MASCOTA')"));
    }
    void cleanup()
    {
        m_folder.reset();
        engine::setShortDateFormat({});
    }

    void viewsReadTheVisibleRecordsAsPrinted()
    {
        TModuloGeneral m;
        m.TablaMascotas->open();
        m.TablaMascotas->last();
        m.TablaSanidad->open();
        const data::ReportDataView& view = *m.RvTablaSanidad;
        QCOMPARE(view.sourceName(), QStringLiteral("RvTablaSanidad"));
        QVERIFY(view.fieldNames().contains(QStringLiteral("OBSERVA2")));
        QCOMPARE(view.rowCount(), 30); // the master link holds
        const auto rows = view.readRows(0, 2, { "DESCRIPCIO", "FECHA", "PROX_VISITA" });
        QCOMPARE(rows.size(), size_t(2));
        QCOMPARE(rows[0], QStringList({ "MOTIVO 00", "31/12/2023", "" }));
        QCOMPARE(rows[1], QStringList({ "MOTIVO 01", "30/12/2023", "" }));
        QCOMPARE(
            m.RvTablaMascotas->currentRecord({ "NOM_FAMI", "CODIGO" }), QStringList({ "LUNA", "0000002" }));

        m.TablaSanidad->close();
        QCOMPARE(view.rowCount(), 0);
        QCOMPARE(view.currentRecord({ "FECHA" }), QStringList({ "" }));
    }

    void registerListsTheCurrentPetInTheRegistersOrder()
    {
        TModuloGeneral m;
        m.TablaMascotas->open();
        m.TablaMascotas->last();
        m.TablaSanidad->open();
        m.TablaSanidad->moveToRow(5);
        int changes = 0;
        const engine::ScopedConnection hear
            = m.TablaSanidad->onDataChanged([&](engine::Field*) { ++changes; });

        report::ReportProject project;
        project.setFileName(QStringLiteral(HLR_BIN_DIR "/sanidad.rpt"));
        project.addDataView(*m.RvTablaSanidad);
        project.addDataView(*m.RvTablaMascotas);
        QVERIFY(project.selectReport(QStringLiteral("Registro")));
        const QString pdf = QDir(m_folder->path()).filePath(QStringLiteral("registro.pdf"));
        project.runToFile(pdf, report::ReportFileFormat::Pdf);

        // The listing reads without moving the register.
        QCOMPARE(m.TablaSanidad->rowIndex(), 5);
        QCOMPARE(changes, 0);

        const QString text = testsupport::pdfText(pdf);
        QVERIFY(text.contains(QStringLiteral("LUNA")));
        QVERIFY(!text.contains(QStringLiteral("DE OTRA MASCOTA")));
        QStringList inOrder;
        for (int i = 0; i < 30; ++i)
            inOrder << QDate(2023, 12, 31).addDays(-i).toString(QStringLiteral("dd/MM/yyyy"))
                    << QStringLiteral("MOTIVO %1").arg(i, 2, 10, QLatin1Char('0'));
        QCOMPARE(testsupport::missingInOrder(text, inOrder), QString());
        const QStringList pageTexts = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        const int pages = int(pageTexts.size());
        QVERIFY(pages >= 2);
        // A page torn from the stack still says whose it is.
        for (const QString& page : pageTexts)
            QVERIFY2(page.contains(QStringLiteral("LUNA")), qPrintable(page.left(200)));
        QVERIFY(text.contains(QStringLiteral("Página %1 de %1").arg(pages)));
        QVERIFY(text.contains(QStringLiteral("Visitas anotadas: 30")));
    }
};

QTEST_MAIN(TstReportView)
#include "tst_reportview.moc"
