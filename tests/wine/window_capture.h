// A window as the screen shows it, saved as a PNG file: the dialogs drawn
// by the dialog manager, and BRISKARN.EXE at work under Wine.
#pragma once

#include <string>

#include <windows.h>

bool Capture(HWND window, const std::string& path);
