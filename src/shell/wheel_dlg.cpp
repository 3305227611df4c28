#include "shell/wheel_dlg.h"

#include <cstdio>
#include <cstring>

#include "base/log.h"
#include "base/static_order.h"
#include "bridge/driver_records.h"
#include "bridge/joystick_report.h"
#include "input/device_messages.h"
#include "input/di_manager.h"
#include "resources/resource.h"
#include "shell/buttons_dlg.h"
#include "shell/wheel_app.h"

LONG CurrentDevice = -1;

namespace {

// The dialog's own copies of the engine's messages, in the order they are
// registered; the system gives both sides the same identifiers.
const CRegisteredMessage g_dlgKeystroke BRISKARN_STATIC_DIALOG_MESSAGES("KVDI_KEYSTROKE");
const CRegisteredMessage
    g_dlgGameDeviceChanged BRISKARN_STATIC_DIALOG_MESSAGES("KVDI_GAMEDEVICECHANGED");
const CRegisteredMessage
    g_dlgDeviceAxisChanged BRISKARN_STATIC_DIALOG_MESSAGES("KVDI_DEVICEAXISCHANGED");
const CRegisteredMessage
    g_dlgDeviceButtonChanged BRISKARN_STATIC_DIALOG_MESSAGES("KVDI_DEVICEBUTTONCHANGED");
const CRegisteredMessage
    g_dlgDevicePovChanged BRISKARN_STATIC_DIALOG_MESSAGES("KVDI_DEVICEPOVCHANGED");

const UINT kAboutCommand = 0x10;
const int kSlots = 16;

// The configuration's wide texts in the ANSI code page, terminator included.
void ToAnsi(const WCHAR* wide, char* narrow, int size) {
    if (!::WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, size, nullptr, nullptr))
        narrow[0] = '\0';
}

int WideLength(const WCHAR* text, int limit) {
    int length = 0;
    while (length < limit && text[length])
        ++length;
    return length;
}

} // namespace

BEGIN_MESSAGE_MAP(CWheelDlg, CDialog)
ON_WM_SYSCOMMAND()
ON_WM_PAINT()
ON_WM_QUERYDRAGICON()
ON_BN_CLICKED(IDC_KEYBOARD_POLLING, OnKeyboardPolling)
ON_BN_CLICKED(IDC_JOYSTICK_POLLING, OnJoystickPolling)
ON_BN_CLICKED(IDC_ENABLE, OnEnable)
ON_BN_CLICKED(IDC_SETUP, OnSetup)
ON_REGISTERED_MESSAGE(g_dlgDeviceAxisChanged.Id(), OnDeviceChanged)
ON_REGISTERED_MESSAGE(g_dlgDeviceButtonChanged.Id(), OnDeviceChanged)
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

    if (HMENU menu = GetSystemMenu(FALSE)) {
        char about[256];
        if (::LoadStringA(AfxGetInstanceHandle(), IDS_ABOUTBOX, about, sizeof about) > 0) {
            ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(menu, MF_STRING, kAboutCommand, about);
        }
    }
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    // The engine has logged why it could not start; the run ends as after a
    // normal close.
    if (!theDIManager.Init(AfxGetInstanceHandle(), m_hWnd,
                           CDIManager::kInitKeyboard | CDIManager::kInitJoyConfig, nullptr)) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    LogConfiguredControllers();
    PickGameDevice();
    if (CurrentDevice < 0) {
        WriteLog("No DIDevice created.\n");
        CurrentDevice = 0;
    }

    ::SendDlgItemMessageA(m_hWnd, IDC_KEYBOARD_POLLING, BM_SETCHECK, 1, 0);
    OnKeyboardPolling();

    m_profile.SetProfileName("BRISKARN");
    m_profile.SetRegistryKey("ORMEL Software");
    LoadButtonMap();
    return TRUE;
}

