// One log line for a failed DirectInput call: the failed step and the
// result code, by its DIERR_ name where the engine knows it.
#pragma once

#include <windows.h>

// Writes "<message>.  Return Code: <name or hex>\n" through WriteLog; a code
// without a name is printed as its unsigned 32-bit value in lowercase hex.
void ReportDIError(const char* message, HRESULT code);
