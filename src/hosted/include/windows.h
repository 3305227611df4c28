// Stands in for <windows.h>: the part of the Win32 API that BRISKARN and
// patcher use, with Win32 type widths, implemented by src/hosted on Linux.
#pragma once

#include "win/types.h"
#include "win/com.h"
#include "win/kernel.h"
#include "win/user.h"
#include "win/gdi.h"
#include "win/registry.h"
