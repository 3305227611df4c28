// The entry point of the console program, in place of mingw-w64's crt2.o,
// whose start-up code is built for the Pentium Pro. msvcrt.dll has set itself
// up before this runs; __set_app_type(1) has it write its own fatal errors to
// stderr. The patcher's main takes no arguments, so no argument vector is
// built. The static constructors run through the toolchain's own __main (the
// compiler calls it again at the top of main, which then does nothing), in
// the order of the .ctors list that the linker lays out; exit() then runs
// what they registered with atexit, in reverse, and flushes and closes the
// streams, so the last line of output reaches the file or console.
#include <stdlib.h>

extern "C" void __main();
extern "C" void __set_app_type(int);

int main();

extern "C" void mainCRTStartup() {
    __set_app_type(1);
    __main();
    exit(main());
}
