#include "data/Reminders.h"

#include "data/schema/Schema.h"
#include "data/schema/Upgrade.h"
#include "engine/Database.h"
#include "engine/EngineError.h"
#include "engine/Field.h"
#include "engine/Table.h"

namespace data {

namespace {

QDate dateOf(const engine::Field& field)
{
    return field.isNull() ? QDate() : field.asDate();
}

QDate orDayZero(const QDate& date)
{
    return date.isValid() ? date : engine::dayZero();
}

} // namespace

bool isDue(const QDate& start, const QDate& end, const QDate& today)
{
    return !(today < orDayZero(start)) && !(today > orDayZero(end));
}

std::vector<StoredReminder> readReminders(const QString& folder)
{
    // Tables of a newer format may hold reminders this version misreads;
    // an older one still has the same fields, and is read as it is.
    const schema::FolderFormat format = schema::folderFormat(folder);
    if (format.tables > 0 && format.newest > schema::currentFormat)
        throw engine::EngineError(
            QStringLiteral("El archivo de tabla %1 es de una versión más reciente de Huellario (formato "
                           "%2); esta versión lee hasta el formato %3.")
                .arg(format.newestFile)
                .arg(format.newest)
                .arg(schema::currentFormat));

    engine::Database db(QStringLiteral("DbAvisos"), QString());
    db.openFolder(folder);
    engine::Table table(db, QStringLiteral("TablaAvisos"), QStringLiteral("AVISOS.DB"));
    table.setIndexFieldNames(QStringLiteral("INICIO"));
    table.open();
    engine::Field& start = table.field(QStringLiteral("INICIO"));
    engine::Field& end = table.field(QStringLiteral("FIN"));
    engine::Field& description = table.field(QStringLiteral("CONCEPTO"));
    engine::Field& remark1 = table.field(QStringLiteral("OBSERVA1"));
    engine::Field& remark2 = table.field(QStringLiteral("OBSERVA2"));

    std::vector<StoredReminder> reminders;
    for (table.first(); !table.eof(); table.next())
        reminders.push_back(
            { dateOf(start), dateOf(end), description.asString(), remark1.asString(), remark2.asString() });
    table.close();
    return reminders;
}

std::vector<StoredReminder> dueReminders(const QString& folder, const QDate& today)
{
    std::vector<StoredReminder> due = readReminders(folder);
    std::erase_if(due, [&](const StoredReminder& r) { return !isDue(r, today); });
    return due;
}

} // namespace data
