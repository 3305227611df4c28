// The interactive run's screen.
#pragma once

#include <cstdint>
#include <string>

#include "term/screen_layout.h"

namespace hosted::term {

// Where this run writes its registry and its recording (empty: none), as
// the help shows them; relative paths are taken from the current directory.
void NoteRunFiles(const std::string& registry, const std::string& recording);

// What the screen shows now: the windows, the panels, the front end's state.
ScreenParts GatherScreenParts();

// When the screen changes by itself, in virtual time: a rate of reports not
// yet fallen to 0 with none arriving; false while nothing is due.
bool ScreenDueAt(std::int64_t* virtualMs);

// Draws the screen anew; the terminal is written only when it changed.
void Draw();

} // namespace hosted::term
