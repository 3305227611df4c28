// Keys and clicks for the active window.
#pragma once

#include "term/terminal.h"

namespace hosted::term {

void WindowKey(const InputEvent& event);
void Click(int x, int y);

} // namespace hosted::term
