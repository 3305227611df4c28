#include "sim/game_devices.h"

#include <cstddef>
#include <cstring>

namespace hosted {
namespace {

void Put(InputDevice& device, std::size_t offset, const void* bytes, std::size_t size) {
    std::memcpy(device.state.data() + offset, bytes, size);
}

} // namespace

std::shared_ptr<InputDevice> MakeWheel(unsigned slot, const std::string& name, bool polled,
                                       unsigned buttons, unsigned povs) {
    auto wheel = std::make_shared<InputDevice>();
    wheel->instance = GUID{0x5A5A0000u + slot, 0x0BB5, 0x11D1, {0x80, 0, 0, 0, 0, 0, 0, 0}};
    wheel->name = name;
    wheel->deviceType = 0x0104; // a joystick
    wheel->polled = polled;
    wheel->format = &c_dfDIJoystick2;
    wheel->state.assign(sizeof(DIJOYSTATE2), 0);
    wheel->objects.push_back(
        {"X Axis", &GUID_XAxis, offsetof(DIJOYSTATE2, lX), DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(0)});
    wheel->objects.push_back(
        {"Y Axis", &GUID_YAxis, offsetof(DIJOYSTATE2, lY), DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(1)});
    for (unsigned i = 0; i < buttons; ++i)
        wheel->objects.push_back({"Button " + std::to_string(i), &GUID_Button,
                                  static_cast<DWORD>(offsetof(DIJOYSTATE2, rgbButtons) + i),
                                  static_cast<DWORD>(DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(i))});
    for (unsigned i = 0; i < povs; ++i)
        wheel->objects.push_back({"POV " + std::to_string(i), &GUID_POV,
                                  static_cast<DWORD>(offsetof(DIJOYSTATE2, rgdwPOV) + 4 * i),
                                  static_cast<DWORD>(DIDFT_POV | DIDFT_MAKEINSTANCE(i))});
    SetWheelValue(*wheel, "x", 32767);
    SetWheelValue(*wheel, "y", 32767);
    for (unsigned i = 0; i < 4; ++i) // a centred hat, also where the wheel has none
        SetWheelValue(*wheel, "pov" + std::to_string(i), 0xFFFFFFFF);
    return wheel;
}

namespace {

// Where a named part lives in the wheel's state, and its size in bytes; 0
// when there is no such part.
std::size_t PartOf(const std::string& part, std::size_t* offset) {
    static const struct {
        const char* name;
        std::size_t offset;
    } kAxes[] = {{"x", offsetof(DIJOYSTATE2, lX)},
                 {"y", offsetof(DIJOYSTATE2, lY)},
                 {"z", offsetof(DIJOYSTATE2, lZ)}};
    for (const auto& axis : kAxes)
        if (part == axis.name) {
            *offset = axis.offset;
            return 4;
        }
    if (part.size() == 4 && part.compare(0, 3, "pov") == 0 && part[3] >= '0' && part[3] <= '3') {
        *offset = offsetof(DIJOYSTATE2, rgdwPOV) + 4 * static_cast<std::size_t>(part[3] - '0');
        return 4;
    }
    if (part.compare(0, 6, "button") == 0 && part.size() > 6 && part.size() <= 9 &&
        part.find_first_not_of("0123456789", 6) == std::string::npos && part[6] != '0') {
        unsigned index = static_cast<unsigned>(std::stoul(part.substr(6)));
        if (index < 1 || index > 128)
            return 0;
        *offset = offsetof(DIJOYSTATE2, rgbButtons) + index - 1;
        return 1;
    }
    return 0;
}

} // namespace

bool SetWheelValue(InputDevice& wheel, const std::string& part, std::int64_t value) {
    std::size_t offset = 0, size = PartOf(part, &offset);
    if (size == 4) {
        // An axis is a LONG, a hat a DWORD: the same four bytes.
        DWORD number = static_cast<DWORD>(value);
        Put(wheel, offset, &number, 4);
    } else if (size == 1) {
        BYTE number = static_cast<BYTE>(value);
        Put(wheel, offset, &number, 1);
    }
    return size != 0;
}

bool GetWheelValue(const InputDevice& wheel, const std::string& part, std::int64_t* value) {
    std::size_t offset = 0, size = PartOf(part, &offset);
    if (size == 4) {
        DWORD number = 0;
        std::memcpy(&number, wheel.state.data() + offset, 4);
        *value = part[0] == 'p' ? static_cast<std::int64_t>(number)
                                : static_cast<std::int64_t>(static_cast<LONG>(number));
    } else if (size == 1) {
        *value = wheel.state[offset];
    }
    return size != 0;
}

} // namespace hosted
