// The program's entry point. It is compiled into the executable itself, not
// into the framework library, so the linker finds it whatever the order in
// which the runtime and the libraries are searched.
#include "framework/app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
    return AfxWinMain(instance, previous, commandLine, show);
}
