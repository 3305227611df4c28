// Runs the hosted briskarn on a scenario in a directory of its own and
// collects what it left: exit code, transcript, error output, the log.
#pragma once

#include <string>

#include "temp_dir.h"

struct ScenarioRun {
    int exitCode = -1;
    std::string transcript;
    std::string errors;
    std::string Log() const { return dir->Read("Briskarn.log"); }
    const TempDir* dir = nullptr;
};

// A transcript or log without the lines of the main dialog's search for a
// game device (the joystick configuration slots, the device picked or
// missed), for tests about something else.
std::string WithoutGameDeviceSetUp(const std::string& text);

// Runs in `dir`, so a test can put files there first and read them after.
ScenarioRun RunScenario(const TempDir& dir, const std::string& scenario);

// Runs the hosted briskarn in `dir` with `arguments` (shell words) and gives
// its exit code; its standard error goes to `errors`.
int RunBriskarn(const TempDir& dir, const std::string& arguments, std::string* errors);
