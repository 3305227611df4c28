// Runs of the hosted program: its WinMain on the main thread while a drive
// acts on the simulated machine from a thread of its own. The drive is a
// scenario's steps carried out one by one, each ending when the machine is
// quiet, or the terminal front end, which takes a person's input.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <windows.h>

#include "sim/run_end.h"
#include "sim/steps.h"

namespace hosted {

using WinMainFunction = int (*)(HINSTANCE, HINSTANCE, LPSTR, int);

struct RunSettings {
    std::FILE* transcript = nullptr; // null: none
};

// Runs `drive` on a thread of its own; when it carries out a `start` step,
// the program's WinMain runs on the calling thread. Returns the process's
// exit code once both have ended.
int RunProgram(const RunSettings& settings, WinMainFunction winMain,
               const std::function<void()>& drive);

// The steps of a scenario's text, blank lines and comments left out.
std::vector<Step> ParseScenario(const std::string& text);
// Carries out the steps as the drive of a scenario run. A step that fails,
// or a scenario that ends with the program still running, ends the process
// with exit code 2 and a line on standard error naming the line; a `signal`
// step, the last, ends it with 0, the program left as the signal left it.
void RunSteps(const std::vector<Step>& steps, int lastLine);

// False with the reason when the scenario is not a regular file that can be
// read whole, so a directory, a device or a pipe is not taken for no steps.
bool ReadScenario(const char* path, std::string* text, std::string* reason);
// Creates or truncates an output file, devices included (not through fopen:
// the program's C runtime refuses devices); null on failure.
std::FILE* CreateOutputFile(const char* path);

} // namespace hosted
