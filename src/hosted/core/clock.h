// The virtual clock: the only time the simulated machine knows. It moves
// only when the scenario advances it; GetLocalTime, GetTickCount, timed
// waits and timers follow it.
#pragma once

#include <cstdint>

#include <windows.h>

namespace hosted {

// Milliseconds since the machine started; read with the machine lock held.
std::int64_t VirtualNow();
void SetVirtualNow(std::int64_t now);

// The local date and time at VirtualNow() == 0.
void SetLocalTimeBase(const SYSTEMTIME& base);
SYSTEMTIME LocalTimeAt(std::int64_t now);

// Parses "YYYY-MM-DD HH:MM:SS.mmm"; false when malformed or impossible.
bool ParseLocalTime(const char* text, SYSTEMTIME* time);

} // namespace hosted
