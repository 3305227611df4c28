#include "testbed/wheel_layout.h"

#include <cstring>

const char kDefaultWheelName[] = "Simulated Wheel";

std::vector<WheelObject> WheelObjects(unsigned buttons, unsigned povs) {
    std::vector<WheelObject> objects;
    objects.push_back(
        {"X Axis", &GUID_XAxis, offsetof(DIJOYSTATE2, lX), DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(0)});
    objects.push_back(
        {"Y Axis", &GUID_YAxis, offsetof(DIJOYSTATE2, lY), DIDFT_ABSAXIS | DIDFT_MAKEINSTANCE(1)});
    for (unsigned i = 0; i < buttons; ++i)
        objects.push_back({"Button " + std::to_string(i), &GUID_Button,
                           static_cast<DWORD>(offsetof(DIJOYSTATE2, rgbButtons) + i),
                           static_cast<DWORD>(DIDFT_PSHBUTTON | DIDFT_MAKEINSTANCE(i))});
    for (unsigned i = 0; i < povs; ++i)
        objects.push_back({"POV " + std::to_string(i), &GUID_POV,
                           static_cast<DWORD>(offsetof(DIJOYSTATE2, rgdwPOV) + 4 * i),
                           static_cast<DWORD>(DIDFT_POV | DIDFT_MAKEINSTANCE(i))});
    return objects;
}

GUID WheelInstance(unsigned slot) {
    return GUID{0x5A5A0000u + slot, 0x0BB5, 0x11D1, {0x80, 0, 0, 0, 0, 0, 0, 0}};
}

std::size_t WheelPart(const std::string& part, std::size_t* offset) {
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
        unsigned index = 0;
        for (std::size_t i = 6; i < part.size(); ++i)
            index = index * 10 + static_cast<unsigned>(part[i] - '0');
        if (index < 1 || index > 128)
            return 0;
        *offset = offsetof(DIJOYSTATE2, rgbButtons) + index - 1;
        return 1;
    }
    return 0;
}

void WheelAtRest(DIJOYSTATE2* state) {
    std::memset(state, 0, sizeof *state);
    BYTE* bytes = reinterpret_cast<BYTE*>(state);
    SetWheelPart(bytes, "x", 32767);
    SetWheelPart(bytes, "y", 32767);
    for (int i = 0; i < 4; ++i) // a centred hat, also where the wheel has none
        SetWheelPart(bytes, "pov" + std::to_string(i), 0xFFFFFFFF);
}

bool SetWheelPart(BYTE* state, const std::string& part, long long value) {
    std::size_t offset = 0, size = WheelPart(part, &offset);
    if (size == 4) {
        // An axis is a LONG, a hat a DWORD: the same four bytes.
        DWORD number = static_cast<DWORD>(value);
        std::memcpy(state + offset, &number, 4);
    } else if (size == 1) {
        state[offset] = static_cast<BYTE>(value);
    }
    return size != 0;
}

bool GetWheelPart(const BYTE* state, const std::string& part, long long* value) {
    std::size_t offset = 0, size = WheelPart(part, &offset);
    if (size == 4) {
        DWORD number = 0;
        std::memcpy(&number, state + offset, 4);
        *value = part[0] == 'p' ? static_cast<long long>(number)
                                : static_cast<long long>(static_cast<LONG>(number));
    } else if (size == 1) {
        *value = state[offset];
    }
    return size != 0;
}
