// The table's operations and states, moving, order, field access and its
// notifications.
#include "EngineFixture.h"
#include "engine/SchemaSql.h"

#include <QApplication>
#include <QRandomGenerator>

#include <algorithm>
#include <sqlite3.h>

using namespace enginetest;

std::unique_ptr<QObject> makeTableLinksTest();

class TestTable : public QObject {
    Q_OBJECT
private slots:
    void init() { setShortDateFormat(QStringLiteral("dd/MM/yyyy")); }

    void operations_data();
    void operations();
    void moving();
    void emptyTableIsAtItsEnd();
    void equalKeysInRowidOrderAndPostGoesToIndexPlace();
    void noCaseSecondKeyField();
    void spanishOrder();
    void spanishOrderKeptByEveryChange();
    void cancelOfInsertReturnsToPreviousRecord();
    void openKeepsPositionCloseDropsChanges();
    void textValues();
    void textSizesCountCharacters_data();
    void textSizesCountCharacters();
    void dates_data();
    void dates();
    void emptyDateReadsDayZero();
    void logicalValues();
    void changeHandlerFiresOnEveryStoreBeforeDataChange();
    void postAsksControlsForPendingTextFirst();
    void failingUpdateHandlerKeepsEditState();
    void rowsChangedComesBeforeDataChange();
    void disabledControlsHearNothingUntilEnabled();
    void autoEditForTyping();
    void gridReadsRowsWithoutMoving();
    void unknownIndexIsAnError();
    void fieldsOfTheFileWhenNoneDeclared();
    void declaredFieldMissingFromFile();
};

namespace {

enum class Start { Browse, EmptyBrowse, Edit, EditChanged, Insert };
enum class Op { Post, Cancel, Edit, Append, Delete, Next, StoreText, StoreCounter };

} // namespace

void TestTable::operations_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("op");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("records"); // in the file afterwards
    QTest::addColumn<QString>("error");

    const auto row = [](const char* name, Start s, Op o, TableState st, int records, const char* error = "") {
        QTest::newRow(name) << int(s) << int(o) << int(st) << records << QString::fromUtf8(error);
    };
    const char* notEditing = "TablaMascotas: Dataset not in edit or insert mode";
    row("post in browse", Start::Browse, Op::Post, TableState::Browse, 2, notEditing);
    row("store in browse", Start::Browse, Op::StoreText, TableState::Browse, 2, notEditing);
    row("cancel in browse", Start::Browse, Op::Cancel, TableState::Browse, 2);
    row("edit in browse", Start::Browse, Op::Edit, TableState::Edit, 2);
    row("edit in edit", Start::EditChanged, Op::Edit, TableState::Edit, 2);
    row("edit in insert", Start::Insert, Op::Edit, TableState::Insert, 2);
    row("edit on empty starts insert", Start::EmptyBrowse, Op::Edit, TableState::Insert, 0);
    row("post in edit", Start::EditChanged, Op::Post, TableState::Browse, 2);
    row("post in insert", Start::Insert, Op::Post, TableState::Browse, 3);
    row("cancel in edit", Start::EditChanged, Op::Cancel, TableState::Browse, 2);
    row("cancel in insert", Start::Insert, Op::Cancel, TableState::Browse, 2);
    row("append posts a changed record", Start::EditChanged, Op::Append, TableState::Insert, 2);
    row("append cancels an unchanged edit", Start::Edit, Op::Append, TableState::Insert, 2);
    row("append posts a changed insert", Start::Insert, Op::Append, TableState::Insert, 3);
    row("delete in browse", Start::Browse, Op::Delete, TableState::Browse, 1);
    row("delete on empty", Start::EmptyBrowse, Op::Delete, TableState::Browse, 0,
        "TablaMascotas: Cannot perform this operation on an empty dataset");
    row("next posts a pending change", Start::EditChanged, Op::Next, TableState::Browse, 2);
    row("counter is read-only", Start::Insert, Op::StoreCounter, TableState::Insert, 2,
        "TablaMascotas: Field 'CONTADOR' cannot be modified");
}

