// Modal dialogs from a dialog template: DoModal runs the system's modal
// loop; the dialog's messages reach its message map; OK and Cancel end it.
#pragma once

#include "wnd.h"

class CDataExchange;

class CDialog : public CWnd {
  public:
    CDialog(UINT templateId, CWnd* parent = nullptr);

    virtual INT_PTR DoModal();
    void EndDialog(int result);
    // Moves data between the controls and the members; FALSE when a
    // control's value failed its check.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

  protected:
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual void OnOK();
    virtual void OnCancel();

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

  private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};

// The state of one data exchange between a dialog's controls and members.
class CDataExchange {
  public:
    CDataExchange(CDialog* dialog, BOOL saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    // A check failed: later exchanges are skipped and UpdateData fails.
    bool m_bFailed = false;
    void Fail() { m_bFailed = true; }
};

// Binds a control of the dialog to a window object on the first exchange.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
