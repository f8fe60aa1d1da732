// Helpers for the tests of bound controls and record windows: small test
// tables in a scratch folder, a recorder of message boxes and beeps, and a
// way to act inside a modal window once it shows.
#pragma once

#include "support/TestMain.h"

#include "engine/DataSource.h"
#include "engine/Database.h"
#include "engine/FieldDef.h"
#include "engine/Table.h"
#include "platform/Application.h"
#include "support/MessageLog.h"
#include "support/TempFolder.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <utility>

namespace boundtest {

using engine::FieldKind;

// Pets: the master of the notes.
inline engine::TableDef petsDef()
{
    return { QStringLiteral("MASCOTAS.DB"), QStringLiteral("MASCOTAS"),
        { { QStringLiteral("CODIGO"), FieldKind::Text, 7 },
            { QStringLiteral("NOM_FAMI"), FieldKind::Text, 50 } },
        { { QStringLiteral("CODIGO"), { { QStringLiteral("CODIGO") } } } } };
}

// Notes: the records the test windows list and edit.
inline engine::TableDef notesDef()
{
    return { QStringLiteral("NOTAS.DB"), QStringLiteral("NOTAS"),
        { { QStringLiteral("CONTADOR"), FieldKind::Counter },
            { QStringLiteral("CODIGO"), FieldKind::Text, 7 },
            { QStringLiteral("NOMBRE"), FieldKind::Text, 20 }, { QStringLiteral("FECHA"), FieldKind::Date },
            { QStringLiteral("HECHO"), FieldKind::Logical },
            { QStringLiteral("CLINICA"), FieldKind::Text, 30 } },
        { { QStringLiteral("CODIGO"), { { QStringLiteral("CODIGO") } } } } };
}

// Clinics: a list table for lookups, ordered by name.
inline engine::TableDef clinicsDef()
{
    return { QStringLiteral("CLINICAS.DB"), QStringLiteral("CLINICAS"),
        { { QStringLiteral("CLINICA"), FieldKind::Text, 30 },
            { QStringLiteral("GRUPO"), FieldKind::Text, 1 } },
        { { QStringLiteral("CLINICA"), { { QStringLiteral("CLINICA"), engine::TextOrder::Spanish } } } } };
}

// One table of the scratch folder with its data source.
struct TestTable {
    std::unique_ptr<engine::Table> table;
    std::unique_ptr<engine::DataSource> source;
};

// The scratch data folder with the three test tables, closed.
struct TestData {
    testsupport::TempFolder folder;
    engine::Database db { QStringLiteral("DbPrueba"), QStringLiteral("HLR10") };
    TestTable pets;
    TestTable notes;
    TestTable clinics;

    explicit TestData(bool notesFollowPets = false)
    {
        for (const auto& def : { petsDef(), notesDef(), clinicsDef() })
            engine::createTableFile(folder.path(), def);
        db.open();
        pets = make(QStringLiteral("TablaMascotas"), QStringLiteral("MASCOTAS.DB"), QStringLiteral("CODIGO"));
        notes = make(QStringLiteral("TablaNotas"), QStringLiteral("NOTAS.DB"), QStringLiteral("CODIGO"));
        clinics
            = make(QStringLiteral("TablaClinicas"), QStringLiteral("CLINICAS.DB"), QStringLiteral("CLINICA"));
        if (notesFollowPets)
            notes.table->setMasterSource(pets.source.get(), QStringLiteral("CODIGO"));
    }

    TestTable make(const QString& name, const QString& file, const QString& order)
    {
        TestTable t;
        t.table = std::make_unique<engine::Table>(db, name, file);
        t.table->setIndexFieldNames(order);
        t.source = std::make_unique<engine::DataSource>(QStringLiteral("Source") + name.mid(5), *t.table);
        return t;
    }
};

// Appends and posts one record with the given values.
inline void addRecord(engine::Table& table, const std::vector<std::pair<QString, QVariant>>& values)
{
    table.append();
    for (const auto& [name, value] : values)
        table.field(name).setValue(value);
    table.post();
}

// Message boxes and beeps while it lives.
using Recorder = testsupport::MessageLog;

// Runs `step` from the event loop once `window` is visible, i.e. inside its
// modal loop when it is shown with exec().
inline void whenShown(QWidget* window, std::function<void()> step)
{
    auto* timer = new QTimer(window);
    timer->setInterval(5);
    QPointer<QWidget> target(window);
    QObject::connect(timer, &QTimer::timeout, window, [timer, target, step = std::move(step)] {
        // Steps type into the window, so it must have the keyboard too:
        // activation follows the showing a while later when the machine is slow.
        if (!target || !target->isVisible() || !target->isActiveWindow())
            return;
        timer->stop();
        timer->deleteLater();
        step();
    });
    timer->start();
}

} // namespace boundtest

// A test main on the program's application object, so that errors thrown
// from event handlers are shown as the program shows them.
#define HLR_BOUND_TEST_MAIN(TestClass) HLR_TEST_MAIN(TestClass, ApplicationOnly)
