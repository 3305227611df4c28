// Failures injected into DirectInput calls: the K-th call (or every call)
// of a method, optionally of one game device only, answers a given code.
// Only the methods of this machine's DirectInput can be named: a rule that
// could never match would let a failure test pass without failing anything.
// All with the machine lock held.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

namespace hosted {

// method: "IDirectInputDevice2A::GetDeviceState" and the like, or
// "::DirectInputCreateA"; device: a joystick slot, or -1 for any; call:
// 1-based, or 0 for every call. False with the reason when the machine has
// no such method, the method has no device, or the slot holds none.
bool InjectInputFailure(const std::string& method, int device, unsigned call, HRESULT code,
                        std::string* error);
void ClearInputFailures();
// Every method a failure can be injected into, as InjectInputFailure names it.
std::vector<std::string> InjectableInputMethods();

// Counts this call; the code to answer instead of doing the call, or S_OK.
// A game device's calls count under both of its interface names. A method
// missing from the table ends the process: the table and the calls are one.
HRESULT InjectedResult(const char* interfaceName, const char* method, int device);

} // namespace hosted
