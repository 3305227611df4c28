#include "shell/wheel_app.h"

#include <cstdio>

#include "base/log.h"
#include "base/static_order.h"
#include "input/di_manager.h"
#include "shell/wheel_dlg.h"

CWheelApp theApp BRISKARN_STATIC_APP;

BEGIN_MESSAGE_MAP(CWheelApp, CWinApp)
ON_COMMAND(ID_HELP, CWinApp::OnHelp)
END_MESSAGE_MAP()

CWheelApp::CWheelApp() : CWinApp(nullptr), m_hDriver(INVALID_HANDLE_VALUE) {}

// The driver is closed by InitInstance; nothing is left to release here.
CWheelApp::~CWheelApp() = default;

BOOL CWheelApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControlsStatic();

    char line[64];
    std::snprintf(line, sizeof line, "Program start. DIReq = %4X.\n",
                  static_cast<unsigned>(CDIManager::kDirectInputVersion));
    WriteLog(line);

    if (!OpenDriver()) {
        WriteLog("Failed to load VXD.\n");
        return FALSE;
    }

    {
        CWheelDlg dialog(nullptr);
        m_pMainWnd = &dialog;
        dialog.DoModal();
        m_pMainWnd = nullptr;
        WriteLog("Program exit.\n");
        CloseDriver();
    }
    return FALSE;
}
