// The interactive loop's state, which its parts share, owned by the drive's
// thread alone; and the way every input becomes a step (front_end.cpp).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

#include "sim/session.h"
#include "term/canvas.h"
#include "term/draw.h"
#include "term/key_legend.h"
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
    // The screen's own state, and how it came out when last drawn.
    bool help = false, panelsUnfolded = false;
    bool tooSmall = false, folded = false, windowsShown = true;
    RunFiles files;
    Canvas shown{0, 0};
};

extern FrontEnd g_front;

// Carries out a scenario line; a refusal goes to the status line, a machine
// that cannot become quiet ends the run.
void Do(const std::string& line);
std::int64_t VirtualTime();

} // namespace hosted::term
