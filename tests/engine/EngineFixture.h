// Small tables for the engine tests, made with the engine's own file
// writer in a scratch data folder registered as HLR10.
#pragma once

#include "engine/DataSource.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/FieldDef.h"
#include "engine/Table.h"
#include "support/TempFolder.h"

#include <QTest>
#include <memory>

namespace enginetest {

using namespace engine;

inline FieldDef text(const char* name, int size)
{
    return { QString::fromLatin1(name), FieldKind::Text, size };
}
inline FieldDef date(const char* name)
{
    return { QString::fromLatin1(name), FieldKind::Date, 0 };
}
inline FieldDef logical(const char* name)
{
    return { QString::fromLatin1(name), FieldKind::Logical, 0 };
}
inline FieldDef counter(const char* name)
{
    return { QString::fromLatin1(name), FieldKind::Counter, 0 };
}
inline FieldDef memo(const char* name)
{
    return { QString::fromLatin1(name), FieldKind::Memo, 0 };
}
inline FieldDef time(const char* name)
{
    return { QString::fromLatin1(name), FieldKind::Time, 0 };
}

// Pets: a counter, the code and its index named CODIGO.
inline TableDef petsDef()
{
    return { QStringLiteral("FICMAES.DB"), QStringLiteral("FICMAES"),
        { counter("CONTADOR"), text("CODIGO", 7), text("NOM_FAMI", 50), date("FEC_NAC"), logical("GRANDE"),
            text("ESPECIE", 25) },
        { { QStringLiteral("CODIGO"), { { QStringLiteral("CODIGO"), TextOrder::Binary } } } } };
}

// Visits: ordered by pet code, then reason without regard to case.
inline TableDef visitsDef()
{
    return { QStringLiteral("SANIDAD.db"), QStringLiteral("SANIDAD"),
        { counter("CONTADOR"), text("CODIGO", 7), date("FECHA"), text("DESCRIPCIO", 50) },
        { { QStringLiteral("SANIDAD_CODIGO_DESCRIPCIO"),
            { { QStringLiteral("CODIGO"), TextOrder::Binary },
                { QStringLiteral("DESCRIPCIO"), TextOrder::NoCase } } } } };
}

// Species: no counter, so equal keys come in rowid order.
inline TableDef speciesDef()
{
    return { QStringLiteral("ESPECIES.db"), QStringLiteral("ESPECIES"),
        { text("CODIGO", 1), text("DESCRIPCION", 25) },
        { { QStringLiteral("ESPECIES_CODIGO"), { { QStringLiteral("CODIGO"), TextOrder::Binary } } } } };
}

// A scratch folder with the three files and a connection to it.
struct Folder {
    testsupport::TempFolder folder;
    Database db { QStringLiteral("DbGeneral"), QStringLiteral("HLR10") };

    Folder()
    {
        for (const TableDef& def : { petsDef(), visitsDef(), speciesDef() })
            createTableFile(folder.path(), def);
        db.open();
    }
    QString path(const QString& file) const { return folder.filePath(file); }

    std::unique_ptr<Table> pets(const QString& name = QStringLiteral("TablaMascotas"))
    {
        auto t = std::make_unique<Table>(db, name, QStringLiteral("FICMAES.DB"));
        t->setIndexName(QStringLiteral("CODIGO"));
        return t;
    }
    std::unique_ptr<Table> visits(const QString& name = QStringLiteral("TablaSanidad"))
    {
        auto t = std::make_unique<Table>(db, name, QStringLiteral("SANIDAD.db"));
        t->setIndexFieldNames(QStringLiteral("CODIGO"));
        return t;
    }
    std::unique_ptr<Table> species(const QString& name = QStringLiteral("TablaEspecies"))
    {
        auto t = std::make_unique<Table>(db, name, QStringLiteral("ESPECIES.db"));
        t->setIndexFieldNames(QStringLiteral("CODIGO"));
        return t;
    }
};

// Appends and posts one record with the given text values.
inline void add(Table& t, std::initializer_list<std::pair<const char*, QString>> values)
{
    t.append();
    for (const auto& [name, value] : values)
        t.field(QString::fromLatin1(name)).setAsString(value);
    t.post();
}

// The values of one field over the visible records, in order.
inline QStringList column(Table& t, const char* name)
{
    QStringList out;
    for (const QVariantList& row : t.readRows(0, t.recordCount(), { QString::fromLatin1(name) }))
        out << row.value(0).toString();
    return out;
}

// The text of the EngineError that `f` throws, or "" when none.
template <typename F> QString errorOf(F&& f)
{
    try {
        f();
    } catch (const EngineError& e) {
        return e.message();
    }
    return {};
}

} // namespace enginetest
