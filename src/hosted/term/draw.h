// Draws what the simulated screen shows onto a canvas: the windows from
// their views (templates and live control state), the system menu when it
// is open, and the panel of the simulated wheel. Pure functions of their
// arguments, so that tests can draw without a terminal.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

#include "term/canvas.h"
#include "user/screen.h"

namespace hosted::term {

// A place on the canvas that the mouse can click (cells, right and bottom
// inclusive), for the window that takes input only.
struct Hit {
    enum Kind {
        Control,        // id: the control's id
        SpinUp,         // id: the up-down control's id
        SpinDown,       //
        BoxButton,      // id: IDOK, IDCANCEL, ... of the message box
        SystemMenuMark, // the mark in the caption that opens the system menu
        MenuItem,       // id: the system command of the open menu's entry
    };
    Kind kind = Control;
    int id = 0;
    int left = 0, top = 0, right = 0, bottom = 0;
};

// The cells a window takes with its frame and caption: a dialog's client
// area in cells (a dialog unit is a quarter of a cell across and an eighth
// down, so 320 x 239 units are 80 x 30 cells) plus a cell of frame on each
// side, the caption on the frame's top row; a message box's from its text
// and buttons. A minimised window keeps the cells of its restored self.
void WindowCells(const WindowView& window, int* width, int* height);

// Draws the visible windows bottom to top: the first with its frame's top
// left corner at (x, y), each later one (modal dialogs, message boxes)
// centred over the first. A minimised window is drawn as a box with its
// icon and caption instead, which as a whole is its SystemMenuMark hit.
// Hits of the last window go to *hits (replaced).
//
// A capture without attributes still shows the state: "[>Close<]" and
// "[x]>Label<" focused, "[*Enable*]" a pressed push-like check box, "[x]",
// "(*)" checked, an edit's field filled with '_' and ending in '<' when
// focused.
void DrawWindows(Canvas& canvas, int x, int y, const std::vector<WindowView>& windows,
                 std::vector<Hit>* hits);

// Where DrawWindows puts the top left corner of windows[index]'s frame when
// the first window's is at (x, y); a minimised window's box is at (x, y).
void WindowOrigin(int x, int y, const std::vector<WindowView>& windows, std::size_t index,
                  int* left, int* top);

// The open system menu of the last window, below its caption's mark, with
// (x, y) that window's corner as WindowOrigin gives it; `selected` indexes
// items. Its hits go to *hits (replaced).
void DrawSystemMenu(Canvas& canvas, int x, int y, const WindowView& window,
                    const std::vector<MenuItemView>& items, int selected, std::vector<Hit>* hits);

// The first window made to fit in width x height cells, frame included, as
// a smaller font would make it: its pixels taken closer together across or
// down, the template's order of rows and columns kept. A window that fits
// already, a minimised one and a message box (sized from its text) come
// back as they are.
WindowView FitWindow(const WindowView& window, int width, int height);

// The simulated wheel as the panel shows it.
struct WheelPanelState {
    std::string name;     // the device's name
    bool present = false; // false: "no wheel" instead of the rest
    bool polled = true;
    DWORD x = 32767, y = 32767; // 0..65535
    int buttonCount = 10;       // the device's; the first ten are shown
    bool buttons[10] = {};
    int hatCount = 1;       // the device's; the first is shown
    DWORD hat = 0xFFFFFFFF; // hundredths of a degree, 0xFFFFFFFF centred
    bool autopilot = false;
};

constexpr int kPanelWidth = 28;
// The panel, kPanelWidth cells wide from (x, y), WheelPanelRows high.
void DrawWheelPanel(Canvas& canvas, int x, int y, const WheelPanelState& state);
int WheelPanelRows(const WheelPanelState& state);

// The companion driver as the panel shows it: what it answers and the last
// report it received, decoded.
struct DriverPanelState {
    bool present = false;
    DWORD openError = 0; // why it is absent
    DWORD gameMax = 0, callbacks = 0;
    std::uint64_t reports = 0; // received in this run
    int reportsPerSecond = 0;
    bool haveReport = false;
    long axisX = 0, axisY = 0;
    DWORD buttons = 0xF0; // bits 4 to 7: A1, A2, B1, B2, a pressed one 0
};

// The panel, kPanelWidth cells wide from (x, y); returns its rows.
int DrawDriverPanel(Canvas& canvas, int x, int y, const DriverPanelState& state);

// The latest log entries, oldest first, in the `rows` rows of `width`
// cells from (x, y): each entry's time of day and text, wrapped, the newest
// at the bottom and what does not fit dropped from the top.
void DrawLogLines(Canvas& canvas, int x, int y, int width, int rows,
                  const std::vector<std::string>& entries);

} // namespace hosted::term
