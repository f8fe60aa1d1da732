// huellario --avisos: the reminders due today posted to the desktop's
// notification server, once a day, read without changing the data folder.
#pragma once

#include "data/Reminders.h"

#include <QString>
#include <vector>

namespace reminders {

// Exit codes of huellario --avisos.
enum DesktopNoticeExit {
    NoticeDone = 0, // posted, nothing due, no data folder, or already posted today
    NoticeReadFailed = 1, // the data could not be read, or Huellario not started from the notice
    NoticeNoServer = 2, // no session bus or no notification server on it
};

struct Notice {
    QString summary;
    QString body;
};

// At most this many reminders are listed one by one; the rest are counted.
constexpr int kNoticeLines = 8;

// The one notification for the reminders due: a count as the summary, a
// line for each reminder in the body. `markup` when the server reads the
// body as markup, so the texts' own '&' and '<' are escaped.
Notice composeNotice(const std::vector<data::StoredReminder>& due, bool markup);

// The whole run: the folder HLR10 names, today's reminders, the notice and,
// where the server has actions, "Abrir Huellario" for a bounded time.
int postDueReminders();

// The file that remembers the last day a notice was posted:
// $XDG_STATE_HOME (or ~/.local/state)/huellario/avisos-notificados.
QString lastNoticeFile();

} // namespace reminders
