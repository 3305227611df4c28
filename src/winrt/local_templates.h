// Put in front of every C++ source of the 32-bit build (-include), after
// msvcrt_stdio.h. libstdc++ declares std::string's members as instantiated in
// its prebuilt library, which is built for the Pentium Pro; with those
// declarations off, the compiler instantiates what the program uses from the
// headers, for the Pentium, as it does for every other template.
#pragma once

#include <bits/c++config.h>

#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE 0
