// Registry names and values as text, for the transcript and the registry
// file: a byte that would end a name or text early ('"', '%' or a control
// character) is written as %XX.
#pragma once

#include <string>

#include "advapi/registry_tree.h"

namespace hosted {

std::string EscapeRegistryText(const std::string& text);
// False when a '%' is not followed by two hexadecimal digits.
bool UnescapeRegistryText(const std::string& text, std::string* plain);

// The value of a hexadecimal digit, or -1.
int HexDigit(char c);

// "dword:2", "\"text\"" or "hex(3):01,ff".
std::string FormatRegistryValue(const RegistryValue& value);

} // namespace hosted
