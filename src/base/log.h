// Briskarn.log: every notable event of a run, each entry a local-time stamp
// followed by the caller's text.
#pragma once

// Appends one entry; the text should end with "\n". Safe from any thread;
// a log that cannot be written is skipped without a word.
void WriteLog(const char* text);
