#include "framework/thread.h"

CWinThread::CWinThread(AFX_THREADPROC proc, LPVOID param)
    : m_pfnThreadProc(proc), m_pThreadParams(param) {}

CWinThread::~CWinThread() {
    // Only a worker owns its handle: the application object's is the main
    // thread's pseudo-handle, which is never closed.
    if (m_pfnThreadProc && m_hThread)
        ::CloseHandle(m_hThread);
}

BOOL CWinThread::CreateThread() {
    if (!m_pfnThreadProc || m_hThread)
        return FALSE;
    // The new thread could run its procedure to the end and delete this
    // object before ::CreateThread has even returned here; it waits for this
    // event, set once nothing below writes to the object any more.
    HANDLE started = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!started)
        return FALSE;
    m_hStarted = started;
    // Windows 95 and 98 fail the call without somewhere to put the id.
    DWORD id = 0;
    HANDLE thread = ::CreateThread(nullptr, 0, ThreadStart, this, 0, &id);
    if (!thread) {
        m_hStarted = nullptr;
        ::CloseHandle(started);
        return FALSE;
    }
    m_hThread = thread;
    ::SetEvent(started); // from here on the object may be gone
    return TRUE;
}

DWORD WINAPI CWinThread::ThreadStart(LPVOID self) {
    CWinThread* thread = static_cast<CWinThread*>(self);
    ::WaitForSingleObject(thread->m_hStarted, INFINITE);
    ::CloseHandle(thread->m_hStarted);
    thread->m_hStarted = nullptr;
    UINT code = thread->m_pfnThreadProc(thread->m_pThreadParams);
    delete thread;
    return code;
}

BOOL CWinThread::InitInstance() {
    return FALSE;
}

int CWinThread::ExitInstance() {
    return 0;
}

int CWinThread::Run() {
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    ExitInstance();
    return static_cast<int>(msg.wParam);
}