void TestTable::operations()
{
    QFETCH(int, start);
    QFETCH(int, op);
    QFETCH(int, state);
    QFETCH(int, records);
    QFETCH(QString, error);

    Folder f;
    auto pets = f.pets();
    pets->open();
    if (Start(start) != Start::EmptyBrowse) {
        add(*pets, { { "CODIGO", "A" }, { "NOM_FAMI", "Luna" } });
        add(*pets, { { "CODIGO", "B" }, { "NOM_FAMI", "Toby" } });
        pets->first();
    }
    switch (Start(start)) {
    case Start::Edit:
        pets->edit();
        break;
    case Start::EditChanged:
        pets->edit();
        pets->field("NOM_FAMI").setAsString(QStringLiteral("Cambiado"));
        break;
    case Start::Insert:
        pets->append();
        pets->field("CODIGO").setAsString(QStringLiteral("C"));
        break;
    default:
        break;
    }

    const QString actual = errorOf([&] {
        switch (Op(op)) {
        case Op::Post:
            pets->post();
            break;
        case Op::Cancel:
            pets->cancel();
            break;
        case Op::Edit:
            pets->edit();
            break;
        case Op::Append:
            pets->append();
            break;
        case Op::Delete:
            pets->remove();
            break;
        case Op::Next:
            pets->next();
            break;
        case Op::StoreText:
            pets->field("NOM_FAMI").setAsString(QStringLiteral("x"));
            break;
        case Op::StoreCounter:
            pets->field("CONTADOR").setValue(7);
            break;
        }
    });
    QCOMPARE(actual, error);
    QCOMPARE(int(pets->state()), state);

    // What reached the file, seen through a second table.
    auto check = f.pets(QStringLiteral("Otra"));
    check->open();
    QCOMPARE(check->recordCount(), records);
    const bool changedStored = column(*check, "NOM_FAMI").contains(QStringLiteral("Cambiado"));
    const bool shouldBeStored = Start(start) == Start::EditChanged
        && (Op(op) == Op::Post || Op(op) == Op::Append || Op(op) == Op::Next);
    QCOMPARE(changedStored, shouldBeStored);
}

void TestTable::moving()
{
    Folder f;
    auto pets = f.pets();
    pets->open();
    for (const char* code : { "C", "A", "B" })
        add(*pets, { { "CODIGO", code } });
    pets->first();
    QVERIFY(pets->bof());
    QVERIFY(!pets->eof());
    QCOMPARE(pets->field("CODIGO").asString(), QStringLiteral("A"));
    pets->next();
    QCOMPARE(pets->field("CODIGO").asString(), QStringLiteral("B"));
    QVERIFY(!pets->eof());
    pets->next();
    QCOMPARE(pets->field("CODIGO").asString(), QStringLiteral("C"));
    QVERIFY(!pets->eof());
    pets->next(); // on the last: the end flag, and it stays
    QVERIFY(pets->eof());
    QCOMPARE(pets->field("CODIGO").asString(), QStringLiteral("C"));
    pets->first();
    QVERIFY(!pets->eof());
    pets->last();
    QCOMPARE(pets->field("CODIGO").asString(), QStringLiteral("C"));
    QVERIFY(pets->eof());
    pets->prior();
    QCOMPARE(pets->field("CODIGO").asString(), QStringLiteral("B"));
    QCOMPARE(pets->rowIndex(), 1);

    int seen = 0;
    for (pets->first(); !pets->eof(); pets->next())
        ++seen;
    QCOMPARE(seen, 3);
}

void TestTable::emptyTableIsAtItsEnd()
{
    Folder f;
    auto pets = f.pets();
    pets->open();
    QVERIFY(pets->isEmpty());
    QVERIFY(pets->eof());
    pets->next();
    pets->last();
    QVERIFY(pets->eof());
    QVERIFY(pets->field("CODIGO").isNull());
    QCOMPARE(pets->rowIndex(), -1);
}

