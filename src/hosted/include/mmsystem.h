// Stands in for <mmsystem.h>: the multimedia timers BRISKARN polls with.
#pragma once

#include "windows.h"

typedef UINT MMRESULT;

#define TIMERR_NOERROR 0
#define TIMERR_NOCANDO 97
#define TIME_ONESHOT 0x0000
#define TIME_PERIODIC 0x0001

typedef struct timecaps_tag {
    UINT wPeriodMin;
    UINT wPeriodMax;
} TIMECAPS, *LPTIMECAPS;
static_assert(sizeof(TIMECAPS) == 8, "TIMECAPS is 8 bytes");

typedef void(CALLBACK* LPTIMECALLBACK)(UINT timerId, UINT message, DWORD_PTR user,
                                       DWORD_PTR reserved1, DWORD_PTR reserved2);

MMRESULT WINAPI timeGetDevCaps(LPTIMECAPS caps, UINT size);
MMRESULT WINAPI timeBeginPeriod(UINT period);
// A timer that calls back on a thread of its own; 0 when none could be made.
MMRESULT WINAPI timeSetEvent(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR user,
                             UINT flags);
MMRESULT WINAPI timeKillEvent(UINT timerId);
