// The device context of one WM_PAINT: BeginPaint on construction, EndPaint
// on destruction, so no return path leaves the update region unvalidated.
#pragma once

#include "framework/wnd.h"

class CPaintDC {
  public:
    explicit CPaintDC(CWnd* window) : m_hWnd(window->m_hWnd) {
        m_hDC = ::BeginPaint(m_hWnd, &m_ps);
    }
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    BOOL DrawIcon(int x, int y, HICON icon) { return ::DrawIcon(m_hDC, x, y, icon); }

    HDC m_hDC;
    PAINTSTRUCT m_ps;

  private:
    HWND m_hWnd;
};
