// A button control: push button, check box or radio button.
#pragma once

#include "framework/wnd.h"

class CButton : public CWnd {
  public:
    int GetCheck() const { return static_cast<int>(::SendMessageA(m_hWnd, BM_GETCHECK, 0, 0)); }
};
