#include "term/key_legend.h"

namespace hosted::term {

std::vector<std::string> KeyLegend() {
    return {
        "Wheel keys",
        " F3 / F4    steer left/right",
        " F5 / F6    pedal down/up",
        " Alt+1..0   button 1..10",
        " F7         turn the hat",
        " F8         wheel at rest",
        " F2         autopilot on/off",
        "Window keys",
        " Tab Shift+Tab Space Enter",
        " Esc, arrows, typing",
        " F9         system menu",
        " F12        minimise/restore",
        " Ctrl-C     quit at once",
    };
}

std::string StatusHint() {
    return "Tab moves, Space or Enter presses, Esc closes; F9 opens the system menu. "
           "The mouse clicks.";
}

} // namespace hosted::term
