// Restricting and searching a table: master link, filter, find nearest,
// locate, and emptying it alone.
#include "EngineFixture.h"

using namespace enginetest;

class TestTableLinks : public QObject {
    Q_OBJECT
private slots:
    void detailShowsOnlyTheCurrentPet();
    void detailFollowsTheMasterAtOnceFromItsFirstRecord();
    void appendedDetailReceivesTheCode();
    void detailOfEmptyOrClosedMaster();
    void pendingDetailChangeIsPostedWhenMasterMoves();
    void filterWithQuoteInsideTheLiteral();
    void refusedFilters_data();
    void refusedFilters();
    void filterAndMasterLinkCombine();
    void postedRecordLeavingTheFilter();
    void findNearest_data();
    void findNearest();
    void findNearestWithMoreValuesThanIndexFields();
    void locateMovesToTheFirstMatch();
    void exclusiveEmptying();
    void exclusiveOpenKeepsOthersOut();

public:
    // Pets A, B, C; A has three visits, C one, B none.
    static void fill(Folder& f);
};

// The filled folder with visits following pets through CODIGO.
struct Linked {
    Folder folder;
    std::unique_ptr<Table> pets;
    std::unique_ptr<DataSource> source;
    std::unique_ptr<Table> visits;

    Linked()
    {
        TestTableLinks::fill(folder);
        pets = folder.pets();
        source = std::make_unique<DataSource>(QStringLiteral("SourceMascotas"), *pets);
        visits = folder.visits();
        visits->setMasterSource(source.get(), QStringLiteral("CODIGO"));
    }
};

void TestTableLinks::fill(Folder& f)
{
    auto pets = f.pets(QStringLiteral("Relleno"));
    pets->open();
    for (const char* code : { "A", "B", "C" })
        add(*pets,
            { { "CODIGO", code }, { "NOM_FAMI", QStringLiteral("Mascota %1").arg(QLatin1String(code)) } });
    auto visits = f.visits(QStringLiteral("Relleno2"));
    visits->open();
    add(*visits, { { "CODIGO", "A" }, { "DESCRIPCIO", "vacuna" } });
    add(*visits, { { "CODIGO", "C" }, { "DESCRIPCIO", "revisión" } });
    add(*visits, { { "CODIGO", "A" }, { "DESCRIPCIO", "análisis" } });
    add(*visits, { { "CODIGO", "A" }, { "DESCRIPCIO", "Baño" } });
}

void TestTableLinks::detailShowsOnlyTheCurrentPet()
{
    Linked linked;
    auto& pets = linked.pets;
    auto& visits = linked.visits;
    pets->open();
    visits->open();
    QCOMPARE(column(*visits, "DESCRIPCIO"), (QStringList { "análisis", "Baño", "vacuna" }));
    QCOMPARE(visits->recordCount(), 3);
}

void TestTableLinks::detailFollowsTheMasterAtOnceFromItsFirstRecord()
{
    Linked linked;
    auto& pets = linked.pets;
    auto& visits = linked.visits;
    pets->open();
    visits->open();
    visits->last();
    int rows = 0;
    const ScopedConnection hear = visits->onRowsChanged([&] { ++rows; });
    pets->next(); // B: no visits
    QCOMPARE(rows, 1);
    QVERIFY(visits->isEmpty());
    pets->next(); // C
    QCOMPARE(column(*visits, "DESCRIPCIO"), QStringList { QStringLiteral("revisión") });
    QCOMPARE(visits->field("DESCRIPCIO").asString(), QStringLiteral("revisión"));
    pets->first();
    QCOMPARE(visits->field("DESCRIPCIO").asString(), QStringLiteral("análisis"));
    QCOMPARE(visits->rowIndex(), 0);
    // Scrolling the master without changing its code re-reads nothing.
    rows = 0;
    pets->open();
    pets->first();
    QCOMPARE(rows, 0);
}

void TestTableLinks::appendedDetailReceivesTheCode()
{
    Linked linked;
    auto& pets = linked.pets;
    auto& visits = linked.visits;
    pets->open();
    pets->next(); // B
    visits->open();
    visits->append();
    QCOMPARE(visits->field("CODIGO").asString(), QStringLiteral("B"));
    visits->field("DESCRIPCIO").setAsString(QStringLiteral("primera visita"));
    visits->post();
    QCOMPARE(column(*visits, "DESCRIPCIO"), QStringList { QStringLiteral("primera visita") });

    // Nothing typed: append then cancel leaves nothing behind.
    visits->append();
    visits->cancel();
    QCOMPARE(visits->recordCount(), 1);
}

