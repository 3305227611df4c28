// What the simulated machine lets the program do with its priorities. All
// with the machine lock held.
#pragma once

namespace hosted {

struct PrioritySettings {
    bool classFails = false;  // SetPriorityClass is refused
    bool threadFails = false; // SetThreadPriority is refused
};

PrioritySettings& Priorities();

} // namespace hosted
