// The framework's wrappers of the common controls, as program code uses them.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "framework/spin.h"
