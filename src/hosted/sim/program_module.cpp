// The program the simulated machine runs: the file it runs as (its resources
// are embedded beside this) and the log whose entries the transcript shows.
#include "sim/program_module.h"

#include "kernel/module_image.h"

namespace hosted {

const char kModuleFilePath[] = "C:\\BRISKARN\\BRISKARN.EXE";

const char kProgramLogName[] = "Briskarn.log";
const char kDriverDeviceName[] = "BRISKARN.VXD";

} // namespace hosted
