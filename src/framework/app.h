// The application object and the program's entry: WinMain runs
// InitInstance of the one CWinApp, then its message loop only if
// InitInstance asks for it.
#pragma once

#include "framework/thread.h"

#define ID_HELP 0xE146

class CWinApp : public CWinThread {
  public:
    // Without a name the executable's base name is the application's title.
    explicit CWinApp(LPCSTR appName = nullptr);
    ~CWinApp() override;

    LPCSTR m_pszAppName = nullptr;
    HINSTANCE m_hInstance = nullptr;

    BOOL Enable3dControlsStatic();
    void OnHelp();
    int DoMessageBox(LPCSTR text, UINT type, UINT helpId);

  private:
    friend int AfxWinMain(HINSTANCE, HINSTANCE, LPSTR, int);
    void SetTitleFromModule();
    char m_title[MAX_PATH] = "";

    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
CWnd* AfxGetMainWnd();
// A message box with the application's title as its caption.
int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpId = 0);
void AfxEnableControlContainer();
int AfxWinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);
