// What the simulated machine asks of the hosted file calls.
#pragma once

#include <string>

namespace hosted {

// Every open-write-close of a file with this name (in any folder, in any
// case) becomes one "log" line of the transcript; empty for none.
void TranscribeFileWrites(const std::string& fileName);

} // namespace hosted
