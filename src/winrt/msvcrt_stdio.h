// Put in front of every source of both Windows builds (-include). The printf
// family must be msvcrt.dll's own, the one every Windows 9x machine has:
// mingw-w64's replacement is large and built for newer processors. The C++
// headers ask for the replacement unconditionally, so <stdio.h> is read here
// first, before any of them, with the system's formatting selected.
#pragma once

#undef __USE_MINGW_ANSI_STDIO
#define __USE_MINGW_ANSI_STDIO 0
#include <stdio.h>
