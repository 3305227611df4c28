// The entry point of the dialog program, in place of mingw-w64's crt2.o,
// whose start-up code is built for the Pentium Pro and brings in the
// pseudo-relocation and argument-parsing code the program has no use for.
// msvcrt.dll has set itself up before this runs. The static constructors run
// through the toolchain's own __main, in the order of the .ctors list that the
// linker lays out; exit() then runs what they registered with atexit, in
// reverse, and flushes and closes the streams.
#include <stdlib.h>

#include <windows.h>

extern "C" void __main();
extern "C" void __set_app_type(int);

namespace {

// Runtime errors are shown in a message box rather than written to stderr.
const int kGuiApp = 2;

// WinMain gets the command line without the program's name, as Windows
// passes it to a 16-bit program: the name may be quoted and hold blanks.
LPSTR CommandTail() {
    unsigned char* at = reinterpret_cast<unsigned char*>(GetCommandLineA());
    bool quoted = false;
    for (; *at > ' ' || (*at && quoted); ++at) {
        if (*at == '"')
            quoted = !quoted;
    }
    while (*at && *at <= ' ')
        ++at;
    return reinterpret_cast<LPSTR>(at);
}

} // namespace

extern "C" void WinMainCRTStartup() {
    __set_app_type(kGuiApp);
    __main();
    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int show = startup.dwFlags & STARTF_USESHOWWINDOW ? startup.wShowWindow : SW_SHOWDEFAULT;
    exit(WinMain(GetModuleHandleA(nullptr), nullptr, CommandTail(), show));
}
