// The keys and clicks that the screen itself takes before any window or
// the wheel sees them.
#pragma once

#include "term/terminal.h"

namespace hosted::term {

// True when the screen took the event: the help's and the panels' keys,
// Alt+F4, anything while the help covers the windows, and every key and
// click while no window can be drawn (too small a terminal, the panels
// unfolded over it), so that nothing acts unseen.
bool ViewTakes(const InputEvent& event);

} // namespace hosted::term
