// The button assignment dialog: which wheel buttons, numbered 1 to 8, stand
// for buttons 1 and 2 of the game's two virtual joysticks. The caller fills
// the four numbers, runs the dialog and takes them back only on IDOK.
#pragma once

#include "framework/afxcmn.h"
#include "framework/afxwin.h"

class CButtonsDlg : public CDialog {
  public:
    explicit CButtonsDlg(CWnd* parent = nullptr);
    ~CButtonsDlg() override;

    DECLARE_MESSAGE_MAP()

  public:
    CSpinButtonCtrl m_spin4;
    CSpinButtonCtrl m_spin3;
    CSpinButtonCtrl m_spin2;
    CSpinButtonCtrl m_spin1;
    UINT m_nButtonA1;
    UINT m_nButtonA2;
    UINT m_nButtonB1;
    UINT m_nButtonB2;

  protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
};
