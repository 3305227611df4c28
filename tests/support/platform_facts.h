// What a test may need to know about the Win32 implementation it runs on.
#pragma once

#include <string>

// Windows builds: a program of the build tree, seen from a test executable
// (tests/FOLDER/NAME.exe lies two folders below it).
std::string ProgramInBuildTree(const char* fileName);

// Wine, as opposed to Windows or the simulated machine.
bool RunningUnderWine();
