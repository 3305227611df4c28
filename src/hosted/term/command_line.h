// The hosted program's command line and the three ways it runs: a scenario
// file; the interactive front end on a terminal; or, without a terminal,
// the demo for a few seconds with its transcript on standard output.
#pragma once

#include "sim/runner.h"

namespace hosted::term {

int RunBriskarnCommand(int argc, char** argv, WinMainFunction winMain);

} // namespace hosted::term
