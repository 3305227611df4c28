// The wheel that a joystick slot holds on the simulated machine and in the
// DirectInput double that BRISKARN.EXE meets under Wine: its objects, its
// instance GUID and where each named part lives in its DIJOYSTATE2. Both
// machines offer the program the same device from this one description.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <windows.h>

#include <dinput.h>

struct WheelObject {
    std::string name;
    const GUID* guidType;
    DWORD offset; // in DIJOYSTATE2
    DWORD type;   // DIDFT_ type and instance
};

// What a slot's wheel is called unless the scenario names it.
extern const char kDefaultWheelName[];

// Axes X and Y, then `buttons` push buttons and `povs` hats.
std::vector<WheelObject> WheelObjects(unsigned buttons, unsigned povs);

// The instance GUID of the wheel configured in `slot`.
GUID WheelInstance(unsigned slot);

// Where a named part ("x", "y", "z", "pov0".."pov3", "button1".."button128")
// lies in the state, and its size in bytes: 4 for an axis or a hat, 1 for a
// button, 0 when there is no such part.
std::size_t WheelPart(const std::string& part, std::size_t* offset);

// The state of a wheel at rest: axes at 32767, buttons up, hats centred.
void WheelAtRest(DIJOYSTATE2* state);

// Sets or reads one named part; false when there is no such part. An axis
// reads as the LONG it is, a hat as its DWORD, a button as its byte.
bool SetWheelPart(BYTE* state, const std::string& part, long long value);
bool GetWheelPart(const BYTE* state, const std::string& part, long long* value);
