// Stands in for the kernel's clocks: both follow the virtual clock.
#include "core/clock.h"
#include "core/machine.h"

void WINAPI GetLocalTime(LPSYSTEMTIME time) {
    hosted::MachineLock lock = hosted::LockMachine();
    *time = hosted::LocalTimeAt(hosted::VirtualNow());
}

DWORD WINAPI GetTickCount(void) {
    hosted::MachineLock lock = hosted::LockMachine();
    return static_cast<DWORD>(hosted::VirtualNow());
}
