// The game devices and keyboard of the simulated machine: what a scenario's
// `slot`, `wheel` and `keyboard` steps make and change.
#pragma once

#include <memory>
#include <string>

#include "dinput/input_devices.h"

namespace hosted {

// A wheel as a joystick configuration slot holds it: axes X and Y at rest
// (32767), `buttons` buttons up and `povs` hats centred; machine lock held.
std::shared_ptr<InputDevice> MakeWheel(unsigned slot, const std::string& name, bool polled,
                                       unsigned buttons, unsigned povs);

// Sets one named part of a wheel's state ("x", "y", "z", "pov0".."pov3",
// "button1".."button128"); false when there is no such part.
bool SetWheelValue(InputDevice& wheel, const std::string& part, std::int64_t value);
// Reads one named part: an axis as the LONG it is, a hat as its DWORD, a
// button as its byte.
bool GetWheelValue(const InputDevice& wheel, const std::string& part, std::int64_t* value);

} // namespace hosted
