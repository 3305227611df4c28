// Replacing a whole file so that a crash at any moment leaves either the old
// contents or the new ones, never half of each.
#pragma once

#include <string>

namespace hosted {

// Writes `bytes` beside `path` and renames the result over it. False, with
// nothing changed, when any step fails.
bool ReplaceFileContents(const std::string& path, const std::string& bytes);

} // namespace hosted
