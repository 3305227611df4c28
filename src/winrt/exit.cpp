// Program end without a C runtime DLL. atexit keeps the functions that the
// static constructors register (their destructors among them), and exit runs
// them in reverse order of registration before the process ends, as the C
// library does. The list is fixed in size: the programs register a handful,
// and a registration that does not fit fails as the C standard allows.
#include <stdlib.h>

#include <windows.h>

namespace {

const int kMaxExitFunctions = 64;
void (*g_exitFunctions[kMaxExitFunctions])();
int g_exitFunctionCount = 0;

} // namespace

extern "C" int atexit(void (*function)()) {
    if (g_exitFunctionCount == kMaxExitFunctions)
        return -1;
    g_exitFunctions[g_exitFunctionCount++] = function;
    return 0;
}

extern "C" void exit(int code) {
    while (g_exitFunctionCount > 0)
        g_exitFunctions[--g_exitFunctionCount]();
    ExitProcess(static_cast<UINT>(code));
}

// The exit code of an uncaught exception or a failed allocation, as the C
// library's abort gives it; no exit functions run.
extern "C" void abort() {
    ExitProcess(3);
}
