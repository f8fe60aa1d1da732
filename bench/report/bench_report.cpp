// Times the health register's listing to PDF for 1,000 and 10,000 visits,
// and the 10,000 against writing the same lines of text with QPdfWriter
// straight away, in the same run, as ratios.
#include "../common/BenchTables.h"
#include "data/ReportDataView.h"
#include "engine/AliasRegistry.h"
#include "engine/Database.h"
#include "engine/FieldDef.h"
#include "engine/Table.h"
#include "report/ReportLayout.h"
#include "report/ReportOutput.h"
#include "report/ReportProject.h"

#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <sqlite3.h>

using namespace engine;

namespace {

void exec(sqlite3* db, const QString& sql)
{
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        std::exit(1);
    }
}

// Pets "MIL" and "DIEZMIL" with that many visits each, every field filled.
void fill(const QString& folder)
{
    createTableFile(folder, bench::sanidad());
    createTableFile(folder, bench::mascotas());
    sqlite3* db = nullptr;
    sqlite3_open((folder + QStringLiteral("/SANIDAD.db")).toUtf8().constData(), &db);
    exec(db, QStringLiteral("BEGIN"));
    for (const auto& [code, count] : { std::pair { "MIL", 1000 }, std::pair { "DIEZMIL", 10000 } }) {
        for (int i = 0; i < count; ++i) {
            const QDate day = QDate(2000, 1, 1).addDays(i);
            exec(db,
                QStringLiteral(
                    "INSERT INTO SANIDAD (CODIGO, FECHA, DESCRIPCIO, OBSERVA1, OBSERVA2, MEDICACION, "
                    "VETERINARIO, TRATAMIENTO, PROX_VISITA, CLINICA) VALUES ('%1', '%2', "
                    "'REVISIÓN Y VACUNA NÚMERO %3', 'PESO CORRECTO', 'SIN NOVEDAD', 'MILBEMAX', "
                    "'DRA. GARCÍA', 'DESPARASITACIÓN', '%4', 'CLÍNICA CENTRAL')")
                    .arg(QLatin1String(code), day.toString(Qt::ISODate))
                    .arg(i, 6, 10, QLatin1Char('0'))
                    .arg(day.addYears(1).toString(Qt::ISODate)));
        }
    }
    exec(db, QStringLiteral("COMMIT"));
    sqlite3_close(db);
    sqlite3_open((folder + QStringLiteral("/FICMAES.DB")).toUtf8().constData(), &db);
    exec(db,
        QStringLiteral(
            "INSERT INTO FICMAES (CODIGO, NOM_FAMI) VALUES ('DIEZMIL', 'DIEZ MIL'), ('MIL', 'MIL')"));
    sqlite3_close(db);
}

double millis(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The baseline: the same lines at the same places in the same fonts, one
// drawText each, with nothing read, measured or laid out.
void writeLines(const report::Document& doc, const QString& fileName)
{
    QPdfWriter writer(fileName);
    writer.setResolution(300);
    writer.setPageLayout(doc.layout);
    QPainter painter(&writer);
    const double scale = 300 / 25.4;
    for (size_t p = 0; p < doc.pages.size(); ++p) {
        if (p > 0)
            writer.newPage();
        for (const auto& t : doc.pages[p].texts) {
            painter.setFont(doc.fonts[size_t(t.font)]);
            painter.drawText(QPointF(t.x * scale, t.baseline * scale), t.text);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int repeat = 5;
    QString project = QCoreApplication::applicationDirPath() + QStringLiteral("/sanidad.rpt");
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "--repeat") == 0)
            repeat = std::max(1, atoi(argv[i + 1]));
        if (qstrcmp(argv[i], "--project") == 0)
            project = QString::fromLocal8Bit(argv[i + 1]);
    }
    engine::setShortDateFormat(QStringLiteral("dd/MM/yyyy"));
    QTemporaryDir dir;
    qputenv("HLR_ALIASES", QFile::encodeName(dir.filePath(QStringLiteral("aliases.conf"))));
    AliasRegistry().setFolder(QStringLiteral("HLR10"), dir.path());
    fill(dir.path());
    Database db(QStringLiteral("DbGeneral"), QStringLiteral("HLR10"));
    db.open();
    Table pets(db, QStringLiteral("TablaMascotas"), QStringLiteral("FICMAES.DB"));
    pets.setIndexFieldNames(QStringLiteral("CODIGO"));
    pets.open();
    Table visits(db, QStringLiteral("TablaSanidad"), QStringLiteral("SANIDAD.db"));
    visits.setIndexFieldNames(QStringLiteral("CODIGO"));
    visits.open();
    data::ReportDataView petsView(QStringLiteral("RvTablaMascotas"), pets);
    data::ReportDataView visitsView(QStringLiteral("RvTablaSanidad"), visits);

    report::ReportProject listing;
    listing.setFileName(project);
    listing.addDataView(petsView);
    listing.addDataView(visitsView);
    listing.selectReport(QStringLiteral("Registro"));

    auto choose = [&](const char* code) {
        visits.setFilter(QStringLiteral("CODIGO = '%1'").arg(QLatin1String(code)));
        visits.setFiltered(true);
        pets.locate(QStringLiteral("CODIGO"), QString::fromLatin1(code));
    };
    const QString out = dir.filePath(QStringLiteral("listado.pdf"));
    std::vector<double> small, large, direct, directSmall, layoutLarge;
    choose("MIL");
    const auto docSmall = report::layoutReport(*listing.activeReport(), { &petsView, &visitsView });
    choose("DIEZMIL");
    const auto doc = report::layoutReport(*listing.activeReport(), { &petsView, &visitsView });
    for (int i = 0; i < repeat; ++i) {
        choose("MIL");
        small.push_back(millis([&] { listing.runToFile(out, report::ReportFileFormat::Pdf); }));
        choose("DIEZMIL");
        large.push_back(millis([&] { listing.runToFile(out, report::ReportFileFormat::Pdf); }));
        direct.push_back(millis([&] { writeLines(*doc, out); }));
        directSmall.push_back(millis([&] { writeLines(*docSmall, out); }));
        layoutLarge.push_back(millis([&] {
            report::layoutReport(*listing.activeReport(), { &petsView, &visitsView });
        }));
    }
    const double s = median(small), l = median(large), d = median(direct);
    std::printf("%-40s %10.1f ms\n", "listing of 1,000 visits", s);
    std::printf("%-40s %10.1f ms (%zu pages)\n", "listing of 10,000 visits", l, doc->pages.size());
    std::printf("%-40s %10.1f ms\n", "same lines through QPdfWriter", d);
    std::printf("%-40s %10.1f ms\n", "QPdfWriter, 1,000", median(directSmall));
    std::printf("%-40s %10.1f ms\n", "layout only, 10,000", median(layoutLarge));
    const double linear = l / s, overhead = l / d;
    std::printf(
        "%-40s %10.2f  (goal <= 11: %s)\n", "10,000 / 1,000", linear, linear <= 11 ? "met" : "NOT met");
    std::printf("%-40s %10.2f  (goal <= 3: %s)\n", "10,000 / QPdfWriter", overhead,
        overhead <= 3 ? "met" : "NOT met");
    // Figures only: a busy machine must not turn them into a failure.
    return 0;
}
