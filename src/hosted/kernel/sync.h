// What the simulated devices ask of the kernel's events.
#pragma once

#include <windows.h>

namespace hosted {

// SetEvent with the machine lock already held; false when the handle is no
// event.
bool SetEventLocked(HANDLE handle);

} // namespace hosted
