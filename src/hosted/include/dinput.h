// Stands in for <dinput.h>: the DirectInput 5 subset that BRISKARN uses,
// with the record layouts of the real header, implemented by src/hosted on
// Linux.
#pragma once

#include "windows.h"

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0500
#endif

// The state that GetDeviceState fills for the c_dfDIJoystick2 data format.
typedef struct DIJOYSTATE2 {
    LONG lX;
    LONG lY;
    LONG lZ;
    LONG lRx;
    LONG lRy;
    LONG lRz;
    LONG rglSlider[2];
    DWORD rgdwPOV[4];
    BYTE rgbButtons[128];
    LONG lVX; // velocities
    LONG lVY;
    LONG lVZ;
    LONG lVRx;
    LONG lVRy;
    LONG lVRz;
    LONG rglVSlider[2];
    LONG lAX; // accelerations
    LONG lAY;
    LONG lAZ;
    LONG lARx;
    LONG lARy;
    LONG lARz;
    LONG rglASlider[2];
    LONG lFX; // forces and torques
    LONG lFY;
    LONG lFZ;
    LONG lFRx;
    LONG lFRy;
    LONG lFRz;
    LONG rglFSlider[2];
} DIJOYSTATE2, *LPDIJOYSTATE2;

static_assert(sizeof(DIJOYSTATE2) == 272, "DIJOYSTATE2 is 272 bytes");
static_assert(offsetof(DIJOYSTATE2, lX) == 0 && offsetof(DIJOYSTATE2, lY) == 4 &&
                  offsetof(DIJOYSTATE2, rglSlider) == 24 && offsetof(DIJOYSTATE2, rgdwPOV) == 32 &&
                  offsetof(DIJOYSTATE2, rgbButtons) == 48 && offsetof(DIJOYSTATE2, lVX) == 176 &&
                  offsetof(DIJOYSTATE2, rglFSlider) == 264,
              "DIJOYSTATE2 layout");
