// The vaccination card to hand over: a dog's and a cat's, with every field,
// through the shipped report project to PDF, and a pet that has neither a
// card nor visits.
#include "SqliteFile.h"
#include "support/ReportTesting.h"
#include "support/TempFolder.h"
#include "support/TestPaths.h"

#include "Installer.h"
#include "data/PetCard.h"
#include "engine/Field.h"
#include "report/ReportProject.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

class TstPetCard : public QObject {
    Q_OBJECT

    std::unique_ptr<testsupport::TempFolder> m_folder;

    QString printed(const QString& code)
    {
        data::PetCard card = data::readPetCard(m_folder->path(), code);
        report::ReportProject project;
        project.setFileName(QStringLiteral(HLR_BIN_DIR "/sanidad.rpt"));
        project.addDataView(card.pet);
        project.addDataView(card.visits);
        if (!project.selectReport(QStringLiteral("Cartilla")))
            return QStringLiteral("no report");
        const QString pdf = QDir(m_folder->path()).filePath(code + QStringLiteral(".pdf"));
        project.runToFile(pdf, report::ReportFileFormat::Pdf);
        for (const QString& font : testsupport::pdfFontLines(pdf))
            if (!font.contains(QStringLiteral(" yes ")))
                return QStringLiteral("font not embedded: ") + font;
        return testsupport::pdfText(pdf);
    }

private slots:
    void init()
    {
        engine::setShortDateFormat(QStringLiteral("dd/MM/yyyy"));
        m_folder = std::make_unique<testsupport::TempFolder>();
        QString log;
        QTextStream out(&log);
        QCOMPARE(setup::install({ m_folder->path(), m_folder->aliasFile(), false }, out, out), 0);
        SqliteFile pets(m_folder->filePath(QStringLiteral("FICMAES.DB")), true);
        pets.exec(QStringLiteral(
            "UPDATE FICMAES SET NOM_FAMI = 'TOBY', NOM_OFICIA = 'TOBY DE LA VEGA', SEXO = 'M', ESPECIE = "
            "'PERROS', "
            "RAZA = 'BEAGLE', COLOR = 'TRICOLOR', PELO = 'CORTO', MEDIANO = 1, FEC_NAC = '2019-04-03', "
            "CHIP = '941000024680135' WHERE CODIGO = '0000001'"));
        pets.exec(QStringLiteral(
            "UPDATE FICMAES SET NOM_FAMI = 'LUNA', NOM_OFICIA = 'LUNA DEL NORTE', SEXO = 'H', ESPECIE = "
            "'GATOS', "
            "RAZA = 'EUROPEO', COLOR = 'ATIGRADO', PELO = 'LARGO', PEQUENO = 1, FEC_NAC = '2021-11-20', "
            "CHIP = '941000011122233' WHERE CODIGO = '0000002'"));
        pets.exec(QStringLiteral("INSERT INTO FICMAES (CODIGO, NOM_FAMI) VALUES ('0000003', 'KIRA')"));
        SqliteFile cards(m_folder->filePath(QStringLiteral("VACUNAS.db")), true);
        cards.exec(QStringLiteral("INSERT INTO VACUNAS (CODIGO, MOQUILLO_TRIVALENTE, PARVOVIROSI_LEUCEMIA, "
                                  "POLIVALENTE_LEUCEMIA, RABIA, "
                                  "FECHA_1, FECHA_2, FECHA_3, FECHA_4) VALUES ('0000001', 1, 1, 0, 1, "
                                  "'2019-06-01', '2019-07-01', NULL, "
                                  "'2019-09-15'), ('0000002', 1, 0, 0, 0, '2022-01-10', NULL, NULL, NULL)"));
        SqliteFile visits(m_folder->filePath(QStringLiteral("SANIDAD.db")), true);
        // Twelve visits of TOBY: the card shows the ten newest, newest first.
        for (int i = 1; i <= 12; ++i)
            visits.exec(
                QStringLiteral("INSERT INTO SANIDAD (CODIGO, FECHA, DESCRIPCIO, CLINICA, VETERINARIO) "
                               "VALUES ('0000001', ?, ?, 'CLÍNICA SUR', 'DRA. PEÑA')"),
                { QDate(2023, 1, 1).addMonths(i).toString(Qt::ISODate),
                    QStringLiteral("MOTIVO %1").arg(i, 2, 10, QLatin1Char('0')) });
        visits.exec(QStringLiteral(
            "INSERT INTO SANIDAD (CODIGO, FECHA, DESCRIPCIO, CLINICA, VETERINARIO) "
            "VALUES ('0000002', '2022-01-10', 'VACUNA TRIVALENTE', 'VETS CENTRO', 'DR. GIL')"));
    }
    void cleanup()
    {
        m_folder.reset();
        engine::setShortDateFormat({});
    }

