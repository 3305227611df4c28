// The hosted build's entry point for BRISKARN: Windows would call the
// framework's WinMain; here the scenario runner does.
#include <windows.h>

#include "sim/scenario.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);

int main(int argc, char** argv) {
    return hosted::RunHostedProgram(argc, argv, &WinMain);
}
