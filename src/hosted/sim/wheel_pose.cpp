#include "sim/wheel_pose.h"

#include <cmath>

#include "dinput/input_devices.h"
#include "sim/game_devices.h"

namespace hosted {

bool ReadWheelPose(unsigned slot, WheelPose* pose) {
    std::shared_ptr<InputDevice> wheel = JoystickSlot(slot);
    if (!wheel)
        return false;
    std::int64_t value = 0;
    *pose = WheelPose{};
    if (GetWheelValue(*wheel, "x", &value))
        pose->x = value;
    if (GetWheelValue(*wheel, "y", &value))
        pose->y = value;
    for (int i = 0; i < kPoseButtons; ++i)
        pose->buttons[i] =
            GetWheelValue(*wheel, "button" + std::to_string(i + 1), &value) && (value & 0x80);
    if (GetWheelValue(*wheel, "pov0", &value))
        pose->hat = static_cast<DWORD>(value);
    return true;
}

std::string WheelStepLine(unsigned slot, const WheelPose& from, const WheelPose& to) {
    std::string changes;
    if (to.x != from.x)
        changes += " x=" + std::to_string(to.x);
    if (to.y != from.y)
        changes += " y=" + std::to_string(to.y);
    for (int i = 0; i < kPoseButtons; ++i)
        if (to.buttons[i] != from.buttons[i])
            changes += " button" + std::to_string(i + 1) + (to.buttons[i] ? "=down" : "=up");
    if (to.hat != from.hat)
        changes += " pov0=" + std::to_string(to.hat);
    return changes.empty() ? "" : "wheel " + std::to_string(slot) + changes;
}

namespace {

// Around the middle, `amplitude` either way, once every `periodMs`.
std::int64_t Swing(std::int64_t ms, double periodMs, double amplitude) {
    const double kTurn = 6.283185307179586;
    double phase = static_cast<double>(ms % static_cast<std::int64_t>(periodMs)) / periodMs;
    return 32767 + std::llround(amplitude * std::sin(kTurn * phase));
}

} // namespace

WheelPose AutopilotPose(std::int64_t ms) {
    WheelPose pose;
    pose.x = Swing(ms, 4000, 32767);
    pose.y = Swing(ms, 2600, 24000);
    // Each second the next button is down for its first 300 ms.
    if (ms % 1000 < 300)
        pose.buttons[(ms / 1000) % kPoseButtons] = true;
    // The hat rests centred for two seconds, then points each way in turn.
    static const DWORD kHat[] = {kHatCentred, 0, 9000, 18000, 27000};
    pose.hat = kHat[(ms / 2000) % 5];
    return pose;
}

} // namespace hosted
