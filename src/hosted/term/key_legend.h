// The keys of the interactive run, as the help and the bottom line list
// them. The wheel's keys are function keys and Alt with a digit, which no
// dialog uses, so they never collide with Tab, Space, Enter, Escape, the
// arrows or typing.
#pragma once

#include <string>
#include <vector>

namespace hosted::term {

// Where the run keeps what it writes, as the help names them; an empty
// recording: the run records nothing.
struct RunFiles {
    std::string log, registry, recording;
};

// The help's lines, in two columns when `width` cells allow.
std::vector<std::string> HelpLines(const RunFiles& files, int width);

// The bottom line while nothing was refused: what the keys do to the
// active window; `quits`: Escape there ends BRISKARN; `folded`: the panels
// are folded away behind their key.
std::string StatusHint(bool quits, bool folded);

} // namespace hosted::term
