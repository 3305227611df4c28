// Names of the program on the simulated machine; everything below sim/
// learns them only from here, at run time.
#pragma once

namespace hosted {

extern const char kProgramLogName[];
extern const char kDriverDeviceName[];

} // namespace hosted
