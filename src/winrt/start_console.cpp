// The entry point of the console program, in place of mingw-w64's crt2.o,
// whose start-up code is built for the Pentium Pro. The patcher's main takes
// no arguments, so no argument vector is built. The static constructors run through the toolchain's
// own __main (the compiler calls it again at the top of main, which then does nothing), in the
// order of the .ctors list that the linker lays out; exit() then runs what they registered with
// atexit, in reverse (exit.cpp). The streams are unbuffered (console_stdio.cpp), so the last line
// is already out.
#include <stdlib.h>

extern "C" void __main();

int main();

extern "C" void mainCRTStartup() {
    __main();
    exit(main());
}
