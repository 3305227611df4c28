// Failures injected into kernel calls: the K-th call (or every call) of a
// function fails as Windows fails it, with a given last-error code. Only the
// functions that consult this table can be named. All with the machine lock
// held.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

namespace hosted {

// call: 1-based, or 0 for every call. False with the reason when the
// function is not one a failure can be injected into.
bool InjectKernelFailure(const std::string& function, unsigned call, DWORD lastError,
                         std::string* error);
void ClearKernelFailures();
std::vector<std::string> InjectableKernelFunctions();

// Counts this call of `function`; true when it is to fail, with the last
// error already set.
bool KernelCallFails(const char* function);

} // namespace hosted
