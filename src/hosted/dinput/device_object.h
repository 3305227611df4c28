// DirectInput's device objects over the machine's input devices.
#pragma once

#include <memory>

#include <dinput.h>

#include "dinput/input_devices.h"

namespace hosted {

// A new device object reading `device`; slot is its joystick slot, or -1 for
// the keyboard and the mouse. Machine lock held.
IDirectInputDeviceA* NewDeviceObject(std::shared_ptr<InputDevice> device, int slot);

} // namespace hosted
