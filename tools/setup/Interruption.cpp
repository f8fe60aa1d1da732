#include "Interruption.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace setup {

namespace {

constexpr int kSignals[] = { SIGINT, SIGTERM, SIGHUP };

volatile std::sig_atomic_t noted = 0;

void note(int signal)
{
    if (noted == 0)
        noted = signal;
}

struct Stop {
    long at = 0; // 0: never
    int signal = SIGKILL;
};

Stop stopFromEnvironment()
{
    Stop stop;
    const QByteArray value = qgetenv("HLR_SETUP_STOP_AT");
    if (value.isEmpty())
        return stop;
    const QList<QByteArray> parts = value.split(':');
    stop.at = parts[0].toLong();
    if (parts.size() > 1) {
        const QByteArray name = parts[1].toUpper();
        if (name == "INT" || name == "SIGINT")
            stop.signal = SIGINT;
        else if (name == "TERM" || name == "SIGTERM")
            stop.signal = SIGTERM;
        else if (name == "HUP" || name == "SIGHUP")
            stop.signal = SIGHUP;
        else if (name == "STOP" || name == "SIGSTOP")
            stop.signal = SIGSTOP; // held there, as a slow run would be
    }
    return stop;
}

void countStep()
{
    static const Stop stop = stopFromEnvironment();
    static long steps = 0;
    if (stop.at > 0 && ++steps == stop.at)
        ::kill(::getpid(), stop.signal);
}

QString signalName(int signal)
{
    switch (signal) {
    case SIGINT:
        return QStringLiteral("Ctrl-C");
    case SIGTERM:
        return QStringLiteral("SIGTERM");
    case SIGHUP:
        return QStringLiteral("SIGHUP");
    default:
        return QStringLiteral("señal %1").arg(signal);
    }
}

} // namespace

Interrupted::Interrupted(int signal)
    : SetupError(QStringLiteral("interrumpido por %1.").arg(signalName(signal)))
    , m_signal(signal)
{
}

InterruptionGuard::InterruptionGuard()
{
    struct sigaction action { };
    action.sa_handler = note;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kSignals) {
        // A signal ignored by whoever started us (nohup, a background job)
        // stays ignored.
        struct sigaction old { };
        sigaction(signal, nullptr, &old);
        if (old.sa_handler != SIG_IGN)
            sigaction(signal, &action, nullptr);
    }
}

InterruptionGuard::~InterruptionGuard()
{
    struct sigaction action { };
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (const int signal : kSignals) {
        struct sigaction old { };
        sigaction(signal, nullptr, &old);
        if (old.sa_handler == note)
            sigaction(signal, &action, nullptr);
    }
}

void throwIfInterrupted()
{
    if (noted != 0)
        throw Interrupted(noted);
}

void step()
{
    countStep();
    throwIfInterrupted();
}

void commitStep()
{
    countStep();
}

void endBy(int signal)
{
    std::signal(signal, SIG_DFL);
    ::kill(::getpid(), signal);
    // Blocked or ignored by whoever started us: end as the shell would report it.
    std::_Exit(128 + signal);
}

} // namespace setup