void TestTableLinks::detailOfEmptyOrClosedMaster()
{
    Folder f;
    fill(f);
    auto visits = f.visits();
    visits->open();
    visits->append();
    visits->field("DESCRIPCIO").setAsString(QStringLiteral("sin mascota"));
    visits->post();

    auto pets = f.pets();
    DataSource source(QStringLiteral("SourceMascotas"), *pets);
    visits->setMasterSource(&source, QStringLiteral("CODIGO"));
    QCOMPARE(visits->recordCount(), 5); // master closed: no restriction
    pets->open();
    QCOMPARE(visits->recordCount(), 3);
    pets->setFilter(QStringLiteral("CODIGO = 'Z'"));
    pets->setFiltered(true); // no pet visible: only the records without a code
    QCOMPARE(column(*visits, "DESCRIPCIO"), QStringList { QStringLiteral("sin mascota") });
    pets->close();
    QCOMPARE(visits->recordCount(), 5);
}

void TestTableLinks::pendingDetailChangeIsPostedWhenMasterMoves()
{
    Linked linked;
    auto& pets = linked.pets;
    auto& visits = linked.visits;
    pets->open();
    visits->open();
    visits->edit();
    visits->field("DESCRIPCIO").setAsString(QStringLiteral("análisis de sangre"));
    pets->next();
    QCOMPARE(visits->state(), TableState::Browse);
    pets->first();
    QVERIFY(column(*visits, "DESCRIPCIO").contains(QStringLiteral("análisis de sangre")));
}

void TestTableLinks::filterWithQuoteInsideTheLiteral()
{
    Folder f;
    auto pets = f.pets();
    pets->open();
    add(*pets, { { "CODIGO", "A" }, { "ESPECIE", "O'B" } });
    add(*pets, { { "CODIGO", "B" }, { "ESPECIE", "PERROS" } });
    add(*pets, { { "CODIGO", "C" }, { "ESPECIE", "O'B" } });
    add(*pets, { { "CODIGO", "D" }, { "ESPECIE", "o'b" } });
    pets->last();
    pets->setFilter(QStringLiteral("ESPECIE = 'O''B'"));
    QCOMPARE(pets->recordCount(), 4); // not yet filtered
    pets->setFiltered(true);
    QCOMPARE(column(*pets, "CODIGO"), (QStringList { "A", "C" }));
    QCOMPARE(pets->field("CODIGO").asString(), QStringLiteral("A"));
    pets->setFilter(QStringLiteral("ESPECIE = 'PERROS'"));
    QCOMPARE(column(*pets, "CODIGO"), QStringList { QStringLiteral("B") });
    pets->setFiltered(false);
    QCOMPARE(pets->recordCount(), 4);
}

void TestTableLinks::refusedFilters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::newRow("no quotes") << "ESPECIE = PERROS";
    QTest::newRow("added condition") << "ESPECIE = 'A' OR 1 = 1";
    QTest::newRow("quote not doubled") << "ESPECIE = 'O'B'";
    QTest::newRow("other operator") << "ESPECIE LIKE 'A%'";
    QTest::newRow("statement after") << "ESPECIE = 'A'; DROP TABLE FICMAES";
    QTest::newRow("unknown field") << "NOEXISTE = 'A'";
}

void TestTableLinks::refusedFilters()
{
    QFETCH(QString, filter);
    Folder f;
    auto pets = f.pets();
    pets->open();
    add(*pets, { { "CODIGO", "A" }, { "ESPECIE", "A" } });
    pets->setFiltered(true);
    QVERIFY(!errorOf([&] { pets->setFilter(filter); }).isEmpty());
    QCOMPARE(pets->recordCount(), 1);
    // Set while closed, the refusal comes when it takes effect.
    pets->close();
    pets->setFilter(filter);
    QVERIFY(!errorOf([&] { pets->open(); }).isEmpty());
    QVERIFY(!pets->active());
    auto check = f.pets(QStringLiteral("Otra"));
    check->open();
    QCOMPARE(check->recordCount(), 1);
}

void TestTableLinks::filterAndMasterLinkCombine()
{
    Linked linked;
    auto& pets = linked.pets;
    auto& visits = linked.visits;
    visits->setFilter(QStringLiteral("DESCRIPCIO = 'vacuna'"));
    visits->setFiltered(true);
    pets->open();
    visits->open();
    QCOMPARE(column(*visits, "DESCRIPCIO"), QStringList { QStringLiteral("vacuna") });
    pets->last();
    QVERIFY(visits->isEmpty());
}

