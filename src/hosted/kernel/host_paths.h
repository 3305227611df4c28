// What the hosted file calls share: Windows paths as Linux paths, and the
// Win32 error code for a failed Linux call.
#pragma once

#include <string>

#include <windows.h>

namespace hosted {

// Backslashes become slashes; names stay as given (the file system decides case).
std::string NativePath(const char* name);
// NativePath, but where no file has that name, the one in the same folder
// whose name differs only in case: Windows file names ignore case, so an
// existing "briskarn.log" is the file "Briskarn.log" names.
std::string ExistingNativePath(const char* name);
DWORD ErrorFromErrno(int error);

} // namespace hosted