void TestTable::equalKeysInRowidOrderAndPostGoesToIndexPlace()
{
    Folder f;
    auto species = f.species();
    species->open();
    add(*species, { { "CODIGO", "P" }, { "DESCRIPCION", "primero" } });
    add(*species, { { "CODIGO", "G" }, { "DESCRIPCION", "gatos" } });
    add(*species, { { "CODIGO", "P" }, { "DESCRIPCION", "segundo" } });
    QCOMPARE(column(*species, "DESCRIPCION"), (QStringList { "gatos", "primero", "segundo" }));
    // After post the cursor is on the posted record, in its index place.
    QCOMPARE(species->field("DESCRIPCION").asString(), QStringLiteral("segundo"));
    QCOMPARE(species->rowIndex(), 2);

    species->first();
    species->edit();
    species->field("CODIGO").setAsString(QStringLiteral("Z"));
    species->post();
    QCOMPARE(column(*species, "CODIGO"), (QStringList { "P", "P", "Z" }));
    QCOMPARE(species->rowIndex(), 2);
    QCOMPARE(species->field("DESCRIPCION").asString(), QStringLiteral("gatos"));
}

void TestTable::noCaseSecondKeyField()
{
    Folder f;
    auto visits = f.visits();
    visits->open();
    for (const char* reason : { "vacuna", "Análisis", "REVISIÓN", "desparasitar", "Baño" })
        add(*visits, { { "CODIGO", "A" }, { "DESCRIPCIO", reason } });
    add(*visits, { { "CODIGO", "0" }, { "DESCRIPCIO", "zzz" } });
    QCOMPARE(column(*visits, "DESCRIPCIO"),
        (QStringList { "zzz", "Análisis", "Baño", "desparasitar", "REVISIÓN", "vacuna" }));
    QCOMPARE(visits->indexFields(), (QStringList { "CODIGO", "DESCRIPCIO" }));
}

namespace {

// Clinics ordered by name as a Spanish reader expects.
TableDef clinicsDef()
{
    return { QStringLiteral("VETERIN.DB"), QStringLiteral("VETERIN"),
        { counter("CONTADOR"), text("CLINICA", 50) },
        { { QStringLiteral("VETERIN_CLINICA"), { { QStringLiteral("CLINICA"), TextOrder::Spanish } } } } };
}

// The order a Spanish reader gives, written out independently of the
// engine: accents with their letter, Ñ after N, case ignored, blanks and
// signs first; equal names in the order they were written.
QStringList spanishSorted(QStringList names)
{
    const auto key = [](const QString& name) {
        QString folded;
        for (const QChar c : name) {
            const QString plain = QString(c).normalized(QString::NormalizationForm_D);
            if (c.toLower() == QChar(u'ñ'))
                folded += QStringLiteral("n\x7f");
            else if (QStringLiteral("áàéèíóòúüçÁÀÉÈÍÓÒÚÜÇ").contains(c))
                folded += plain.at(0).toLower();
            else
                folded += c.unicode() < 128 ? c.toLower() : c;
        }
        return folded.toUtf8();
    };
    std::stable_sort(
        names.begin(), names.end(), [&](const QString& a, const QString& b) { return key(a) < key(b); });
    return names;
}

} // namespace

