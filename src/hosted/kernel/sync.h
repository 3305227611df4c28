// The kernel's waits and events, for the layers above it.
#pragma once

#include <functional>

#include <windows.h>

#include "core/machine.h"

namespace hosted {

// SetEvent with the machine lock already held; false when the handle is no
// event.
bool SetEventLocked(HANDLE handle);

// WaitForMultipleObjects with the machine lock held, which may also end when
// `other` holds (then it answers WAIT_OBJECT_0 + count): a thread's message
// queue, for MsgWaitForMultipleObjects.
DWORD WaitForObjectsLocked(MachineLock& lock, DWORD count, const HANDLE* handles, bool waitAll,
                           DWORD milliseconds, const std::function<bool()>* other,
                           const char* what);

} // namespace hosted
