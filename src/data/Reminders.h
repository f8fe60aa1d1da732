// The reminders of AVISOS.DB outside the windows: the rule of which are due
// on a day, and a reading of them that leaves every file of the folder as it was.
#pragma once

#include <QDate>
#include <QString>
#include <vector>

namespace data {

struct StoredReminder {
    QDate start; // null when the field is empty
    QDate end;
    QString description;
    QString remark1;
    QString remark2;
};

// Due on every day from `start` through `end`, both included; an empty date
// reads as day 0, so a reminder without a last day is never due.
bool isDue(const QDate& start, const QDate& end, const QDate& today);
inline bool isDue(const StoredReminder& reminder, const QDate& today)
{
    return isDue(reminder.start, reminder.end, today);
}

// Every reminder of the folder's AVISOS.DB in the order of its first day.
// Only reads: no other table is opened, no upgrade or restore is settled, so
// the program's own start-up scan finds the folder as it was. EngineError in
// Spanish naming what cannot be read, or a folder of a newer format.
std::vector<StoredReminder> readReminders(const QString& folder);

// The reminders of the folder that are due on `today`, in the same order.
std::vector<StoredReminder> dueReminders(const QString& folder, const QDate& today);

} // namespace data