void TestTable::spanishOrder()
{
    Folder f;
    createTableFile(f.folder.path(), clinicsDef());
    Table clinics(f.db, QStringLiteral("TablaVeterinarios"), QStringLiteral("VETERIN.DB"));
    clinics.setIndexFieldNames(QStringLiteral("CLINICA"));
    clinics.open();
    const QStringList names { "ZOOVET", "CLÍNICA ÉLITE", "clinica minusculas", "ÁGUILA", "ÑANDÚ", "NUTRIA",
        "OSO", "ÚLCERA", "VACUNACIÓN", "ESTERILIZACIÓN", "ÁCAROS", "Niño", "NINO", "ÇA", "CA", "CZ",
        "VACUNA_B", "VACUNA 2" };
    for (const QString& name : names)
        add(clinics, { { "CLINICA", name } });
    const QStringList expected { "ÁCAROS", "ÁGUILA", "ÇA", "CA", "CLÍNICA ÉLITE", "clinica minusculas", "CZ",
        "ESTERILIZACIÓN", "NINO", "Niño", "NUTRIA", "ÑANDÚ", "OSO", "ÚLCERA", "VACUNA 2", "VACUNA_B",
        "VACUNACIÓN", "ZOOVET" };
    QCOMPARE(column(clinics, "CLINICA"), expected);
    QCOMPARE(spanishSorted(names), expected);
    // Read afresh, the file's own index gives the same.
    clinics.close();
    clinics.open();
    QCOMPARE(column(clinics, "CLINICA"), expected);

    // The beginning of a name finds it, typed in any case and without accents.
    for (const auto& [typed, found] : std::vector<std::pair<QString, QString>> { { "acaros", "ÁCAROS" },
             { "ÁGU", "ÁGUILA" }, { "clinica m", "clinica minusculas" }, { "ñ", "ÑANDÚ" }, { "nu", "NUTRIA" },
             { "úl", "ÚLCERA" }, { "ulc", "ÚLCERA" }, { "vacunacion", "VACUNACIÓN" }, { "zz", "" } }) {
        clinics.findNearest({ typed });
        QCOMPARE(clinics.eof() && found.isEmpty() ? QString() : clinics.field("CLINICA").asString(),
            found.isEmpty() ? QString() : found);
    }
}

// Records added, renamed and deleted land where a fresh read of the file puts
// them, for names of every kind.
void TestTable::spanishOrderKeptByEveryChange()
{
    Folder f;
    createTableFile(f.folder.path(), clinicsDef());
    Table clinics(f.db, QStringLiteral("TablaVeterinarios"), QStringLiteral("VETERIN.DB"));
    clinics.setIndexFieldNames(QStringLiteral("CLINICA"));
    clinics.open();
    const QString letters = QStringLiteral("aAáÁàeEéÉèiIíÍoOóÓòuUúÚüÜnNñÑcCçÇzZ _-.1ß€");
    QRandomGenerator random(7);
    QStringList names;
    for (int i = 0; i < 300; ++i) {
        QString name;
        for (int n = 1 + int(random.bounded(6)); n > 0; --n)
            name += letters.at(int(random.bounded(letters.size())));
        names << name.trimmed();
        add(clinics, { { "CLINICA", names.back() } });
        if (i % 10 == 0) {
            clinics.moveToRow(int(random.bounded(clinics.recordCount())));
            clinics.edit();
            clinics.field("CLINICA").setAsString(name + QStringLiteral("ñ"));
            clinics.post();
        }
        if (i % 17 == 0) {
            clinics.moveToRow(int(random.bounded(clinics.recordCount())));
            clinics.remove();
        }
    }
    const QStringList afterChanges = column(clinics, "CLINICA");
    clinics.close();
    clinics.open();
    QCOMPARE(afterChanges, column(clinics, "CLINICA"));
    QCOMPARE(spanishSorted(afterChanges), afterChanges);

    // The key searches compare is the one the index computes.
    sqlite3* db = nullptr;
    QCOMPARE(sqlite3_open(":memory:", &db), SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    const QByteArray sql = "SELECT " + schema::spanishKeySql(QStringLiteral("?1")).toUtf8();
    QCOMPARE(sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr), SQLITE_OK);
    for (const QString& name : afterChanges) {
        const QByteArray utf8 = name.toUtf8();
        sqlite3_bind_text(stmt, 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        QCOMPARE(sqlite3_step(stmt), SQLITE_ROW);
        QCOMPARE(
            spanishKey(name), QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0))));
        sqlite3_reset(stmt);
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
}

