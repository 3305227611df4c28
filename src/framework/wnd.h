// CWnd: an object bound to a window handle, with the window calls that the
// program makes through it and message-map dispatch of its messages.
#pragma once

#include "framework/cmdtarget.h"

class CWnd : public CCmdTarget {
  public:
    HWND m_hWnd = nullptr;

    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    void SetWindowText(LPCSTR text);
    void SetDlgItemText(int id, LPCSTR text);
    void SetDlgItemInt(int id, UINT value, BOOL isSigned = TRUE);
    void CheckDlgButton(int id, UINT check);
    HICON SetIcon(HICON icon, BOOL bigIcon);
    BOOL IsIconic() const;
    void GetClientRect(LPRECT rect) const;
    HMENU GetSystemMenu(BOOL revert) const;

  protected:
    // Handlers whose default is the system's own handling of the message.
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    // Asks for the system's default handling of the message being handled.
    void Default();
    // The message currently handled asked for default handling.
    bool m_bDefaultRequested = false;
};
