// What the program's module gives the kernel: the compiled resources that
// windres made from the resource script, and the file the program runs as.
// The kernel only declares them; the build links one module with every
// hosted program (briskarn_resources), which defines them.
#pragma once

#include <cstddef>

namespace hosted {

extern const unsigned char kModuleResources[];
extern const std::size_t kModuleResourcesSize;
extern const char kModuleFilePath[];

} // namespace hosted
