// Modal dialogs from a dialog template: DoModal runs the system's modal
// loop; the dialog's messages reach its message map; OK and Cancel end it.
#pragma once

#include "framework/wnd.h"

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
    // The control being exchanged, which a failed check hands back to the user.
    HWND m_hWndLastControl = nullptr;
    bool m_bEditLastControl = false;

    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    // Ends the exchange with the last control focused, an edit's whole text
    // selected so that typing replaces it.
    void Fail();
};

// Binds a control of the dialog to a window object on the first exchange.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
// An edit holding an unsigned decimal; blanks and tabs may surround it.
void DDX_Text(CDataExchange* pDX, int id, UINT& value);
// On saving: a value outside min..max is refused with a message.
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT min, UINT max);

// Reads an unsigned decimal as DDX_Text takes it: blanks and tabs around
// it allowed, nothing else, no sign; FALSE when text is none.
BOOL AfxParseUInt(LPCSTR text, UINT* value);
// Copies pattern to out, each %1..%9 replaced by that argument (one
// without an argument stays as it is); the result is cut to fit size.
void AfxFormatStrings(LPSTR out, int size, LPCSTR pattern, const LPCSTR* args, int count);