void TestTable::cancelOfInsertReturnsToPreviousRecord()
{
    Folder f;
    auto pets = f.pets();
    pets->open();
    for (const char* code : { "A", "B", "C" })
        add(*pets, { { "CODIGO", code } });
    pets->first();
    pets->next();
    pets->append();
    QCOMPARE(pets->rowIndex(), -1);
    QVERIFY(!pets->isEmpty());
    pets->field("CODIGO").setAsString(QStringLiteral("X"));
    pets->cancel();
    QCOMPARE(pets->field("CODIGO").asString(), QStringLiteral("B"));
    QCOMPARE(pets->recordCount(), 3);
}

void TestTable::openKeepsPositionCloseDropsChanges()
{
    Folder f;
    auto pets = f.pets();
    pets->open();
    for (const char* code : { "A", "B", "C" })
        add(*pets, { { "CODIGO", code }, { "NOM_FAMI", "sin cambiar" } });
    pets->first();
    pets->next();
    int opened = 0;
    const ScopedConnection hear = pets->onDataChanged([&](Field*) { ++opened; });
    pets->open();
    QCOMPARE(pets->field("CODIGO").asString(), QStringLiteral("B"));
    QCOMPARE(opened, 0);

    pets->edit();
    pets->field("NOM_FAMI").setAsString(QStringLiteral("perdido"));
    pets->close();
    QCOMPARE(pets->state(), TableState::Inactive);
    QVERIFY(pets->field("NOM_FAMI").isNull());
    pets->close();
    pets->open();
    QCOMPARE(pets->field("CODIGO").asString(), QStringLiteral("A"));
    QVERIFY(!column(*pets, "NOM_FAMI").contains(QStringLiteral("perdido")));
}

void TestTable::textValues()
{
    Folder f;
    auto pets = f.pets();
    pets->open();
    pets->append();
    Field& code = pets->field("CODIGO");
    code.setAsString(QStringLiteral("ABCDEFGHIJ"));
    QCOMPARE(code.asString(), QStringLiteral("ABCDEFG")); // cut to its size
    code.setAsString(QString());
    QVERIFY(code.isNull());
    pets->field("NOM_FAMI").setAsString(QStringLiteral("Ñandú «el bueno»"));
    pets->post();
    auto other = f.pets(QStringLiteral("Otra"));
    other->open();
    QCOMPARE(other->field("NOM_FAMI").asString(), QStringLiteral("Ñandú «el bueno»"));
    QVERIFY(other->field("CODIGO").isNull()); // the empty text went in as NULL
    QCOMPARE(other->field("CONTADOR").value().toLongLong(), 1);
    QCOMPARE(errorOf([&] { other->field("NOEXISTE"); }), QStringLiteral("Otra: Field 'NOEXISTE' not found"));
}

void TestTable::textSizesCountCharacters_data()
{
    // NOM_FAMI holds 50 characters; "😀" is one character, two UTF-16 units.
    const QString smile = QStringLiteral("😀");
    const QString a49 = QString(49, QLatin1Char('a'));
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::newRow("emoji as 50th character") << a49 + smile << a49 + smile;
    QTest::newRow("emoji as 51st character")
        << a49 + QStringLiteral("b") + smile << a49 + QStringLiteral("b");
    QTest::newRow("fifty emoji") << smile.repeated(50) << smile.repeated(50);
    QTest::newRow("fifty-one emoji") << smile.repeated(51) << smile.repeated(50);
    QTest::newRow("two-byte letters") << QStringLiteral("ñ").repeated(51) << QStringLiteral("ñ").repeated(50);
}

void TestTable::textSizesCountCharacters()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    Folder f;
    auto pets = f.pets();
    pets->open();
    pets->append();
    pets->field("NOM_FAMI").setAsString(typed);
    QCOMPARE(pets->field("NOM_FAMI").asString(), stored);
    pets->post(); // the file's own check agrees
    auto other = f.pets(QStringLiteral("Otra"));
    other->open();
    QCOMPARE(other->field("NOM_FAMI").asString(), stored);
}

