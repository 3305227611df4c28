// What the simulated wheel shows at a moment: its axes, its first ten
// buttons and its first hat, as the terminal's panel and the autopilot see
// it, and the `wheel` step that moves it from one pose to another.
#pragma once

#include <cstdint>
#include <string>

#include <windows.h>

namespace hosted {

constexpr int kPoseButtons = 10;
constexpr DWORD kHatCentred = 0xFFFFFFFF;

struct WheelPose {
    std::int64_t x = 32767, y = 32767;
    bool buttons[kPoseButtons] = {};
    DWORD hat = kHatCentred;
};

// The pose of the device in `slot`; false when the slot is empty. Machine
// lock held.
bool ReadWheelPose(unsigned slot, WheelPose* pose);

// "wheel SLOT x=... button3=down ..." naming only what differs; empty when
// nothing does.
std::string WheelStepLine(unsigned slot, const WheelPose& from, const WheelPose& to);

// The autopilot: the wheel swept left and right, the pedal pumped, one
// button after another pressed and the hat turned, as a pure function of
// the time since it took over, so that a run with it replays exactly.
constexpr std::int64_t kAutopilotPeriodMs = 50;
WheelPose AutopilotPose(std::int64_t ms);

} // namespace hosted