void TestTableLinks::postedRecordLeavingTheFilter()
{
    Folder f;
    auto pets = f.pets();
    pets->open();
    for (const char* code : { "A", "B", "C" })
        add(*pets, { { "CODIGO", code }, { "ESPECIE", "PERROS" } });
    pets->setFilter(QStringLiteral("ESPECIE = 'PERROS'"));
    pets->setFiltered(true);
    pets->next();
    pets->edit();
    pets->field("ESPECIE").setAsString(QStringLiteral("GATOS"));
    pets->post();
    QCOMPARE(column(*pets, "CODIGO"), (QStringList { "A", "C" }));
    QCOMPARE(pets->field("CODIGO").asString(), QStringLiteral("C"));
}

void TestTableLinks::findNearest_data()
{
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<QString>("expected"); // DESCRIPCIO of the record reached
    QTest::addColumn<bool>("eof");
    QTest::newRow("code only") << QVariantList { "C" } << "revisión" << false;
    QTest::newRow("between codes") << QVariantList { "B" } << "revisión" << false;
    QTest::newRow("code and reason, any case") << QVariantList { "A", "BAÑ" } << "Baño" << false;
    QTest::newRow("reason prefix") << QVariantList { "A", "b" } << "Baño" << false;
    QTest::newRow("reason between") << QVariantList { "A", "c" } << "vacuna" << false;
    QTest::newRow("before all") << QVariantList { "" } << "análisis" << false;
    QTest::newRow("after all") << QVariantList { "Z" } << "revisión" << true;
}

void TestTableLinks::findNearest()
{
    QFETCH(QVariantList, values);
    QFETCH(QString, expected);
    QFETCH(bool, eof);
    Folder f;
    fill(f);
    auto visits = f.visits();
    visits->open();
    visits->findNearest(values);
    QCOMPARE(visits->field("DESCRIPCIO").asString(), expected);
    QCOMPARE(visits->eof(), eof);
}

void TestTableLinks::findNearestWithMoreValuesThanIndexFields()
{
    Folder f;
    fill(f);
    auto visits = f.visits();
    visits->open();
    visits->last();
    QCOMPARE(errorOf([&] {
        visits->findNearest({ "A", "b", "c" });
    }),
        QStringLiteral("TablaSanidad: Field index out of range"));
    QCOMPARE(visits->field("DESCRIPCIO").asString(), QStringLiteral("revisión"));
}

void TestTableLinks::locateMovesToTheFirstMatch()
{
    Folder f;
    fill(f);
    auto visits = f.visits();
    visits->open();
    QVERIFY(visits->locate(QStringLiteral("CODIGO"), QStringLiteral("C")));
    QCOMPARE(visits->field("DESCRIPCIO").asString(), QStringLiteral("revisión"));
    QVERIFY(!visits->locate(QStringLiteral("DESCRIPCIO"), QStringLiteral("no existe")));
    QCOMPARE(visits->field("DESCRIPCIO").asString(), QStringLiteral("revisión"));
    QVERIFY(visits->locate(QStringLiteral("DESCRIPCIO"), QStringLiteral("Baño")));
    QCOMPARE(visits->rowIndex(), 1);
}

void TestTableLinks::exclusiveEmptying()
{
    Folder f;
    fill(f);
    auto visits = f.visits();
    auto other = f.visits(QStringLiteral("OtraSanidad"));
    other->open();
    visits->setExclusive(true);
    const QString busy = errorOf([&] { visits->emptyTable(); });
    QVERIFY2(busy.contains(QStringLiteral("ocupada")) && busy.contains(f.path(QStringLiteral("SANIDAD.db"))),
        qPrintable(busy));
    QCOMPARE(other->recordCount(), 4);

    other->close();
    visits->emptyTable();
    visits->setExclusive(false);
    visits->open();
    QVERIFY(visits->isEmpty());
    QCOMPARE(errorOf([&] { visits->setExclusive(true); }),
        QStringLiteral("TablaSanidad: Cannot perform this operation on an open dataset"));

    // An open table empties itself when no one else has the file.
    add(*visits, { { "CODIGO", "A" } });
    visits->emptyTable();
    QVERIFY(visits->isEmpty());
    other->open();
    QVERIFY(other->isEmpty());
    QVERIFY(!errorOf([&] { visits->emptyTable(); }).isEmpty());
}

void TestTableLinks::exclusiveOpenKeepsOthersOut()
{
    Folder f;
    auto mine = f.visits();
    mine->setExclusive(true);
    mine->open();
    auto other = f.visits(QStringLiteral("OtraSanidad"));
    QVERIFY(errorOf([&] { other->open(); }).contains(QStringLiteral("ocupada")));
    mine->close();
    other->open();
    QVERIFY(other->active());
}

std::unique_ptr<QObject> makeTableLinksTest()
{
    return std::make_unique<TestTableLinks>();
}

#include "tst_TableLinks.moc"
