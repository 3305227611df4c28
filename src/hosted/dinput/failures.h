// Failures injected into DirectInput calls: the K-th call (or every call)
// of a method, optionally of one game device only, answers a given code.
// All with the machine lock held.
#pragma once

#include <string>

#include <windows.h>

namespace hosted {

// method: "IDirectInputDevice2A::GetDeviceState" and the like; device: a
// joystick slot, or -1 for any; call: 1-based, or 0 for every call.
void InjectInputFailure(const std::string& method, int device, unsigned call, HRESULT code);
void ClearInputFailures();

// Counts this call; the code to answer instead of doing the call, or S_OK.
// A game device's calls count under both of its interface names.
HRESULT InjectedResult(const char* interfaceName, const char* method, int device);

} // namespace hosted
