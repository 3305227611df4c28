#include "sim/game_devices.h"

#include <cstring>

#include "testbed/wheel_layout.h"

namespace hosted {

std::shared_ptr<InputDevice> MakeWheel(unsigned slot, const std::string& name, bool polled,
                                       unsigned buttons, unsigned povs) {
    auto wheel = std::make_shared<InputDevice>();
    wheel->instance = WheelInstance(slot);
    wheel->name = name;
    wheel->deviceType = 0x0104; // a joystick
    wheel->polled = polled;
    wheel->format = &c_dfDIJoystick2;
    for (const WheelObject& object : WheelObjects(buttons, povs))
        wheel->objects.push_back({object.name, object.guidType, object.offset, object.type});
    DIJOYSTATE2 rest;
    WheelAtRest(&rest);
    const BYTE* bytes = reinterpret_cast<const BYTE*>(&rest);
    wheel->state.assign(bytes, bytes + sizeof rest);
    return wheel;
}

bool SetWheelValue(InputDevice& wheel, const std::string& part, std::int64_t value) {
    return wheel.state.size() >= sizeof(DIJOYSTATE2) &&
           SetWheelPart(wheel.state.data(), part, value);
}

bool GetWheelValue(const InputDevice& wheel, const std::string& part, std::int64_t* value) {
    long long read = 0;
    if (wheel.state.size() < sizeof(DIJOYSTATE2) || !GetWheelPart(wheel.state.data(), part, &read))
        return false;
    *value = read;
    return true;
}

} // namespace hosted
