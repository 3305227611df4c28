// The signals that end a run from outside, by the names a `signal` step
// takes (SIGINT is INT). The terminal front end catches the ones it can,
// gives the terminal back and ends the recording with that step, so that
// the replay ends where the session did.
#pragma once

namespace hosted {

struct EndingSignal {
    enum Kind {
        Request, // ends the run at the next turn of the front end's loop
        Crash,   // the process is past saving: handled on the spot, then default
        Uncaught // SIGKILL: nothing can be done, the recording says it beforehand
    };
    int number;
    const char* name;
    Kind kind;
};

// Every entry, ended by one whose name is null.
extern const EndingSignal kEndingSignals[];

// Null when the name or number is none of them. Safe in a signal handler.
const EndingSignal* FindEndingSignal(const char* name);
const EndingSignal* FindEndingSignal(int number);

} // namespace hosted
