#include "sim/session.h"

#include <sys/prctl.h>

#include "core/clock.h"
#include "core/machine.h"
#include "sim/runner.h"
#include "sim/steps.h"

namespace hosted {

StepOutcome LiveSession::Do(const std::string& line, std::string* error) {
    std::vector<Step> steps = ParseScenario(line);
    if (steps.size() != 1) {
        *error = "not one step: '" + line + "'";
        return StepOutcome::Refused;
    }
    StepOutcome outcome = CarryOutStep(steps[0], error);
    // Recorded once it happened: a refused step changed nothing, and a replay
    // must not meet it.
    if (outcome != StepOutcome::Refused) {
        WritePendingAdvance();
        if (m_recording)
            std::fprintf(m_recording, "%s\n", line.c_str());
    }
    return outcome;
}

StepOutcome LiveSession::AdvanceTo(std::int64_t virtualMs, std::string* error) {
    std::int64_t now;
    {
        MachineLock lock = LockMachine();
        now = VirtualNow();
    }
    if (virtualMs <= now)
        return StepOutcome::Done;
    m_pendingAdvance += virtualMs - now;
    return AdvanceVirtualClock(virtualMs - now, error) ? StepOutcome::Done : StepOutcome::Stuck;
}

StepOutcome LiveSession::CatchUp(const WallClockPacer& pacer, std::string* error) {
    return AdvanceTo(pacer.VirtualAt(WallClockPacer::Clock::now()), error);
}

void LiveSession::Note(const std::string& text) {
    if (m_recording)
        std::fprintf(m_recording, "# %s\n", text.c_str());
}

void LiveSession::WritePendingAdvance() {
    if (m_recording && m_pendingAdvance > 0)
        std::fprintf(m_recording, "advance %lldms\n", static_cast<long long>(m_pendingAdvance));
    m_pendingAdvance = 0;
}

void LiveSession::Flush() {
    WritePendingAdvance();
    if (m_recording)
        std::fflush(m_recording);
}

void WallClockPacer::Start(std::int64_t virtualNow, Clock::time_point wallNow) {
    // The pacing thread's sleeps end when a timer is due; Linux would let
    // them run 50 us over by default, which every polled pass would wait.
    ::prctl(PR_SET_TIMERSLACK, 1000UL, 0UL, 0UL, 0UL);
    m_virtualStart = virtualNow;
    m_wallStart = wallNow;
}

std::int64_t WallClockPacer::VirtualAt(Clock::time_point wall) const {
    return m_virtualStart +
           std::chrono::duration_cast<std::chrono::milliseconds>(wall - m_wallStart).count();
}

WallClockPacer::Clock::time_point WallClockPacer::WallAt(std::int64_t virtualMs) const {
    return m_wallStart + std::chrono::milliseconds(virtualMs - m_virtualStart);
}

WallClockPacer::Clock::time_point WallClockPacer::NextDue() const {
    std::int64_t due;
    {
        MachineLock lock = LockMachine();
        due = NextDueTime();
    }
    return due < 0 ? Clock::time_point::max() : WallAt(due);
}

} // namespace hosted
