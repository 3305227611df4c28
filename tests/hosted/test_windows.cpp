#include "test_windows.h"

HINSTANCE ProgramModule() {
    return GetModuleHandleA(nullptr);
}

INT_PTR Answer(HWND dialog, LRESULT value) {
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, value);
    return TRUE;
}

ModelessDialog::ModelessDialog(int templateId, DLGPROC proc, LPARAM param)
    : m_window(CreateDialogParamA(ProgramModule(), MAKEINTRESOURCEA(templateId), nullptr, proc,
                                  param)) {}

ModelessDialog::~ModelessDialog() {
    if (IsWindow(m_window))
        DestroyWindow(m_window);
}

Thread::Thread(LPTHREAD_START_ROUTINE start, void* parameter)
    : m_handle(CreateThread(nullptr, 0, start, parameter, 0, &m_id)) {}

Thread::~Thread() {
    Join();
    CloseHandle(m_handle);
}

DWORD Thread::Join() {
    WaitForSingleObject(m_handle, INFINITE);
    DWORD code = 0;
    GetExitCodeThread(m_handle, &code);
    return code;
}

bool DiscardPostedMessages() {
    bool quit = false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        quit = quit || msg.message == WM_QUIT;
    return quit;
}
