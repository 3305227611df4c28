// DirectInput's joystick configuration interface over the machine's slots.
#pragma once

#include <dinputd.h>

namespace hosted {

// Machine lock held.
IDirectInputJoyConfig* NewJoyConfig();

} // namespace hosted
