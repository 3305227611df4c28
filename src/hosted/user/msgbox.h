// The simulated user's side of message boxes.
#pragma once

#include <string>

namespace hosted {

// Presses a button (IDOK, IDCANCEL, ...) of the active message box; false
// with the reason when there is none or it has no such button.
bool AnswerMessageBox(int button, std::string* error);

} // namespace hosted
