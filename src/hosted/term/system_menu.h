// The system menu of the interactive run's active window.
#pragma once

#include <windows.h>

#include "term/terminal.h"

namespace hosted::term {

void OpenMenu();
void MenuKey(const InputEvent& event);
void ChooseMenuItem(UINT id);

} // namespace hosted::term
