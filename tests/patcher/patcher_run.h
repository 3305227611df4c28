// Runs the built patcher in a directory of its own and collects what a user
// sees: the standard output and the exit code.
#pragma once

#include <string>

#include "temp_dir.h"

struct PatcherRun {
    int exitCode = -1;
    std::string output;
};

// `shellPrefix` runs in the same shell just before the patcher, e.g. to set
// a resource limit for it alone.
PatcherRun RunPatcher(const TempDir& dir, const std::string& shellPrefix = "");
