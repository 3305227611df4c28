// The interactive run: BRISKARN's windows drawn in the terminal beside a
// panel of the simulated wheel, a person's keys and clicks turned into the
// same steps a scenario takes, and the virtual clock following the wall
// clock.
#pragma once

#include <cstdio>
#include <string>

#include "term/screen_layout.h"

namespace hosted::term {

// The terminal size the front end needs for the main dialog.
constexpr int kMinWidth = kScreenMinWidth, kMinHeight = kScreenMinHeight;

// The drive of an interactive run: sets up `machine`, starts the program
// and takes input until the program ends or a signal ends the run. Every
// step goes to `recording` (null: none). Ends the process itself when the
// run cannot go on (exit code 2) or a signal ends it (128 + the signal).
void RunFrontEnd(const std::string& machine, std::FILE* recording);

} // namespace hosted::term
