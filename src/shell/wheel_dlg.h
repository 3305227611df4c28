// The main window: a modal dialog that shows what goes to the driver and
// switches the forwarding of the wheel on and off.
#pragma once

#include <afxwin.h>

class CWheelDlg : public CDialog {
  public:
    explicit CWheelDlg(CWnd* parent = nullptr);
    ~CWheelDlg() override;

  protected:
    CButton m_btnEnable;
    HICON m_hIcon;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    DECLARE_MESSAGE_MAP()
};
