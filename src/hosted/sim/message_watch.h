// The transcript's "message" lines: the input engine's registered messages
// as the program sends them.
#pragma once

namespace hosted {

void WatchProgramMessages();

} // namespace hosted
