// Watches Qt's signal emissions through the hook QtTest's signal dumper uses:
// an exception that unwinds through QMetaObject::activate leaves an emission
// begun and never ended, which is what this counts.
#pragma once

#include <QObject>

// Qt's own declaration (qobject_p.h, not installed as a public header).
struct QSignalSpyCallbackSet {
    using BeginCallback = void (*)(QObject* caller, int signalOrMethodIndex, void** argv);
    using EndCallback = void (*)(QObject* caller, int signalOrMethodIndex);
    BeginCallback signal_begin_callback;
    BeginCallback slot_begin_callback;
    EndCallback signal_end_callback;
    EndCallback slot_end_callback;
};
void Q_CORE_EXPORT qt_register_signal_spy_callbacks(QSignalSpyCallbackSet* callbackSet);

namespace testsupport {

// Emissions begun but not ended while it lives (one at a time per test).
class EmissionWatch {
public:
    EmissionWatch()
    {
        begun() = ended() = 0;
        static QSignalSpyCallbackSet callbacks { [](QObject*, int, void**) { ++begun(); }, nullptr,
            [](QObject*, int) { ++ended(); }, nullptr };
        qt_register_signal_spy_callbacks(&callbacks);
    }
    ~EmissionWatch() { qt_register_signal_spy_callbacks(nullptr); }
    EmissionWatch(const EmissionWatch&) = delete;
    EmissionWatch& operator=(const EmissionWatch&) = delete;

    // Emissions an exception left through (none while every emission ended).
    int unwound() const { return begun() - ended(); }

private:
    static int& begun()
    {
        static int count = 0;
        return count;
    }
    static int& ended()
    {
        static int count = 0;
        return count;
    }
};

} // namespace testsupport
