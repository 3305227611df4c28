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
// Whether the local time at `now` is one SYSTEMTIME can hold (years 1601 to
// 30827); LocalTimeAt is only asked for those.
bool LocalTimeFits(std::int64_t now);

// Parses "YYYY-MM-DD HH:MM:SS.mmm" (a year of four or five digits, every
// field unsigned); false when malformed, impossible or outside 1601..30827.
bool ParseLocalTime(const char* text, SYSTEMTIME* time);

} // namespace hosted
