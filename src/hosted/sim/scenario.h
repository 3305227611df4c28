// Scenario runs of the hosted program: the steps of a scenario file (or the
// built-in demo) carried out one by one against the simulated machine and
// the running program, each ending when the machine is quiet.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

#include "sim/steps.h"

namespace hosted {

using WinMainFunction = int (*)(HINSTANCE, HINSTANCE, LPSTR, int);

// The hosted program's main(): parses the command line, runs the scenario
// and, on its "start" step, the program's WinMain on the calling thread.
int RunHostedProgram(int argc, char** argv, WinMainFunction winMain);

// The steps of a scenario's text, blank lines and comments left out.
std::vector<Step> ParseScenario(const std::string& text);

} // namespace hosted
