// The entry point of the dialog program, in place of mingw-w64's crt2.o,
// whose start-up code is built for the Pentium Pro. The static constructors
// run through the toolchain's own __main, in the order of the .ctors list
// that the linker lays out; exit() then runs what they registered with
// atexit, in reverse (exit.cpp). WinMain gets what Windows documents for it: the module's handle,
// no previous instance, the command line after the program's name (which may be quoted and hold
// blanks; bytes above 127 are not blanks) and the show command the starting
// program asked for.
#include <stdlib.h>

#include <windows.h>

extern "C" void __main();

namespace {

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
    __main();
    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int show = startup.dwFlags & STARTF_USESHOWWINDOW ? startup.wShowWindow : SW_SHOWDEFAULT;
    exit(WinMain(GetModuleHandleA(nullptr), nullptr, CommandTail(), show));
}
