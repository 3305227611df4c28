// The dialog framework in one include, as program code uses it.
#pragma once

#include <windows.h>

#include "framework/app.h"
#include "framework/button.h"
#include "framework/dialog.h"
#include "framework/paint_dc.h"
#include "framework/wnd.h"
