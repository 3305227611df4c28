// The panel's keys and the autopilot: each move of the simulated wheel is
// a `wheel` step naming what changed.
#include "term/wheel_input.h"

#include <algorithm>
#include <iterator>

#include <curses.h>

#include "core/machine.h"
#include "sim/wheel_pose.h"
#include "term/front_end_state.h"

namespace hosted::term {
namespace {

constexpr std::int64_t kAxisStep = 4096;

void SetAutopilot(bool on) {
    g_front.autopilot = on;
    g_front.autopilotStart = g_front.nextAutopilot = VirtualTime();
}

} // namespace

// The panel's keys: they move the simulated wheel and never reach a window.
bool WheelKey(const InputEvent& event) {
    bool button = event.alt && event.code >= '0' && event.code <= '9';
    if (!button && !(event.code >= KEY_F(2) && event.code <= KEY_F(8)))
        return false;
    if (event.code == KEY_F(2) && !event.alt) {
        SetAutopilot(!g_front.autopilot);
        return true;
    }
    WheelPose pose;
    {
        MachineLock lock = LockMachine();
        if (!ReadWheelPose(kWheelSlot, &pose)) {
            g_front.status = "no wheel in joystick slot 0";
            return true;
        }
    }
    // The hand on the wheel takes over from the autopilot.
    g_front.autopilot = false;
    WheelPose next = pose;
    static const DWORD kHat[] = {kHatCentred, 0, 9000, 18000, 27000};
    if (button) {
        int index = event.code == '0' ? 9 : event.code - '1';
        next.buttons[index] = !next.buttons[index];
    } else if (event.code == KEY_F(3) || event.code == KEY_F(4)) {
        next.x = std::clamp<std::int64_t>(
            next.x + (event.code == KEY_F(3) ? -kAxisStep : kAxisStep), 0, 65535);
    } else if (event.code == KEY_F(5) || event.code == KEY_F(6)) {
        next.y = std::clamp<std::int64_t>(
            next.y + (event.code == KEY_F(5) ? -kAxisStep : kAxisStep), 0, 65535);
    } else if (event.code == KEY_F(7)) {
        const DWORD* at = std::find(std::begin(kHat), std::end(kHat), pose.hat);
        next.hat = at == std::end(kHat) || at + 1 == std::end(kHat) ? kHat[0] : at[1];
    } else { // F8
        next = WheelPose{};
    }
    std::string line = WheelStepLine(kWheelSlot, pose, next);
    if (!line.empty())
        Do(line);
    return true;
}

void AutopilotMoves() {
    if (!g_front.autopilot)
        return;
    std::int64_t now = VirtualTime();
    if (now < g_front.nextAutopilot)
        return;
    WheelPose pose;
    {
        MachineLock lock = LockMachine();
        if (!ReadWheelPose(kWheelSlot, &pose)) {
            g_front.autopilot = false;
            return;
        }
    }
    std::string line = WheelStepLine(kWheelSlot, pose, AutopilotPose(now - g_front.autopilotStart));
    if (!line.empty())
        Do(line);
    g_front.nextAutopilot = now + kAutopilotPeriodMs;
}

} // namespace hosted::term
