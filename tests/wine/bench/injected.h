// Failures the scenario injects into DirectInput calls, as the simulated
// machine's `fail` step does: the K-th call (or every call) of a method,
// of one game device or of any, answers a given code.
#pragma once

#include <windows.h>

// Counts this call; the code to answer instead of doing it, or S_OK. A game
// device's calls count under both of its interface names.
HRESULT InjectedResult(const char* interfaceName, const char* method, int device);
