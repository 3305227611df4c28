// The whole screen of the interactive run as a pure function of what it
// shows: the windows with the panels beside them where the terminal is wide
// enough, else the windows made to fit and the panels folded away behind a
// key; the help over everything; the bottom line. Tests and the README's
// sample draw it without a terminal.
#pragma once

#include <string>
#include <vector>

#include "term/canvas.h"
#include "term/draw.h"
#include "term/key_legend.h"
#include "user/screen.h"

namespace hosted::term {

struct ScreenParts {
    std::vector<WindowView> windows; // bottom to top
    bool menuOpen = false;           // the last window's system menu
    std::vector<MenuItemView> menu;
    int menuSelected = 0;
    WheelPanelState wheel;
    DriverPanelState driver;
    std::vector<std::string> log; // the latest entries, oldest first
    bool panelsUnfolded = false;  // folded panels shown instead of the windows
    bool help = false;
    RunFiles files;
    std::string refused; // why the last input was refused; empty: nothing was
};

// How the screen came out, for the input that follows.
struct ScreenLayout {
    bool tooSmall = false;     // a message instead: no window can be drawn
    bool folded = false;       // the panels are not beside the windows
    bool windowsShown = false; // the windows are on screen, clicks reach them
    std::vector<Hit> hits, menuHits;
};

// The smallest terminal the screen is drawn on.
constexpr int kScreenMinWidth = 80, kScreenMinHeight = 24;

Canvas ComposeScreen(int width, int height, const ScreenParts& parts, ScreenLayout* layout);

} // namespace hosted::term