void CWheelDlg::LogConfiguredControllers() {
    for (int slot = 0; slot < kSlots; ++slot) {
        DIJOYCONFIG_DX5 config;
        if (theDIManager.GetJoyConfig(slot, reinterpret_cast<LPDIJOYCONFIG>(&config)) != DI_OK)
            continue;
        const int kWide = 256;
        char callout[2 * kWide + 2], type[2 * kWide + 2];
        // Twice the text's length and two bytes more, as a double-byte code
        // page may need; never past the record's own fields.
        ToAnsi(config.wszCallout, callout, 2 * WideLength(config.wszCallout, kWide - 1) + 2);
        ToAnsi(config.wszType, type, 2 * WideLength(config.wszType, kWide - 1) + 2);
        char line[sizeof callout + sizeof type + 64];
        std::snprintf(line, sizeof line, "DIConfig #%d: Callout = '%s', Type = '%s' \n", slot,
                      callout, type);
        WriteLog(line);
    }
}

void CWheelDlg::PickGameDevice() {
    for (int slot = 0; slot < kSlots; ++slot) {
        DIJOYCONFIG_DX5 config;
        if (theDIManager.GetJoyConfig(slot, reinterpret_cast<LPDIJOYCONFIG>(&config)) != DI_OK)
            continue;
        theDIManager.CreateGameDevice(static_cast<WORD>(slot));
        DIDEVCAPS caps;
        std::memset(&caps, 0, sizeof caps);
        caps.dwSize = sizeof caps;
        // A device that could not be created has no capabilities to ask for;
        // its line then shows zeros.
        if (LPDIRECTINPUTDEVICE2A device = theDIManager.FindGameDevice(static_cast<WORD>(slot)))
            device->GetCapabilities(&caps);
        CurrentDevice = slot;
        char line[128];
        std::snprintf(line, sizeof line,
                      "Init: device# %d [Flags = %08X, Type = %8X, Axes = %d, Btn = %d].\n", slot,
                      static_cast<unsigned>(caps.dwFlags), static_cast<unsigned>(caps.dwDevType),
                      static_cast<int>(caps.dwAxes), static_cast<int>(caps.dwButtons));
        WriteLog(line);
        return;
    }
}

void CWheelDlg::LoadButtonMap() {
    static const char* const kEntries[4] = {"Button1", "Button2", "Button3", "Button4"};
    static const int kDefaults[4] = {2, 3, 4, 5};
    for (int i = 0; i < 4; ++i)
        ButtonMap[i] = m_profile.GetProfileInt("Buttons", kEntries[i], kDefaults[i]);
}

void CWheelDlg::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & 0xFFF0) == kAboutCommand) {
        CAboutDlg about;
        about.DoModal();
    } else {
        CDialog::OnSysCommand(id, lParam);
    }
}

void CWheelDlg::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
    int cxIcon = ::GetSystemMetrics(SM_CXICON);
    int cyIcon = ::GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    int x = (rect.right - rect.left - cxIcon + 1) / 2;
    int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    dc.DrawIcon(x, y, m_hIcon);
}

HCURSOR CWheelDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}

LRESULT CWheelDlg::OnDeviceChanged(WPARAM, LPARAM lParam) {
    DeviceStateMessage message;
    std::memcpy(&message, reinterpret_cast<const void*>(lParam), sizeof message);
    for (int i = 0; i < 10; ++i)
        CheckDlgButton(IDC_BUTTON1 + i, message.State.rgbButtons[i]);
    SendJoystickReport(theApp.m_hDriver, &message.State);
    SetDlgItemInt(IDC_GAMEMAX, DriverStatus.GameMax, TRUE);
    SetDlgItemInt(IDC_EDIT_X, static_cast<UINT>(JoystickReport.AxisX), TRUE);
    SetDlgItemInt(IDC_EDIT_Y, static_cast<UINT>(JoystickReport.AxisY), TRUE);
    SetDlgItemInt(IDC_CALLBACK_COUNT, DriverStatus.CallbackCount, TRUE);
    SetDlgItemInt(IDC_DIJOY_COUNT, DIJoyCount, TRUE);
    return 0;
}

