// A thread of the program as an object: the application's own (CWinApp) or
// a worker that runs one procedure on a thread of its own.
//
// Handle rule for workers. A worker deletes itself when its procedure
// returns and closes m_hThread as it goes; from then on neither the object
// nor the handle it held may be used. A caller that must see the thread end
// takes the handle over while the thread cannot have ended yet: it copies
// m_hThread and sets the member to null, so the object leaves the handle
// alone, and closes it itself after its wait. For a procedure that returns
// only when this caller tells it to (the input worker ends on its terminate
// event), right after CreateThread is such a moment.
#pragma once

#include "framework/cmdtarget.h"

class CWnd;

typedef UINT (*AFX_THREADPROC)(LPVOID);

class CWinThread : public CCmdTarget {
  public:
    CWinThread() = default;
    // A worker: CreateThread runs proc(param) on a new thread.
    CWinThread(AFX_THREADPROC proc, LPVOID param);
    ~CWinThread() override;
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    CWnd* m_pMainWnd = nullptr;
    HANDLE m_hThread = nullptr;

    // Starts the worker's procedure at once, with the default stack and
    // security; the thread's exit code is what it returns. m_hThread is set
    // before the procedure runs. On failure nothing runs and the object
    // stays the caller's to delete.
    BOOL CreateThread();

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();

  private:
    static DWORD WINAPI ThreadStart(LPVOID self);

    AFX_THREADPROC m_pfnThreadProc = nullptr;
    LPVOID m_pThreadParams = nullptr;
    HANDLE m_hStarted = nullptr;
};
