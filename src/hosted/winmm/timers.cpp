// Stands in for winmm's multimedia timers: each periodic timer calls back
// on a thread of its own at every multiple of its period on the virtual
// clock; a callback that runs late is followed at once by the ones it
// missed, so none is lost.
#include <map>
#include <mmsystem.h>

#include "core/clock.h"
#include "core/forever.h"
#include "core/format.h"
#include "core/machine.h"
#include "core/transcript.h"
#include "winmm/timer_settings.h"

namespace hosted {
namespace {

struct Timer {
    bool killed = false;
};

struct TimerTable {
    TimerSettings settings;
    std::map<UINT, Timer> running;
    UINT nextId = 1;
};

TimerTable& Table() {
    static Forever<TimerTable> table;
    return *table;
}

DWORD RunTimer(UINT id, UINT delay, LPTIMECALLBACK callback, DWORD_PTR user, bool periodic) {
    MachineLock lock = LockMachine();
    std::int64_t due = VirtualNow() + delay;
    Timer* timer = &Table().running[id];
    std::function<bool()> killed = [&] { return timer->killed; };
    while (!BlockUntil(lock, killed, due, "the multimedia timer")) {
        lock.unlock();
        callback(id, 0, user, 0, 0);
        lock.lock();
        timer = &Table().running[id];
        if (!periodic || timer->killed)
            break;
        due += delay;
    }
    Table().running.erase(id);
    return 0;
}

} // namespace

TimerSettings& Timers() {
    return Table().settings;
}

int RunningTimers() {
    int count = 0;
    for (const auto& entry : Table().running)
        count += entry.second.killed ? 0 : 1;
    return count;
}

} // namespace hosted

using namespace hosted;

MMRESULT WINAPI timeGetDevCaps(LPTIMECAPS caps, UINT size) {
    MachineLock lock = LockMachine();
    const TimerSettings& settings = Timers();
    if (settings.capsFail || !caps || size < sizeof(TIMECAPS))
        return TIMERR_NOCANDO;
    caps->wPeriodMin = settings.periodMin;
    caps->wPeriodMax = settings.periodMax;
    return TIMERR_NOERROR;
}

MMRESULT WINAPI timeBeginPeriod(UINT period) {
    MachineLock lock = LockMachine();
    const TimerSettings& settings = Timers();
    bool supported = period >= settings.periodMin && period <= settings.periodMax;
    TranscriptLine(Format("timer period %u%s", period, supported ? "" : " failed"));
    return supported ? TIMERR_NOERROR : TIMERR_NOCANDO;
}

MMRESULT WINAPI timeSetEvent(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR user,
                             UINT flags) {
    MachineLock lock = LockMachine();
    const TimerSettings& settings = Timers();
    if (settings.setFails || !callback || delay < settings.periodMin || delay > settings.periodMax)
        return 0;
    UINT id = Table().nextId++;
    Table().running[id];
    bool periodic = (flags & TIME_PERIODIC) != 0;
    StartProgramThread(
        "timer", [=] { return RunTimer(id, delay, callback, user, periodic); }, [](DWORD) {});
    TranscriptLine(Format("timer start %u %u %u", id, delay, resolution));
    return id;
}

// A callback already running finishes; none starts after this returns.
MMRESULT WINAPI timeKillEvent(UINT id) {
    MachineLock lock = LockMachine();
    auto it = Table().running.find(id);
    if (it == Table().running.end() || it->second.killed)
        return 11; // MMSYSERR_INVALPARAM
    it->second.killed = true;
    TranscriptLine(Format("timer kill %u", id));
    return TIMERR_NOERROR;
}
