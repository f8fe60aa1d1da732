// A generic Qt plugin for the start-up benchmark: on the first paint of a
// top-level window it prints the monotonic clock and the resident memory,
// then ends the program when HLR_FIRSTPAINT_QUIT is set ("now": at once,
// for profiling the start alone). HLR_FIRSTPAINT_SMAPS=FILE keeps a copy of
// the memory map at that point.
#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QGenericPlugin>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

long residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

class FirstPaint : public QObject {
public:
    FirstPaint() { QCoreApplication::instance()->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_seen && event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget*>(watched)->isWindow()) {
            m_seen = true;
            // Measured once the paint has been delivered, not when it is asked for.
            QMetaObject::invokeMethod(this, &FirstPaint::mark, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void mark()
    {
        timespec now {};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::printf("FIRSTPAINT %lld %ld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
            residentKilobytes());
        std::fflush(stdout);
        // For finding where the memory goes: a copy of the mappings at this point.
        if (const QString copy = qEnvironmentVariable("HLR_FIRSTPAINT_SMAPS"); !copy.isEmpty()) {
            QFile maps(QStringLiteral("/proc/self/smaps"));
            QFile out(copy);
            if (maps.open(QIODevice::ReadOnly) && out.open(QIODevice::WriteOnly))
                out.write(maps.readAll());
        }
        // "now": ends at once, so a profile of the run holds the start-up alone.
        if (qgetenv("HLR_FIRSTPAINT_QUIT") == "now")
            std::_Exit(0);
        if (qEnvironmentVariableIsSet("HLR_FIRSTPAINT_QUIT"))
            QCoreApplication::quit();
    }

    bool m_seen = false;
};

} // namespace

class FirstPaintPlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "firstpaint.json")
public:
    QObject* create(const QString& key, const QString&) override
    {
        return key.compare(QLatin1String("firstpaint"), Qt::CaseInsensitive) == 0 ? new FirstPaint : nullptr;
    }
};

#include "firstpaint.moc"