void TestTable::dates_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QDate>("expected"); // invalid: refused

    QTest::newRow("day first") << "dd/MM/yyyy"
                               << "05/02/2024" << QDate(2024, 2, 5);
    QTest::newRow("month first") << "MM/dd/yyyy"
                                 << "05/02/2024" << QDate(2024, 5, 2);
    QTest::newRow("leading blanks") << "dd/MM/yyyy"
                                    << " 1/ 2/2024" << QDate(2024, 2, 1);
    QTest::newRow("leap day") << "dd/MM/yyyy"
                              << "29/02/2024" << QDate(2024, 2, 29);
    QTest::newRow("31 February") << "dd/MM/yyyy"
                                 << "31/02/2024" << QDate();
    QTest::newRow("month 13") << "dd/MM/yyyy"
                              << "01/13/2024" << QDate();
    QTest::newRow("blank year") << "dd/MM/yyyy"
                                << "01/02/    " << QDate();
    QTest::newRow("iso text") << "dd/MM/yyyy"
                              << "2024-02-01" << QDate();
    QTest::newRow("words") << "dd/MM/yyyy"
                           << "mañana" << QDate();
}

void TestTable::dates()
{
    QFETCH(QString, format);
    QFETCH(QString, typed);
    QFETCH(QDate, expected);
    setShortDateFormat(format);
    Folder f;
    auto pets = f.pets();
    pets->open();
    pets->append();
    Field& birth = pets->field("FEC_NAC");
    const QString error = errorOf([&] { birth.setAsString(typed); });
    if (!expected.isValid()) {
        QCOMPARE(error, QStringLiteral("'%1' is not a valid date").arg(typed));
        QVERIFY(birth.isNull());
        return;
    }
    QCOMPARE(error, QString());
    QCOMPARE(birth.asDate(), expected);
    QCOMPARE(birth.asString(), expected.toString(format));
    pets->post();
    auto other = f.pets(QStringLiteral("Otra"));
    other->open();
    QCOMPARE(other->field("FEC_NAC").asDate(), expected);
}

void TestTable::emptyDateReadsDayZero()
{
    Folder f;
    auto pets = f.pets();
    pets->open();
    QCOMPARE(pets->field("FEC_NAC").asDate(), QDate(1899, 12, 30)); // no record at all
    pets->append();
    pets->field("FEC_NAC").setAsDate(QDate(2024, 1, 1));
    pets->field("FEC_NAC").setAsString(QStringLiteral("   "));
    QVERIFY(pets->field("FEC_NAC").isNull());
    QCOMPARE(pets->field("FEC_NAC").asDate(), dayZero());
    QVERIFY(dayZero() < QDate(1900, 1, 1));
    QCOMPARE(pets->field("FEC_NAC").asString(), QString());
}

void TestTable::logicalValues()
{
    Folder f;
    auto pets = f.pets();
    pets->open();
    pets->append();
    Field& big = pets->field("GRANDE");
    QVERIFY(!big.asBoolean());
    QCOMPARE(big.asString(), QString());
    big.setAsBoolean(true);
    QCOMPARE(big.asString(), QStringLiteral("True"));
    big.setAsString(QStringLiteral("False"));
    QCOMPARE(big.asString(), QStringLiteral("False"));
    QCOMPARE(errorOf([&] { big.setAsString(QStringLiteral("quizá")); }),
        QStringLiteral("'quizá' is not a valid boolean value"));
    big.setAsBoolean(true);
    pets->post();
    auto other = f.pets(QStringLiteral("Otra"));
    other->open();
    QVERIFY(other->field("GRANDE").asBoolean());
}

void TestTable::changeHandlerFiresOnEveryStoreBeforeDataChange()
{
    Folder f;
    auto pets = f.pets();
    pets->open();
    QStringList events;
    pets->field("NOM_FAMI").setOnChange([&](Field& field) {
        events << QStringLiteral("handler ") + field.asString();
    });
    const ScopedConnection hear = pets->onDataChanged([&](Field* field) {
        events << (field ? QStringLiteral("change ") + field->name() : QStringLiteral("change"));
    });
    pets->append();
    events.clear();
    pets->field("NOM_FAMI").setAsString(QStringLiteral("Luna"));
    pets->field("NOM_FAMI").setAsString(QStringLiteral("Luna")); // the same value fires again
    QCOMPARE(events, (QStringList { "handler Luna", "change NOM_FAMI", "handler Luna", "change NOM_FAMI" }));
}

