// Put in front of every source of both Windows builds (-include). The printf
// family must be the plain one of the C headers (msvcrt.dll's in the win64
// build, src/winrt's in the win32 build): mingw-w64's replacement is large
// and built for newer processors. The C++ headers ask for the replacement
// unconditionally, so <stdio.h> is read here first, before any of them, with
// the plain formatting selected.
#pragma once

#undef __USE_MINGW_ANSI_STDIO
#define __USE_MINGW_ANSI_STDIO 0
#include <stdio.h>
