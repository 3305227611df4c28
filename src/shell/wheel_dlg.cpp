#include "wheel_dlg.h"

#include "driver_records.h"
#include "resource.h"

BEGIN_MESSAGE_MAP(CWheelDlg, CDialog)
END_MESSAGE_MAP()

CWheelDlg::CWheelDlg(CWnd* parent) : CDialog(IDD_BRISKARN_DIALOG, parent) {
    m_hIcon = LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ButtonMap[0] = 5;
    ButtonMap[1] = 6;
    ButtonMap[2] = 3;
    ButtonMap[3] = 4;
    // Every field is sent only after it has been computed afresh; 0xFF marks
    // the buttons as not yet computed.
    DriverStatus = DRIVER_STATUS{0, 0};
    JoystickReport = JOYSTICK_REPORT{0, 0, 0, 0, 0xFF};
    DIJoyCount = 0;
}

CWheelDlg::~CWheelDlg() = default;

void CWheelDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ENABLE, m_btnEnable);
}

BOOL CWheelDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    return TRUE;
}
