// The keys of the interactive run, as the panel and the bottom line list
// them. The wheel's keys are function keys and Alt with a digit, which no
// dialog uses, so they never collide with Tab, Space, Enter, Escape, the
// arrows or typing.
#pragma once

#include <string>
#include <vector>

namespace hosted::term {

std::vector<std::string> KeyLegend();
// The bottom line while nothing was refused.
std::string StatusHint();

} // namespace hosted::term