void TestTable::postAsksControlsForPendingTextFirst()
{
    Folder f;
    auto pets = f.pets();
    pets->open();
    // A bound box writes what was typed when post asks for it.
    const ScopedConnection hear = pets->onUpdateRecord(
        [&] { pets->field("NOM_FAMI").setAsString(QStringLiteral("escrito al final")); });
    pets->append();
    pets->field("CODIGO").setAsString(QStringLiteral("A"));
    pets->post();
    QCOMPARE(pets->field("NOM_FAMI").asString(), QStringLiteral("escrito al final"));
    auto other = f.pets(QStringLiteral("Otra"));
    other->open();
    QCOMPARE(other->field("NOM_FAMI").asString(), QStringLiteral("escrito al final"));
}

void TestTable::failingUpdateHandlerKeepsEditState()
{
    Folder f;
    auto pets = f.pets();
    pets->open();
    const ScopedConnection hear
        = pets->onUpdateRecord([] { throw EngineError(QStringLiteral("'1/1/' is not a valid date")); });
    pets->append();
    pets->field("CODIGO").setAsString(QStringLiteral("A"));
    QCOMPARE(errorOf([&] { pets->post(); }), QStringLiteral("'1/1/' is not a valid date"));
    QCOMPARE(pets->state(), TableState::Insert);
    QCOMPARE(pets->field("CODIGO").asString(), QStringLiteral("A"));
    QCOMPARE(pets->recordCount(), 0);
}

void TestTable::rowsChangedComesBeforeDataChange()
{
    Folder f;
    auto pets = f.pets();
    QStringList events;
    const ScopedConnection hearRows = pets->onRowsChanged([&] { events << QStringLiteral("rows"); });
    const ScopedConnection hearState = pets->onStateChanged([&] { events << QStringLiteral("state"); });
    const ScopedConnection hearData = pets->onDataChanged([&](Field* fld) {
        if (!fld)
            events << QStringLiteral("data");
    });
    pets->open();
    QCOMPARE(events, (QStringList { "state", "rows", "data" }));
    events.clear();
    add(*pets, { { "CODIGO", "A" } });
    QCOMPARE(events, (QStringList { "state", "rows", "data", "state", "rows", "data" }));
    events.clear();
    pets->remove();
    QCOMPARE(events, (QStringList { "rows", "data" }));
}

void TestTable::disabledControlsHearNothingUntilEnabled()
{
    Folder f;
    auto pets = f.pets();
    pets->open();
    int signals_ = 0;
    int rows = 0;
    const ScopedConnection hearData = pets->onDataChanged([&](Field*) { ++signals_; });
    const ScopedConnection hearState = pets->onStateChanged([&] { ++signals_; });
    const ScopedConnection hearRows = pets->onRowsChanged([&] { ++rows; });
    pets->disableControls();
    pets->disableControls();
    for (const char* code : { "A", "B", "C" })
        add(*pets, { { "CODIGO", code } });
    pets->first();
    pets->next();
    pets->enableControls();
    QCOMPARE(signals_ + rows, 0);
    QVERIFY(pets->controlsDisabled());
    pets->enableControls();
    QCOMPARE(rows, 1);
    QCOMPARE(signals_, 1); // one data change, the state is browse as before
    QCOMPARE(pets->field("CODIGO").asString(), QStringLiteral("B"));
}

