// Opening and closing the companion driver, on behalf of the application
// object that holds its handle.
#include <cstdio>

#include "shell/wheel_app.h"

BOOL CWheelApp::OpenDriver() {
    // On Windows 9x this open loads the driver by name; the flag unloads it
    // again when the handle is closed.
    HANDLE driver =
        CreateFileA("\\\\.\\BRISKARN.VXD", 0, 0, nullptr, 0, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (driver == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        char text[96];
        std::snprintf(text, sizeof text, "Failed to load device BRISKARN.VXD, errcode = %X (%d).",
                      static_cast<unsigned>(error), static_cast<int>(error));
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
        return FALSE;
    }
    m_hDriver = driver;
    return TRUE;
}

void CWheelApp::CloseDriver() {
    if (m_hDriver != INVALID_HANDLE_VALUE)
        CloseHandle(m_hDriver);
    m_hDriver = INVALID_HANDLE_VALUE;
}
