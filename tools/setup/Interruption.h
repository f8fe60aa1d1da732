// Ctrl-C, SIGTERM and SIGHUP while a data folder is being made: the signal
// is noted and the work stops at its next step, so that what was made is
// removed before the process ends by the same signal.
#pragma once

#include "SetupError.h"

namespace setup {

// Thrown at the step after a signal arrived.
class Interrupted : public SetupError {
public:
    explicit Interrupted(int signal);
    int signal() const { return m_signal; }

private:
    int m_signal;
};

// While it lives, the three signals are noted instead of ending the process.
class InterruptionGuard {
public:
    InterruptionGuard();
    ~InterruptionGuard();
    InterruptionGuard(const InterruptionGuard&) = delete;
    InterruptionGuard& operator=(const InterruptionGuard&) = delete;
};

// Throws Interrupted when a signal was noted.
void throwIfInterrupted();

// One step of the work, after which stopping is safe: throws Interrupted
// when a signal was noted. The tests' HLR_SETUP_STOP_AT=N[:SIGNAL] sends
// the process SIGNAL (KILL by default; INT, TERM, HUP or STOP) at the N-th
// step, so that every point of a run can be interrupted in turn.
void step();

// A step inside the commit, which is finished whatever arrives: only the
// tests' stop applies.
void commitStep();

// Ends the process by the signal that interrupted it, as it would have
// ended without the clean-up, once the clean-up is done.
[[noreturn]] void endBy(int signal);

} // namespace setup
