// The predefined data formats, object by object as the import library that
// the Windows builds link holds them (the format tests compare the two);
// its sliders of the velocity, acceleration and force groups name the
// position sliders' offsets, and so do these.
#include <cstddef>

#include <dinput.h>

namespace {

constexpr DWORD kAnyOptional = DIDFT_OPTIONAL | DIDFT_ANYINSTANCE;
constexpr DWORD kAspectPosition = 0x100; // DIDOI_ASPECT...: position, velocity, accel, force

struct Joystick2Objects {
    DIOBJECTDATAFORMAT objects[164];
    Joystick2Objects() {
        static const GUID* const kAxes[] = {&GUID_XAxis,  &GUID_YAxis,  &GUID_ZAxis,  &GUID_RxAxis,
                                            &GUID_RyAxis, &GUID_RzAxis, &GUID_Slider, &GUID_Slider};
        std::size_t n = 0;
        auto axes = [&](DWORD base, DWORD aspect) {
            for (DWORD i = 0; i < 8; ++i) {
                DWORD offset =
                    i < 6 ? base + 4 * i : offsetof(DIJOYSTATE2, rglSlider) + 4 * (i - 6);
                objects[n++] = {kAxes[i], offset, kAnyOptional | DIDFT_AXIS, aspect};
            }
        };
        axes(offsetof(DIJOYSTATE2, lX), kAspectPosition);
        for (DWORD i = 0; i < 4; ++i)
            objects[n++] = {&GUID_POV, static_cast<DWORD>(offsetof(DIJOYSTATE2, rgdwPOV) + 4 * i),
                            kAnyOptional | DIDFT_POV, 0};
        for (DWORD i = 0; i < 128; ++i)
            objects[n++] = {nullptr, static_cast<DWORD>(offsetof(DIJOYSTATE2, rgbButtons) + i),
                            kAnyOptional | DIDFT_BUTTON, 0};
        axes(offsetof(DIJOYSTATE2, lVX), 2 * kAspectPosition);
        axes(offsetof(DIJOYSTATE2, lAX), 3 * kAspectPosition);
        axes(offsetof(DIJOYSTATE2, lFX), 4 * kAspectPosition);
    }
};

struct KeyboardObjects {
    DIOBJECTDATAFORMAT objects[256];
    KeyboardObjects() {
        for (DWORD key = 0; key < 256; ++key)
            objects[key] = {&GUID_Key, key, DIDFT_OPTIONAL | DIDFT_MAKEINSTANCE(key) | DIDFT_BUTTON,
                            0};
    }
};

Joystick2Objects g_joystick2;
KeyboardObjects g_keyboard;
DIOBJECTDATAFORMAT g_mouse[] = {
    {&GUID_XAxis, 0, DIDFT_ANYINSTANCE | DIDFT_AXIS, 0},
    {&GUID_YAxis, 4, DIDFT_ANYINSTANCE | DIDFT_AXIS, 0},
    {&GUID_ZAxis, 8, kAnyOptional | DIDFT_AXIS, 0},
    {nullptr, 12, DIDFT_ANYINSTANCE | DIDFT_BUTTON, 0},
    {nullptr, 13, DIDFT_ANYINSTANCE | DIDFT_BUTTON, 0},
    {nullptr, 14, kAnyOptional | DIDFT_BUTTON, 0},
    {nullptr, 15, kAnyOptional | DIDFT_BUTTON, 0},
};

} // namespace

extern const DIDATAFORMAT c_dfDIJoystick2;
const DIDATAFORMAT c_dfDIJoystick2 = {
    sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_ABSAXIS, sizeof(DIJOYSTATE2), 164,
    g_joystick2.objects};
extern const DIDATAFORMAT c_dfDIKeyboard;
const DIDATAFORMAT c_dfDIKeyboard = {
    sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS, 256, 256, g_keyboard.objects};
extern const DIDATAFORMAT c_dfDIMouse;
const DIDATAFORMAT c_dfDIMouse = {
    sizeof(DIDATAFORMAT), sizeof(DIOBJECTDATAFORMAT), DIDF_RELAXIS, 16, 7, g_mouse};
