// A stand-in for the main dialog on a thread of its own, as the program's
// main thread would be: it owns a window that records every message the
// input engine sends it and runs test steps on that thread, so that the
// manager's main-thread calls and its sends meet as they do in the program.
// Hosted only: the steps run until the simulated machine is quiet.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <windows.h>
#include <dinput.h>

#include "input/device_messages.h"

struct ReceivedMessage {
    std::string name; // "KVDI_..."
    DWORD device = 0;
    DIJOYSTATE2 state{};
    std::string text; // a keystroke's chord
    HWND window = nullptr;
    DWORD threadId = 0;   // where it was handled
    long liveObjects = 0; // DirectInput objects alive while it was handled
    std::size_t openHandles = 0;
};

class CMainThread {
  public:
    CMainThread();
    ~CMainThread();

    // Runs step on the window's thread and returns once the machine is quiet.
    void Run(std::function<void()> step);
    // Starts step there without waiting for it.
    void Start(std::function<void()> step);

    HWND window() const { return m_hWnd; }
    HWND otherWindow() const { return m_hOther; }
    DWORD threadId() const { return m_nThreadId; }
    std::vector<ReceivedMessage> Take();
    // Called on the window's thread while a message is handled, before it is recorded.
    std::function<void(const ReceivedMessage&)> onMessage;

  private:
    static DWORD WINAPI ThreadMain(LPVOID self);
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HANDLE m_hThread = nullptr;
    HANDLE m_hReady = nullptr;
    HWND m_hWnd = nullptr;
    HWND m_hOther = nullptr;
    DWORD m_nThreadId = 0;
    std::vector<ReceivedMessage> m_received; // touched on the window's thread only
    std::vector<std::function<void()>> m_steps;
};

// Waits until the machine is quiet; fails the test with the watchdog's report otherwise.
void ExpectQuiet();
// Advances the virtual clock, firing what is due on the way.
void Advance(std::int64_t ms);

// The names of the messages in order.
std::vector<std::string> Names(const std::vector<ReceivedMessage>& messages);
