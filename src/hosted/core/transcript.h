// The transcript of a scenario run: one line per event that a user, the
// driver or the log would see, each prefixed with the virtual time in ms
// since the program was started.
#pragma once

#include <cstdio>
#include <string>

namespace hosted {

// Starts writing to out (not owned; flushed after every line). Without a
// call the transcript goes nowhere, as in unit tests.
void OpenTranscript(std::FILE* out);
void SetTranscriptStart(long long now);
void TranscriptLine(const std::string& text);
// A log entry as written: line ends shown as "\n".
void TranscriptLog(const std::string& bytes);
// Written when the process has ended and the program's statics are gone.
void TranscriptExitAtProcessEnd();
void FlushTranscript();
// The errno of the first line that could not be written, or 0.
int TranscriptWriteError();

} // namespace hosted
