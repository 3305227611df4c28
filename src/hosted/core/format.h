// printf-style formatting into a std::string, for transcript lines and errors.
#pragma once

#include <string>

namespace hosted {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace hosted
