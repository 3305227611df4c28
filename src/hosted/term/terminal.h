// The terminal while the front end owns it (ncurses): opened once, and
// given back as it was found on every way out, including signals and
// crashes. Input comes as events; a signal that ends the run is one too.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "term/canvas.h"

namespace hosted::term {

// Whether standard input and output are a terminal whose type (TERM) ncurses
// knows; a run on any other goes without the window.
bool TerminalUsable();
// False with the reason when standard input and output are no terminal
// that ncurses can use. Installs the signal handlers.
bool OpenTerminal(std::string* error);
// Gives the terminal back; any number of times, from any way out.
void CloseTerminal();
// Called by a crash's handler once it has given the terminal back, before
// the signal's default action ends the process: only calls safe there.
void SetCrashHook(void (*hook)(int signal));

void TerminalSize(int* width, int* height);
// Shows the canvas (only the cells that changed reach the terminal).
void ShowCanvas(const Canvas& canvas);

struct InputEvent {
    enum Kind {
        Key,    // code: a character or an ncurses KEY_ code; alt: Alt was held
        Mouse,  // x, y: the cell pressed with the first button
        Resize, // the terminal changed its size
        Signal, // code: a signal that asks the run to end (SIGINT, SIGTERM...)
    };
    Kind kind = Key;
    int code = 0;
    bool alt = false;
    int x = 0, y = 0;
};

// Waits until `until` at the latest (to the microsecond: a poll timer's
// pass is due to the millisecond) for input or a signal, and gives what has
// come, oldest first; empty on the timeout.
std::vector<InputEvent> WaitForInput(std::chrono::steady_clock::time_point until);

} // namespace hosted::term
