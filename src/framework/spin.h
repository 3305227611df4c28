// A spin button: comctl32's up-down control, which steps a number within
// its range and can show it in its buddy window.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "framework/wnd.h"

class CSpinButtonCtrl : public CWnd {
  public:
    // The up arrow steps towards upper.
    void SetRange(int lower, int upper) {
        ::SendMessageA(m_hWnd, UDM_SETRANGE, 0,
                       MAKELONG(static_cast<short>(upper), static_cast<short>(lower)));
    }
    // Returns the previous position.
    int SetPos(int position) {
        return static_cast<int>(
            ::SendMessageA(m_hWnd, UDM_SETPOS, 0, MAKELONG(static_cast<short>(position), 0)));
    }
};
