// huellario-setup --exportar-avisos: the reminders as an iCalendar file
// (RFC 5545) that calendar programs and phones can show.
#pragma once

#include "Installer.h"
#include "data/Reminders.h"

#include <QByteArray>
#include <QDateTime>
#include <QTextStream>
#include <vector>

namespace setup {

struct Calendar {
    QByteArray text; // UTF-8, CRLF line ends, lines folded at 75 octets
    int events = 0;
    int skipped = 0; // no first or last day, or the last before the first
};

// One all-day event per reminder, from its first day through its last;
// `stamp` is the export's time, written as every event's DTSTAMP. The UID
// comes from the first and last day and the description, so an export of
// the same reminder always gives the same one, and a calendar that reads
// the file again updates the event instead of adding a second.
Calendar calendarOf(const std::vector<data::StoredReminder>& reminders, const QDateTime& stamp);

// A TEXT value with backslash, semicolon, comma and line breaks escaped.
QString calendarText(const QString& text);

// One content line, folded: at most 75 octets a line, the next lines
// starting with a blank, never cutting a UTF-8 character; CRLF after each.
QByteArray foldedLine(const QByteArray& line);

// Reads the reminders of --dir, else of the folder HLR10 names, without
// changing it, and writes them to `file` in one step. Installed (0) when
// written, Failed (3) with the reason on `err` and `file` as it was.
int exportReminders(const Options& options, const QString& file, QTextStream& out, QTextStream& err);

} // namespace setup
