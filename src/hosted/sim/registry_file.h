// The registry kept in a plain text file between interactive runs, as
// Windows keeps it on disk. The file reads like this:
//
//   BRISKARN registry 1
//   [HKLM\Software\ORMEL Software\BRISKARN\Buttons]
//   "Button1"=dword:2
//   "Title"="some text"
//   "Blob"=hex(3):01,ff
//
// one key a line in brackets, then its values: REG_DWORD in decimal, REG_SZ
// as quoted text, anything else (or a value of odd size) as its type
// number and bytes in hexadecimal. A byte that would end a name or text
// early ('"', '%' or a control character) is written as %XX. Lines starting
// with ';' are comments. Everything is called with the machine lock held.
#pragma once

#include <string>

#include "advapi/registry_tree.h"

namespace hosted {

std::string FormatRegistry();
// Adds what the text describes to the current registry, every line that can
// be read; false when a line could not be (its key's values go with a key
// line), or when the text does not start with the header.
bool ParseRegistry(const std::string& text);

// Interactive runs keep the registry in the file at `path`: it is loaded now
// (a missing file, or one not of this format, gives the fresh machine; of a
// damaged one every line that can be read) and written anew after every
// change. A file that could not be read whole (damaged, not a regular file,
// over 16 MiB) is first kept as `path`.bad, which is said once on standard
// error. An empty path keeps it in memory only.
void UseRegistryFile(const std::string& path);
} // namespace hosted