void TestTable::autoEditForTyping()
{
    Folder f;
    auto pets = f.pets();
    DataSource source(QStringLiteral("SourceMascotas"), *pets);
    QVERIFY(!source.editForTyping()); // closed
    pets->open();
    add(*pets, { { "CODIGO", "A" } });
    int state = 0;
    const ScopedConnection hear = source.onStateChange([&] { ++state; });
    QVERIFY(source.editForTyping());
    QCOMPARE(pets->state(), TableState::Edit);
    QCOMPARE(state, 1);
    pets->cancel();
    source.setAutoEdit(false);
    QVERIFY(!source.editForTyping());
    QCOMPARE(pets->state(), TableState::Browse);
    pets->append();
    QVERIFY(source.editForTyping());
}

void TestTable::gridReadsRowsWithoutMoving()
{
    Folder f;
    auto pets = f.pets();
    pets->open();
    for (int i = 0; i < 30; ++i)
        add(*pets,
            { { "CODIGO", QStringLiteral("P%1").arg(i, 2, 10, QLatin1Char('0')) },
                { "GRANDE", i % 2 ? "True" : "False" } });
    pets->moveToRow(12);
    QCOMPARE(pets->rowIndex(), 12);
    const auto rows = pets->readRows(10, 5, { QStringLiteral("CODIGO"), QStringLiteral("GRANDE") });
    QCOMPARE(int(rows.size()), 5);
    QCOMPARE(rows[0].value(0).toString(), QStringLiteral("P10"));
    QCOMPARE(rows[1].value(1).toBool(), true);
    QCOMPARE(pets->rowIndex(), 12);
    QCOMPARE(int(pets->readRows(28, 10, { QStringLiteral("CODIGO") }).size()), 2);
    QCOMPARE(int(pets->readRows(40, 10, { QStringLiteral("CODIGO") }).size()), 0);
    QCOMPARE(pets->recordCount(), 30);
}

void TestTable::unknownIndexIsAnError()
{
    Folder f;
    Table byName(f.db, QStringLiteral("TablaMascotas"), QStringLiteral("FICMAES.DB"));
    byName.setIndexName(QStringLiteral("NOEXISTE"));
    QVERIFY(errorOf([&] { byName.open(); }).contains(QStringLiteral("NOEXISTE")));
    QVERIFY(!byName.active());
    Table byField(f.db, QStringLiteral("TablaMascotas"), QStringLiteral("FICMAES.DB"));
    byField.setIndexFieldNames(QStringLiteral("NOM_FAMI"));
    QVERIFY(errorOf([&] { byField.open(); }).startsWith(QStringLiteral("TablaMascotas: ")));
    // The counter orders by itself.
    Table byCounter(f.db, QStringLiteral("TablaMascotas"), QStringLiteral("FICMAES.DB"));
    byCounter.setIndexFieldNames(QStringLiteral("CONTADOR"));
    byCounter.open();
    QCOMPARE(byCounter.indexFields(), QStringList { QStringLiteral("CONTADOR") });
}

void TestTable::fieldsOfTheFileWhenNoneDeclared()
{
    Folder f;
    auto pets = f.pets();
    pets->open();
    QCOMPARE(int(pets->fields().size()), int(petsDef().fields.size()));
    QCOMPARE(pets->field("FEC_NAC").kind(), FieldKind::Date);
    QCOMPARE(pets->field("NOM_FAMI").size(), 50);
}

void TestTable::declaredFieldMissingFromFile()
{
    Folder f;
    Table pets(f.db, QStringLiteral("TablaMascotas"), QStringLiteral("FICMAES.DB"));
    pets.addField(text("CODIGO", 7));
    pets.addField(text("INVENTADO", 10));
    const QString error = errorOf([&] { pets.open(); });
    QVERIFY2(
        error.contains(QStringLiteral("INVENTADO")) && error.contains(f.path(QStringLiteral("FICMAES.DB"))),
        qPrintable(error));
    QVERIFY(!pets.active());
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int status = 0;
    {
        TestTable test;
        status |= QTest::qExec(&test, argc, argv);
    }
    {
        const std::unique_ptr<QObject> links = makeTableLinksTest();
        status |= QTest::qExec(links.get(), argc, argv);
    }
    return status;
}

#include "tst_Table.moc"
