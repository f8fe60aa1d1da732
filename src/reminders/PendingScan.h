// The reminders due today, gathered at start-up into the work table and,
// when there is any, announced with a beep and shown in TFicheroIniAvisos.
#pragma once

class TModuloGeneral;
class TFicheroIniAvisos;

namespace reminders {

// Runs the scan once on the given data module and window: empties the work
// table under its exclusive flag, copies every reminder whose first and last
// day enclose today (an empty date reads as day 0), then beeps and shows the
// window modally if any was copied. Table errors escape as EngineError for the
// application's error handler; the tables are closed either way.
void scanPendingReminders(TModuloGeneral& data, TFicheroIniAvisos& window);

} // namespace reminders