    void dogCardHoldsEveryField()
    {
        const QString text = printed(QStringLiteral("0000001"));
        for (const char* expected : { "Cartilla de vacunación", "TOBY DE LA VEGA", "PERROS", "BEAGLE",
                 "Macho", "Mediano", "TRICOLOR", "CORTO", "03/04/2019", "941000024680135",
                 "Moquillo y Parvovirosis", "Parvovirosis", "Polivalente", "Rabia", "01/06/2019",
                 "01/07/2019", "15/09/2019", "CLÍNICA SUR", "DRA. PEÑA", "Página 1 de 1" })
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
        QVERIFY(!text.contains(QStringLiteral("Leucemia")));
        // Newest first, the ten latest only.
        QStringList inOrder;
        for (int i = 12; i >= 3; --i)
            inOrder << QStringLiteral("MOTIVO %1").arg(i, 2, 10, QLatin1Char('0'));
        QCOMPARE(testsupport::missingInOrder(text, inOrder), QString());
        QVERIFY(!text.contains(QStringLiteral("MOTIVO 02")));
        QVERIFY(!text.contains(QStringLiteral("MOTIVO 01")));
        QVERIFY(!text.contains(QStringLiteral("VETS CENTRO")));
        // The ticks, row by row.
        QCOMPARE(testsupport::missingInOrder(text,
                     { "Moquillo y Parvovirosis", "Sí", "Parvovirosis", "Sí", "Polivalente", "No", "Rabia",
                         "Sí" }),
            QString());
    }

    void catCardNamesTheCatsVaccines()
    {
        const QString text = printed(QStringLiteral("0000002"));
        for (const char* expected : { "LUNA DEL NORTE", "GATOS", "EUROPEO", "Hembra", "Pequeño", "ATIGRADO",
                 "LARGO", "20/11/2021", "941000011122233", "Trivalente + Leucemia", "Leucemia", "10/01/2022",
                 "VACUNA TRIVALENTE", "VETS CENTRO", "DR. GIL" })
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
        QVERIFY(!text.contains(QStringLiteral("Moquillo")));
        QVERIFY(!text.contains(QStringLiteral("TOBY")));
    }

    void petWithoutCardOrVisitsPrintsWhatItHas()
    {
        const QString text = printed(QStringLiteral("0000003"));
        QVERIFY(text.contains(QStringLiteral("KIRA")));
        QCOMPARE(text.count(QStringLiteral("Sin anotar")), 4);
        QVERIFY(text.contains(QStringLiteral("No hay visitas anotadas para esta mascota.")));
    }

    // The tool, for scripts: the card to the file named, and the errors with
    // their exit codes, nothing written.
    void fromTheCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("said");
        QTest::newRow("written") << QStringList { "--cartilla", "0000002", "--pdf", "card.pdf" } << 0
                                 << "Cartilla de «LUNA» escrita en";
        QTest::newRow("no such pet") << QStringList { "--cartilla", "0000099", "--pdf", "card.pdf" } << 3
                                     << "no hay ninguna mascota con el código «0000099»";
        QTest::newRow("no file named") << QStringList { "--cartilla", "0000002" } << 2 << "van juntas";
        QTest::newRow("nowhere to write") << QStringList { "--cartilla", "0000002", "--pdf",
            "no-existe/card.pdf" } << 3 << "No se ha escrito la cartilla";
    }
    void fromTheCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, said);
        QProcess tool;
        tool.setWorkingDirectory(m_folder->path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.remove(QStringLiteral("DISPLAY"));
        tool.setProcessEnvironment(environment);
        tool.start(QStringLiteral(HLR_BIN_DIR "/huellario-setup"),
            arguments + QStringList { QStringLiteral("--dir"), m_folder->path() });
        QVERIFY(tool.waitForFinished(60000));
        const QString output = QString::fromUtf8(tool.readAllStandardOutput())
            + QString::fromUtf8(tool.readAllStandardError());
        QCOMPARE(tool.exitCode(), exitCode);
        QVERIFY2(output.contains(said), qPrintable(output));
        const QString pdf = QDir(m_folder->path()).filePath(QStringLiteral("card.pdf"));
        QCOMPARE(QFile::exists(pdf), exitCode == 0);
        if (exitCode == 0)
            QVERIFY(testsupport::pdfText(pdf).contains(QStringLiteral("LUNA DEL NORTE")));
    }

    void unknownCodeFindsNoPet()
    {
        QVERIFY(!data::readPetCard(m_folder->path(), QStringLiteral("0000099")).found);
        QVERIFY(data::readPetCard(m_folder->path(), QStringLiteral("0000003")).found);
    }
};

QTEST_MAIN(TstPetCard)
#include "tst_petcard.moc"
