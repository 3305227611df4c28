// Lines for the person running briskarn, on standard error. While the
// terminal shows the program's window a line written there would be drawn
// over and never seen, so the front end holds them until it has given the
// terminal back.
#pragma once

#include <string>

namespace hosted {

// `line` (without its line end) now, or once the terminal is given back.
void TellUser(const std::string& line);
// From now on lines wait for ShowHeldUserMessages.
void HoldUserMessages();
// Writes the lines held, in order, and holds no more.
void ShowHeldUserMessages();
// The same from a crash handler: only calls safe there, nothing locked.
void ShowHeldUserMessagesInSignalHandler();

} // namespace hosted
