#include "reminders/PendingScan.h"

#include "data/ModGen.h"
#include "data/Reminders.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "reminders/FicIni.h"

namespace reminders {

namespace {

// A copy of a date field: an empty date stays empty rather than becoming day 0.
void copyDate(const engine::Field& from, engine::Field& to)
{
    if (from.isNull())
        to.clear();
    else
        to.setAsDate(from.asDate());
}

// Leaves the work table usable and both tables closed when a step fails,
// so a failed scan holds no lock and leaves no half-written record.
class Cleanup {
public:
    Cleanup(engine::Table& work, engine::Table& reminders)
        : m_work(work)
        , m_reminders(reminders)
    {
    }
    ~Cleanup()
    {
        if (m_done)
            return;
        try {
            m_work.close();
            m_reminders.close();
            m_work.setExclusive(false);
        } catch (...) {
            // Closing drops the pending record; there is nothing more to save.
        }
    }
    Cleanup(const Cleanup&) = delete;
    Cleanup& operator=(const Cleanup&) = delete;
    void done() { m_done = true; }

private:
    engine::Table& m_work;
    engine::Table& m_reminders;
    bool m_done = false;
};

} // namespace

void scanPendingReminders(TModuloGeneral& data, TFicheroIniAvisos& window)
{
    engine::Table& work = *data.TablaIniAvisos;
    engine::Table& reminders = *data.TablaAvisos;
    // Read once, so a scan running over midnight judges every reminder by
    // the same day.
    const QDate today = platform::today();
    Cleanup cleanup(work, reminders);

    work.close();
    work.setExclusive(true);
    work.emptyTable();
    work.setExclusive(false);
    work.open();

    reminders.open();
    reminders.first();
    while (!reminders.eof()) {
        if (data::isDue(data.TablaAvisosINICIO->asDate(), data.TablaAvisosFIN->asDate(), today)) {
            work.append();
            data.TablaIniAvisosTIPO->setAsString(QStringLiteral("AVISO"));
            copyDate(*data.TablaAvisosINICIO, *data.TablaIniAvisosINICIO);
            copyDate(*data.TablaAvisosFIN, *data.TablaIniAvisosFINAL);
            data.TablaIniAvisosNOMBRE_CONCEPTO->setAsString(data.TablaAvisosCONCEPTO->asString());
            work.post();
        }
        reminders.next();
    }

    work.first();
    if (!work.eof()) {
        platform::beep();
        window.showModal();
    }

    work.close();
    reminders.close();
    cleanup.done();
}

} // namespace reminders
