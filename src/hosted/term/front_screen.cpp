// The screen of the interactive run: the windows, the open system menu,
// the wheel's panel and the status line, or the size needed.
#include "term/front_screen.h"

#include <algorithm>

#include "core/format.h"
#include "core/machine.h"
#include "dinput/input_devices.h"
#include "sim/wheel_pose.h"
#include "term/front_end.h"
#include "term/front_end_state.h"
#include "term/key_legend.h"

namespace hosted::term {
namespace {

WheelPanelState PanelState() {
    WheelPanelState state;
    WheelPose pose;
    {
        MachineLock lock = LockMachine();
        std::shared_ptr<InputDevice> wheel = JoystickSlot(kWheelSlot);
        state.present = wheel && ReadWheelPose(kWheelSlot, &pose);
        if (wheel) {
            state.name = wheel->name;
            state.polled = wheel->polled;
        }
    }
    state.x = static_cast<DWORD>(pose.x);
    state.y = static_cast<DWORD>(pose.y);
    std::copy(pose.buttons, pose.buttons + kPoseButtons, state.buttons);
    state.hat = pose.hat;
    state.autopilot = g_front.autopilot;
    state.keys = KeyLegend();
    return state;
}

} // namespace

void Draw() {
    int width = 0, height = 0;
    TerminalSize(&width, &height);
    std::vector<WindowView> windows = VisibleWindows();
    int dialogWidth = 0, dialogHeight = 0;
    if (!windows.empty())
        WindowCells(windows.front(), &dialogWidth, &dialogHeight);
    int needWidth = std::max(kMinWidth, dialogWidth + 1 + kPanelWidth);
    int needHeight = std::max(kMinHeight, dialogHeight + 1);
    Canvas canvas(width, height);
    g_front.hits.clear();
    g_front.menuHits.clear();
    if (width < needWidth || height < needHeight) {
        std::string lines[] = {
            Format("BRISKARN needs a terminal of at least %d x %d;", needWidth, needHeight),
            Format("this one is %d x %d. Make it larger, or press Ctrl-C to quit.", width, height)};
        for (int i = 0; i < 2; ++i)
            canvas.Text(0, height / 2 - 1 + i, lines[i]);
    } else {
        DrawWindows(canvas, 0, 0, windows, &g_front.hits);
        if (g_front.menuOpen && !windows.empty()) {
            int left = 0, top = 0;
            WindowOrigin(0, 0, windows, windows.size() - 1, &left, &top);
            DrawSystemMenu(canvas, left, top, windows.back(), g_front.menu, g_front.menuSelected,
                           &g_front.menuHits);
        }
        DrawWheelPanel(canvas, dialogWidth + 1, 0, PanelState());
        canvas.Text(0, height - 1,
                    g_front.status.empty() ? StatusHint() : "Refused: " + g_front.status,
                    g_front.status.empty() ? kDim : kBold);
    }
    if (!(canvas == g_front.shown)) {
        ShowCanvas(canvas);
        g_front.shown = canvas;
    }
}

} // namespace hosted::term
