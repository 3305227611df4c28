#include "framework/app.h"

#include <cstdio>
#include <cstring>

#include "framework/wnd.h"

namespace {
CWinApp* g_app = nullptr;
} // namespace

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR appName) : m_pszAppName(appName) {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this)
        g_app = nullptr;
}

// Windows 95 and later draw 3D controls themselves.
BOOL CWinApp::Enable3dControlsStatic() {
    return TRUE;
}

// The program ships no help file, so asking for help finds nothing to show.
void CWinApp::OnHelp() {}

int CWinApp::DoMessageBox(LPCSTR text, UINT type, UINT) {
    if ((type & MB_ICONMASK) == 0) {
        UINT buttons = type & MB_TYPEMASK;
        type |=
            buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? MB_ICONQUESTION : MB_ICONEXCLAMATION;
    }
    // The box belongs to the window the user is working in, a dialog over
    // the main window included, so that nothing under it takes input.
    HWND owner = ::GetActiveWindow();
    CWnd* main = m_pMainWnd;
    if (!owner && main && ::IsWindow(main->m_hWnd))
        owner = main->m_hWnd;
    return ::MessageBoxA(owner, text, m_pszAppName, type);
}

void CWinApp::SetTitleFromModule() {
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    const char* base = std::strrchr(path, '\\');
    base = base ? base + 1 : path;
    std::snprintf(m_title, sizeof m_title, "%s", base);
    if (char* dot = std::strrchr(m_title, '.'))
        *dot = '\0';
    m_pszAppName = m_title;
}

CWinApp* AfxGetApp() {
    return g_app;
}

HINSTANCE AfxGetInstanceHandle() {
    return g_app ? g_app->m_hInstance : nullptr;
}

CWnd* AfxGetMainWnd() {
    return g_app ? g_app->m_pMainWnd : nullptr;
}

int AfxMessageBox(LPCSTR text, UINT type, UINT helpId) {
    return g_app ? g_app->DoMessageBox(text, type, helpId)
                 : ::MessageBoxA(nullptr, text, nullptr, type);
}

// Dialogs here host no ActiveX controls; nothing to set up.
void AfxEnableControlContainer() {}

int AfxWinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->m_hInstance = instance;
    app->m_hThread = ::GetCurrentThread();
    if (!app->m_pszAppName)
        app->SetTitleFromModule();
    if (!app->InitInstance())
        return app->ExitInstance();
    return app->Run();
}
