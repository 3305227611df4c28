// The interactive run's screen.
#pragma once

namespace hosted::term {

// Draws the screen anew; the terminal is written only when it changed.
void Draw();

} // namespace hosted::term
