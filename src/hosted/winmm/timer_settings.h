// What the simulated machine's multimedia timers can do. All with the
// machine lock held.
#pragma once

#include <windows.h>

namespace hosted {

struct TimerSettings {
    bool capsFail = false; // timeGetDevCaps fails
    UINT periodMin = 1;
    UINT periodMax = 1000000;
    bool setFails = false; // timeSetEvent makes no timer
};

TimerSettings& Timers();
// Timers running now (started and not killed).
int RunningTimers();

} // namespace hosted