void CWheelDlg::OnEnable() {
    if (m_btnEnable.GetCheck()) {
        m_btnEnable.SetWindowText("Disable");
        if (CurrentDevice >= 0)
            theDIManager.SetGameDeviceNotification(static_cast<WORD>(CurrentDevice), TRUE, nullptr);
        if (!::SetPriorityClass(::GetCurrentProcess(), HIGH_PRIORITY_CLASS)) {
            WriteLog("Failed to set process priority class.\n");
            ::MessageBoxA(nullptr, "Failed to set process priority class.", "Error",
                          MB_ICONWARNING);
        } else if (!::SetThreadPriority(theApp.m_hThread, THREAD_PRIORITY_ABOVE_NORMAL)) {
            WriteLog("Failed to set thread priority.\n");
            ::MessageBoxA(nullptr, "Failed to set thread priority.", "Error", MB_ICONWARNING);
        }
        if (CurrentDevice >= 0)
            WriteLog("RZ4 Callback enabled.\n");
        return;
    }
    ::SetPriorityClass(::GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
    ::SetThreadPriority(theApp.m_hThread, THREAD_PRIORITY_NORMAL);
    m_btnEnable.SetWindowText("Enable");
    if (CurrentDevice >= 0) {
        theDIManager.SetGameDeviceNotification(static_cast<WORD>(CurrentDevice), FALSE, nullptr);
        WriteLog("RZ4 Callback disabled.\n");
    }
}

void CWheelDlg::OnSetup() {
    CButtonsDlg dialog(nullptr);
    dialog.m_nButtonA1 = ButtonMap[0];
    dialog.m_nButtonA2 = ButtonMap[1];
    dialog.m_nButtonB1 = ButtonMap[2];
    dialog.m_nButtonB2 = ButtonMap[3];
    if (dialog.DoModal() != IDOK)
        return;
    ButtonMap[0] = dialog.m_nButtonA1;
    ButtonMap[1] = dialog.m_nButtonA2;
    ButtonMap[2] = dialog.m_nButtonB1;
    ButtonMap[3] = dialog.m_nButtonB2;
    m_profile.WriteProfileInt("Buttons", "Button1", static_cast<int>(ButtonMap[0]));
    m_profile.WriteProfileInt("Buttons", "Button2", static_cast<int>(ButtonMap[1]));
    m_profile.WriteProfileInt("Buttons", "Button3", static_cast<int>(ButtonMap[2]));
    m_profile.WriteProfileInt("Buttons", "Button4", static_cast<int>(ButtonMap[3]));
    char line[96];
    std::snprintf(line, sizeof line, "RZ4 buttons config: %d, %d, %d, %d. \n",
                  static_cast<int>(ButtonMap[0]), static_cast<int>(ButtonMap[1]),
                  static_cast<int>(ButtonMap[2]), static_cast<int>(ButtonMap[3]));
    WriteLog(line);
}

void CWheelDlg::OnKeyboardPolling() {
    SetDlgItemText(IDC_EDIT_X, "");
    SetDlgItemText(IDC_EDIT_Y, "");
    SetDlgItemText(IDC_EDIT_Z, "");
    SetDlgItemText(IDC_EDIT_POV, "");
    for (int id = IDC_BUTTON1; id <= IDC_BUTTON10; ++id)
        CheckDlgButton(id, 0);
}

void CWheelDlg::OnJoystickPolling() {
    SetDlgItemText(IDC_EDIT_STATUS, "");
    theDIManager.SetKeyboardNotification(FALSE, nullptr);
    theDIManager.SetGameDeviceNotification(static_cast<WORD>(CurrentDevice), TRUE, nullptr);
}

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
END_MESSAGE_MAP()

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
