// The entry point of the console program, in place of mingw-w64's crt2.o,
// whose start-up code is built for the Pentium Pro. The patcher's main takes
// no arguments, so no argument vector is built. The static constructors run
// through the toolchain's own __main (the compiler calls it again at the top
// of main, which it ignores), in the order of the .ctors list that the linker
// lays out; exit() then runs what they registered with atexit, in reverse,
// and flushes and closes the streams, so the last line of output is written.
#include <stdlib.h>

extern "C" void __main();
extern "C" void __set_app_type(int);

int main();

namespace {

// Runtime errors are written to stderr rather than shown in a message box.
const int kConsoleApp = 1;

} // namespace

extern "C" void mainCRTStartup() {
    __set_app_type(kConsoleApp);
    __main();
    exit(main());
}
