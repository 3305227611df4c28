// The dialog framework in one include, as program code uses it.
#pragma once

#include <windows.h>

#include "app.h"
#include "button.h"
#include "dialog.h"
#include "paint_dc.h"
#include "wnd.h"
