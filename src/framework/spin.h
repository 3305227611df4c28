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
    void GetRange(int& lower, int& upper) const {
        DWORD range = static_cast<DWORD>(::SendMessageA(m_hWnd, UDM_GETRANGE, 0, 0));
        lower = static_cast<short>(HIWORD(range));
        upper = static_cast<short>(LOWORD(range));
    }
    // Returns the previous position.
    int SetPos(int position) {
        return static_cast<int>(
            ::SendMessageA(m_hWnd, UDM_SETPOS, 0, MAKELONG(static_cast<short>(position), 0)));
    }
    // The position in the low word; a nonzero high word says that the
    // buddy's text was no number in the range.
    int GetPos() const { return static_cast<int>(::SendMessageA(m_hWnd, UDM_GETPOS, 0, 0)); }
};
