// What the parts of the interactive loop share: its state, owned by the
// drive's thread alone, and the way every input becomes a step.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

#include "sim/session.h"
#include "term/canvas.h"
#include "term/draw.h"
#include "term/terminal.h"
#include "user/screen.h"

namespace hosted::term {

// The joystick slot whose wheel the panel shows and the keys move.
constexpr unsigned kWheelSlot = 0;

struct FrontEnd {
    LiveSession* session = nullptr;
    WallClockPacer pacer;
    bool menuOpen = false;
    int menuSelected = 0;
    std::vector<MenuItemView> menu;
    bool autopilot = false;
    std::int64_t autopilotStart = 0, nextAutopilot = 0;
    std::string status; // why the last input was refused
    std::vector<Hit> hits, menuHits;
    Canvas shown{0, 0};
};

extern FrontEnd g_front;

// Carries out a scenario line; a refusal goes to the status line, a machine
// that cannot become quiet ends the run.
void Do(const std::string& line);
std::int64_t VirtualTime();

// front_screen.cpp: the screen drawn anew, reaching the terminal only when
// it changed.
void Draw();

// system_menu.cpp
void OpenMenu();
void MenuKey(const InputEvent& event);
void ChooseMenuItem(UINT id);

// wheel_input.cpp: the panel's keys and the autopilot.
bool WheelKey(const InputEvent& event);
void AutopilotMoves();

// window_input.cpp: keys and clicks for the active window.
void WindowKey(const InputEvent& event);
void Click(int x, int y);

} // namespace hosted::term
