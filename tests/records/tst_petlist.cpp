// The pets list: every pet in code order, a new pet with the next free code
// through the pet window, Localizar by name, and a deletion that asks first
// and takes the pet's visits, cards and album entries with it, in an order a
// kill at any step cannot leave half done.
#include "support/PetFixture.h"
#include "support/TestMain.h"
#include "support/TestWindows.h"

#include "bound/DBEdit.h"
#include "bound/DBGrid.h"
#include "data/Pets.h"
#include "data/schema/Backup.h"
#include "data/schema/PetRecords.h"
#include "platform/Dialogs.h"
#include "records/Buscar.h"
#include "records/Shared.h"
#include "records/TabMascotas.h"

#include <QLineEdit>
#include <QProcess>

#include <csignal>
#include <sqlite3.h>

using pettest::MessageLog;
using pettest::pet;
using recordtest::click;

namespace {

void exec(const QString& file, const QString& sql)
{
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(file).constData(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error);
    const QString message = QString::fromUtf8(error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
    QVERIFY2(rc == SQLITE_OK, qPrintable(message));
}

int count(const QString& file, const QString& sql)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &statement, nullptr);
    const int result = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return result;
}

// The data module, the pet window and the list, wired as the registry wires
// them, over three pets with records of their own.
class ListProgram : public pettest::PetProgram {
public:
    ListProgram()
    {
        const platform::Window::DeferBuilding defer;
        search = std::make_unique<TFichaBuscar>();
        list = std::make_unique<TFicheroMascotas>(data());
        list->setPetWindow(window.get());
        list->setSearchDialog(search.get());
    }
    ~ListProgram() override
    {
        if (list && list->isVisible())
            list->close();
        list.reset();
        search.reset();
    }

    QString file(const char* name) const { return QDir(dataFolder()).filePath(QString::fromLatin1(name)); }

    // LUNA has 2 visits, a card and 3 photographs; TOBY a visit; KIRA nothing.
    void fillHousehold() const
    {
        setPets({ pet("0000001", "LUNA"), pet("0000002", "TOBY"), pet("0000005", "KIRA") });
        exec(file("SANIDAD.db"),
            "INSERT INTO SANIDAD (CODIGO, DESCRIPCIO) VALUES ('0000001', 'VACUNA'), ('0000001', 'REVISION'), "
            "('0000002', 'VACUNA')");
        exec(file("VACUNAS.db"), "INSERT INTO VACUNAS (CODIGO) VALUES ('0000001')");
        exec(file("ALBUM.DB"),
            QStringLiteral(
                "INSERT INTO ALBUM (CODIGO, CARPETA) VALUES ('0000001', '%1'), ('0000001', 'b.jpg'), "
                "('0000001', 'c.jpg'), ('0000002', 'd.jpg')")
                .arg(picture()));
    }
    QString picture() const { return QDir(dataFolder()).filePath(QStringLiteral("luna.jpg")); }

    // The records of the visits, cards and album, each by the three pets.
    std::vector<int> counts() const
    {
        std::vector<int> result;
        for (const char* name : { "SANIDAD.db", "VACUNAS.db", "ALBUM.DB" }) {
            const QString table = QString::fromLatin1(name).section(QLatin1Char('.'), 0, 0);
            for (const char* code : { "0000001", "0000002", "0000005" })
                result.push_back(count(file(name),
                    QStringLiteral("SELECT COUNT(*) FROM %1 WHERE CODIGO = '%2'").arg(table, code)));
        }
        return result;
    }
    // The same as "visits cards album", each "pet1/pet2/pet5".
    QString childCounts() const
    {
        const std::vector<int> all = counts();
        QStringList parts;
        for (size_t i = 0; i < all.size(); i += 3)
            parts << QStringLiteral("%1/%2/%3").arg(all[i]).arg(all[i + 1]).arg(all[i + 2]);
        return parts.join(QLatin1Char(' '));
    }

    QStringList petCodes() const
    {
        QStringList codes;
        sqlite3* db = nullptr;
        sqlite3_open_v2(
            QFile::encodeName(file("FICMAES.DB")).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, "SELECT CODIGO FROM FICMAES ORDER BY CODIGO", -1, &statement, nullptr);
        while (sqlite3_step(statement) == SQLITE_ROW)
            codes << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return codes;
    }

