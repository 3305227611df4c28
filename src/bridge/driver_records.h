// The records exchanged with the companion driver BRISKARN.VXD and its two
// control codes. Both records are little-endian with no gaps.
#pragma once

#include <cstddef>

#include <windows.h>

// CTL_CODE(0x8300, function, METHOD_BUFFERED, FILE_ANY_ACCESS)
const DWORD IOCTL_WRITE_REPORT = 0x83000004; // in: JOYSTICK_REPORT
const DWORD IOCTL_READ_STATUS = 0x83000008;  // out: DRIVER_STATUS

// The state of the game's virtual joysticks, written to the driver.
struct JOYSTICK_REPORT {
    LONG AxisX; // 0 .. GameMax / 8
    LONG AxisY;
    DWORD Reserved1;
    DWORD Reserved2;
    // Bits 4..7: joystick A button 1, A button 2, B button 1, B button 2;
    // 1 = released, as on the game port.
    DWORD Buttons;
};

// The driver's answer to a status read.
struct DRIVER_STATUS {
    DWORD GameMax;       // full scale of the game's axes
    DWORD CallbackCount; // the driver's running count of callbacks
};

static_assert(sizeof(JOYSTICK_REPORT) == 20, "the driver takes 20 bytes");
static_assert(offsetof(JOYSTICK_REPORT, AxisX) == 0 && offsetof(JOYSTICK_REPORT, AxisY) == 4 &&
                  offsetof(JOYSTICK_REPORT, Reserved1) == 8 && offsetof(JOYSTICK_REPORT, Reserved2) == 12 &&
                  offsetof(JOYSTICK_REPORT, Buttons) == 16,
              "report layout");
static_assert(sizeof(DRIVER_STATUS) == 8, "the driver fills 8 bytes");
static_assert(offsetof(DRIVER_STATUS, GameMax) == 0 && offsetof(DRIVER_STATUS, CallbackCount) == 4,
              "status layout");

// The program's one report and one status, touched only on the main thread.
extern JOYSTICK_REPORT JoystickReport;
extern DRIVER_STATUS DriverStatus;
// Reports built in this run.
extern DWORD DIJoyCount;
// Wheel button numbers (1 = first button) for joystick A button 1, A
// button 2, B button 1, B button 2.
extern DWORD ButtonMap[4];
