#include "bridge/joystick_report.h"

#include <cstdint>
#include <cstdio>

#include "base/log.h"
#include "bridge/axis_curve.h"
#include "bridge/driver_records.h"

namespace {

// A driver that reports no usable range (or never answers) still gets
// axes that move, in 0 .. 255.
const DWORD kSmallestGameMax = 16;
const DWORD kDefaultGameMax = 2048;
// Game-port polarity: a released button reads 1.
const DWORD kButtonsReleased = 0xF0;

LONG ScaleAxis(LONG raw, DWORD scale) {
    // The curve never returns a negative value, so the quotient is the
    // integer part of the exact one and fits in 31 bits for any scale.
    return static_cast<LONG>(static_cast<std::int64_t>(ApplyAxisCurve(raw)) * scale / 65536);
}

bool IsPressed(const DIJOYSTATE2* state, DWORD button) {
    // The registry may hand back any number; one that names no button of
    // the state counts as released rather than reading past the array.
    DWORD index = button - 1;
    return index < sizeof state->rgbButtons && state->rgbButtons[index] != 0;
}

bool IsLoggedCount(DWORD count) {
    if (count == 0)
        return false;
    return count == 1 || (count <= 5000 && count % 1000 == 0) ||
           (count <= 20000 && count % 10000 == 0) || count % 500000 == 0;
}

} // namespace

void BuildJoystickReport(const DIJOYSTATE2* state) {
    if (DriverStatus.GameMax < kSmallestGameMax)
        DriverStatus.GameMax = kDefaultGameMax;
    DWORD scale = DriverStatus.GameMax >> 3;
    JoystickReport.AxisX = ScaleAxis(state->lX, scale);
    JoystickReport.AxisY = ScaleAxis(state->lY, scale);

    DWORD buttons = kButtonsReleased;
    for (int k = 0; k < 4; ++k) {
        if (IsPressed(state, ButtonMap[k]))
            buttons &= ~(0x10u << k);
    }
    JoystickReport.Buttons = buttons;
}

void SendJoystickReport(HANDLE driver, const DIJOYSTATE2* state) {
    ++DIJoyCount;
    DWORD returned = 0;
    DeviceIoControl(driver, IOCTL_READ_STATUS, nullptr, 0, &DriverStatus, sizeof DriverStatus,
                    &returned, nullptr);
    BuildJoystickReport(state);
    DeviceIoControl(driver, IOCTL_WRITE_REPORT, &JoystickReport, sizeof JoystickReport, nullptr, 0,
                    &returned, nullptr);

    if (IsLoggedCount(DriverStatus.CallbackCount)) {
        char line[96];
        std::snprintf(line, sizeof line, "RZ4 Callback #%d: RZ4Max = %d, DIJoyCount = %d\n",
                      static_cast<int>(DriverStatus.CallbackCount),
                      static_cast<int>(DriverStatus.GameMax), static_cast<int>(DIJoyCount));
        WriteLog(line);
    }
}
