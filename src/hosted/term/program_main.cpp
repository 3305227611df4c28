// The hosted build's entry point for BRISKARN: Windows would call the
// framework's WinMain; here the chosen run does, on the main thread.
#include <windows.h>

#include "term/command_line.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);

int main(int argc, char** argv) {
    return hosted::term::RunBriskarnCommand(argc, argv, &WinMain);
}
