// The wheel panel's keys and the autopilot.
#pragma once

#include "term/terminal.h"

namespace hosted::term {

// False when the key is not one of the panel's.
bool WheelKey(const InputEvent& event);
void AutopilotMoves();

} // namespace hosted::term
