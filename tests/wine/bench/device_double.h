// The DirectInput double's devices: a wheel of a joystick slot, the system
// keyboard and the system mouse, reading their state from the bench.
#pragma once

#include <dinput.h>

// slot: the wheel's joystick slot; kKeyboard or kMouse for the system's.
constexpr int kKeyboard = -1;
constexpr int kMouse = -2;
IDirectInputDeviceA* NewDeviceDouble(int slot);

// Signals the event of every acquired device with notification on whose
// state changed since it was last told; the watcher thread calls it.
void TellChangedDevices();
