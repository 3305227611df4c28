// The main window: a modal dialog that sets up the input engine, shows what
// goes to the driver and switches the forwarding of the wheel on and off.
#pragma once

#include "framework/afxwin.h"

#include "shell/profile_store.h"

// The joystick configuration slot of the game device in use; -1 until the
// main dialog's set-up has picked one, 0 when none is configured.
extern LONG CurrentDevice;

class CWheelDlg : public CDialog {
  public:
    explicit CWheelDlg(CWnd* parent = nullptr);
    ~CWheelDlg() override;

  protected:
    CButton m_btnEnable;
    HICON m_hIcon;
    CProfileStore m_profile;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnKeyboardPolling();
    void OnJoystickPolling();
    void OnEnable();
    void OnSetup();
    LRESULT OnDeviceChanged(WPARAM wParam, LPARAM lParam);

  private:
    void LogConfiguredControllers();
    void PickGameDevice();
    void LoadButtonMap();

    DECLARE_MESSAGE_MAP()
};

// The About box: the program's icon, name and version.
class CAboutDlg : public CDialog {
  public:
    CAboutDlg();

  protected:
    DECLARE_MESSAGE_MAP()
};
