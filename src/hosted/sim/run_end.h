// The one way a run ends before its program has: a failed step, a machine
// that cannot become quiet, a bad recording, a signal. The terminal is
// given back, the lines held for the user shown, the transcript flushed,
// and the process ends with the code, the program left where it was.
#pragma once

#include <string>

namespace hosted {

// `message` (a whole line without its end; empty: none) goes to standard
// error last. A transcript that could not be written is said too, and makes
// a code of 0 a 2.
[[noreturn]] void EndRun(int code, const std::string& message);
// EndRun as a failed scenario does: exit code 2 and the reason, with the
// scenario line when line > 0.
[[noreturn]] void FailRun(int line, const std::string& reason);
// The run's first `lines` lines are the machine file `name`'s own, so a
// failure among them names that file rather than the scenario.
void NameMachineLines(const std::string& name, int lines);
// Called first by EndRun, e.g. to give the terminal back.
void SetRunEndHook(void (*hook)());

// A `signal` step: the run was ended from outside at this point, as the
// live session it replays was. The signal's number, or 0 while none.
void NoteRunEndedBySignal(int signal);
int RunEndedBySignal();

} // namespace hosted