    std::unique_ptr<TFichaBuscar> search;
    std::unique_ptr<TFicheroMascotas> list;
};

// Answers the questions asked while it lives, and keeps their texts.
struct Answers {
    explicit Answers(bool yes)
    {
        platform::setQuestionHook([this, yes](const QString& title, const QString& text) {
            asked << title + QLatin1Char('|') + text;
            return yes;
        });
    }
    ~Answers() { platform::setQuestionHook({}); }
    QStringList asked;
};

} // namespace

class TestPetList : public QObject {
    Q_OBJECT

private slots:
    void nextCode_data()
    {
        QTest::addColumn<QStringList>("codes");
        QTest::addColumn<QString>("next");
        QTest::newRow("no pets") << QStringList() << "0000001";
        QTest::newRow("after the highest") << QStringList { "0000002", "0000001" } << "0000003";
        QTest::newRow("gaps are not refilled") << QStringList { "0000001", "0000009" } << "0000010";
        QTest::newRow("codes that are no numbers") << QStringList { "P1", "", "0000004" } << "0000005";
        QTest::newRow("short and padded codes") << QStringList { " 12", "7" } << "0000013";
        QTest::newRow("the last code taken") << QStringList { "9999999", "0000001", "0000002" } << "0000003";
        QTest::newRow("only codes that are no numbers") << QStringList { "P1" } << "0000001";
    }

    void nextCode()
    {
        QFETCH(QStringList, codes);
        QFETCH(QString, next);
        QCOMPARE(data::nextPetCode(codes), next);
    }

    // Añadir gives the pet window a new pet with the next code; Aceptar
    // stores it and the list, its tables still open, shows four pets.
    // Modificar then Cancelar leaves a pet as it was. Closing the list
    // closes the tables.
    void addAndModifyThroughThePetWindow()
    {
        ListProgram program;
        program.fillHousehold();
        TFicheroMascotas& list = *program.list;
        recordtest::showActive(&list);
        QCOMPARE(list.DBGrid1->model()->rowCount(), 3);

        boundtest::whenShown(program.window.get(), [&program] {
            QCOMPARE(program.data().TablaMascotasCODIGO->asString(), QStringLiteral("0000006"));
            QTest::keyClicks(program.window->EDITNOM_FAMI, QStringLiteral("nala"));
            click(program.window.get(), "But_Aceptar");
        });
        click(&list, "But_Anadir");
        QVERIFY(!program.window->isVisible());
        QVERIFY(program.data().TablaMascotas->active());
        QVERIFY(program.data().TablaEspecies->active());
        QCOMPARE(program.petCodes(), QStringList({ "0000001", "0000002", "0000005", "0000006" }));
        QCOMPARE(program.storedValue(QStringLiteral("0000006"), QStringLiteral("NOM_FAMI")).toString(),
            QStringLiteral("NALA"));
        QCOMPARE(list.DBGrid1->model()->rowCount(), 4);

        program.data().TablaMascotas->first();
        boundtest::whenShown(program.window.get(), [&program] {
            QTest::keyClicks(program.window->EDITNOM_FAMI, QStringLiteral("otra"));
            click(program.window.get(), "But_Cancelar");
        });
        click(&list, "But_Modificar");
        QCOMPARE(program.storedValue(QStringLiteral("0000001"), QStringLiteral("NOM_FAMI")).toString(),
            QStringLiteral("LUNA"));
        QVERIFY(program.data().TablaMascotas->active());

        click(&list, "But_Salir");
        QVERIFY(!list.isVisible());
        QVERIFY(!program.data().TablaMascotas->active());
        QVERIFY(!program.data().TablaRazas->active());
    }

