// Windows, threads and events for the tests of the Win32 calls, each closed
// when its object goes, and the messages the tests' dialog procedures answer.
// Only Win32 calls, so the same tests run on the hosted layer and on Windows.
#pragma once

#include <windows.h>

// Messages of the tests' own; below them WM_USER + 0..2 are the dialog manager's.
const UINT kTestMessage = WM_USER + 100;

HINSTANCE ProgramModule();

// A dialog procedure's answer to a message other than WM_INITDIALOG: the
// dialog manager takes the value from DWLP_MSGRESULT.
INT_PTR Answer(HWND dialog, LRESULT value);

// A modeless dialog from the program's resources on the calling thread.
class ModelessDialog {
  public:
    ModelessDialog(int templateId, DLGPROC proc, LPARAM param = 0);
    ~ModelessDialog();
    ModelessDialog(const ModelessDialog&) = delete;
    ModelessDialog& operator=(const ModelessDialog&) = delete;
    HWND window() const { return m_window; }
    HWND Item(int id) const { return GetDlgItem(m_window, id); }

  private:
    HWND m_window;
};

// A thread that is waited for when the object goes.
class Thread {
  public:
    Thread(LPTHREAD_START_ROUTINE start, void* parameter);
    ~Thread();
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;
    HANDLE handle() const { return m_handle; }
    DWORD id() const { return m_id; }
    // Waits for the thread to end; its exit code.
    DWORD Join();

  private:
    DWORD m_id = 0; // before m_handle: CreateThread fills it
    HANDLE m_handle;
};

// An unnamed event.
class Event {
  public:
    explicit Event(BOOL manualReset = FALSE)
        : m_handle(CreateEventA(nullptr, manualReset, FALSE, nullptr)) {}
    ~Event() { CloseHandle(m_handle); }
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    operator HANDLE() const { return m_handle; }

  private:
    HANDLE m_handle;
};

// Empties the calling thread's queue of posted messages, so that a test sees
// only its own; true when a WM_QUIT was among them.
bool DiscardPostedMessages();
