// The application object: one run is the main dialog, framed by the log's
// start and exit lines and by opening and closing the companion driver.
#pragma once

#include "framework/afxwin.h"

class CWheelApp : public CWinApp {
  public:
    CWheelApp();
    ~CWheelApp() override;

    // The driver's handle; INVALID_HANDLE_VALUE while it is closed.
    HANDLE m_hDriver;

    // Shows the error to the user itself when the driver cannot be opened.
    BOOL OpenDriver();
    void CloseDriver();

    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern CWheelApp theApp;