    void layoutAndCaptions()
    {
        ListProgram program;
        TFicheroMascotas& list = *program.list;
        recordtest::showActive(&list);
        QCOMPARE(list.windowTitle(), QStringLiteral("Todas las Mascotas"));
        QCOMPARE(list.size(), QSize(742, 390));
        const QList<QPair<TDsFancyButton*, QString>> buttons { { list.But_Anadir, "Aña&dir" },
            { list.But_Modificar, "&Modificar" }, { list.But_Ver, "&Ver" }, { list.But_Borrar, "&Borrar" },
            { list.But_Localizar, "&Localizar" }, { list.But_Salir, "&Cerrar" } };
        int right = 0;
        for (const auto& [button, caption] : buttons) {
            QCOMPARE(button->caption(), caption);
            QCOMPARE(button->geometry().top(), 345);
            QVERIFY2(button->geometry().left() > right, qPrintable(caption));
            right = button->geometry().right();
        }
        QVERIFY(right < list.width());
    }

    void locateByName_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("found");
        QTest::newRow("start, any case") << "to"
                                         << "TOBY";
        QTest::newRow("accents ignored") << "Léo"
                                         << "LEÓN";
        QTest::newRow("contained when none starts so") << "IRA"
                                                       << "KIRA";
        QTest::newRow("ñ is its own letter") << "PIÑ"
                                             << "PIÑA";
        QTest::newRow("start before contained") << "LE"
                                                << "LEÓN";
    }

    void locateByName()
    {
        QFETCH(QString, typed);
        QFETCH(QString, found);
        ListProgram program;
        program.setPets({ pet("0000001", "LUNA"), pet("0000002", "TOBY"), pet("0000003", "KIRA"),
            pet("0000004", "PINA"), pet("0000005", "PIÑA"), pet("0000006", "ALEX"), pet("0000007", "LEÓN") });
        recordtest::showActive(program.list.get());
        boundtest::whenShown(program.search.get(), [&program, typed] {
            program.search->TextoBusqueda->setText(typed);
            click(program.search.get(), "But_Aceptar");
        });
        click(program.list.get(), "But_Localizar");
        QCOMPARE(program.data().TablaMascotasNOM_FAMI->asString(), found);
    }

    void locateWithoutMatchSaysSoAndStays()
    {
        ListProgram program;
        program.fillHousehold();
        MessageLog log;
        recordtest::showActive(program.list.get());
        program.data().TablaMascotas->last();
        boundtest::whenShown(program.search.get(), [&program] {
            program.search->TextoBusqueda->setText(QStringLiteral("rex"));
            click(program.search.get(), "But_Aceptar");
        });
        click(program.list.get(), "But_Localizar");
        QCOMPARE(log.messages, QStringList { "No hay ninguna mascota que se llame «rex»." });
        QCOMPARE(program.data().TablaMascotasNOM_FAMI->asString(), QStringLiteral("KIRA"));
    }

    void deletionQuestionText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<QString>("text");
        QTest::newRow("all three, many")
            << "TOBY" << QList<int> { 12, 2, 30 }
            << "¿Borrar la mascota «TOBY»?\n\nCon ella se borrarán sus 12 visitas del "
               "registro sanitario, sus 2 cartillas de vacunación y sus 30 fotografías "
               "del álbum. Los archivos de las fotografías no se borran del disco.";
        QTest::newRow("one of each")
            << "LUNA" << QList<int> { 1, 1, 1 }
            << "¿Borrar la mascota «LUNA»?\n\nCon ella se borrarán su visita del registro "
               "sanitario, su cartilla de vacunación y su fotografía del álbum. Los archivos "
               "de las fotografías no se borran del disco.";
        QTest::newRow("visits alone")
            << "KIRA" << QList<int> { 3, 0, 0 }
            << "¿Borrar la mascota «KIRA»?\n\nCon ella se borrarán sus 3 visitas del "
               "registro sanitario.";
        QTest::newRow("nothing, no name")
            << " " << QList<int> { 0, 0, 0 }
            << "¿Borrar la mascota de código 0000009?\n\nNo tiene visitas, cartilla "
               "de vacunación ni fotografías.";
    }

    void deletionQuestionText()
    {
        QFETCH(QString, name);
        QFETCH(QList<int>, counts);
        QFETCH(QString, text);
        QCOMPARE(TFicheroMascotas::deletionQuestion(
                     name, QStringLiteral("0000009"), counts[0], counts[1], counts[2]),
            text);
    }

    // Declined, nothing changes; accepted, the pet and its own records go,
    // the other pets' records and the picture files stay.
    void deleteAsksThenTakesThePetsRecords()
    {
        ListProgram program;
        program.fillHousehold();
        QFile picture(program.picture());
        QVERIFY(picture.open(QIODevice::WriteOnly));
        picture.close();
        recordtest::showActive(program.list.get());
        const QString before = program.childCounts();
        QCOMPARE(before, QStringLiteral("2/1/0 1/0/0 3/1/0"));
        {
            Answers no(false);
            click(program.list.get(), "But_Borrar");
            QCOMPARE(no.asked,
                QStringList {
                    "Borrar Mascota|¿Borrar la mascota «LUNA»?\n\nCon ella se borrarán sus 2 visitas "
                    "del registro sanitario, su cartilla de vacunación y sus 3 fotografías del álbum. "
                    "Los archivos de las fotografías no se borran del disco." });
        }
        QCOMPARE(program.petCodes().size(), 3);
        QCOMPARE(program.childCounts(), before);
        {
            Answers yes(true);
            click(program.list.get(), "But_Borrar");
        }
        QCOMPARE(program.petCodes(), QStringList({ "0000002", "0000005" }));
        QCOMPARE(program.childCounts(), QStringLiteral("0/1/0 0/0/0 0/1/0"));
        QVERIFY(QFile::exists(program.picture()));
        QCOMPARE(program.list->DBGrid1->model()->rowCount(), 2);
        QCOMPARE(program.data().TablaMascotasNOM_FAMI->asString(), QStringLiteral("TOBY"));
    }

    // The deletion as its own process, killed at each point where a power
    // cut or a kill could fall: the pet is gone or, before the first point,
    // whole; what is left is at most records of the gone pet, never another
    // pet's; the next deletion, or the folder check, removes them.
    void killedAtEveryStep()
    {
        int points = 0;
        for (int killAt = 1;; ++killAt) {
            QVERIFY2(killAt < 20, "the deletion never finished");
            ListProgram program;
            program.fillHousehold();
            QProcess child;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("HLR_TEST_PET_KILL"), QString::number(killAt));
            child.setProcessEnvironment(environment);
            child.start(QStringLiteral(HLR_REMOVE_PET_CHILD), { QStringLiteral("0000001") });
            QVERIFY(child.waitForFinished(30000));
            const bool killed = child.exitStatus() == QProcess::CrashExit;
            if (!killed)
                QVERIFY2(child.exitCode() == 0, child.readAllStandardError().constData());
            QCOMPARE(program.petCodes(), QStringList({ "0000002", "0000005" }));
            // Per table, the gone pet's records are some of its own; the
            // others' are all there.
            const std::vector<int> left = program.counts();
            const std::vector<int> first { 2, 1, 3 };
            for (size_t table = 0; table < 3; ++table) {
                QVERIFY(left[table * 3] <= first[table]);
                QCOMPARE(left[table * 3 + 1], table == 1 ? 0 : 1);
                QCOMPARE(left[table * 3 + 2], 0);
            }
            if (!killed) {
                QCOMPARE(program.childCounts(), QStringLiteral("0/1/0 0/0/0 0/1/0"));
                break;
            }
            ++points;
            // Every other time the next deletion cleans up, else the check.
            if (killAt % 2) {
                program.data().TablaMascotas->open();
                QVERIFY(program.data().TablaMascotas->locate(
                    QStringLiteral("CODIGO"), QStringLiteral("0000005")));
                data::removeCurrentPet(program.data());
                program.data().TablaMascotas->close();
                QCOMPARE(program.childCounts(), QStringLiteral("0/1/0 0/0/0 0/1/0"));
            } else {
                schema::checkFolder(program.dataFolder());
                QCOMPARE(program.childCounts(), QStringLiteral("0/1/0 0/0/0 0/1/0"));
            }
        }
        // After the pet, and after each of the three tables.
        QCOMPARE(points, 4);
    }
};

HLR_TEST_MAIN(TestPetList, WindowsWithEnterAsTab)

#include "tst_petlist.moc"
