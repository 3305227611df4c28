#include "engine_harness.h"

#include <sstream>

#include <gtest/gtest.h>

#include "core/machine.h"
#include "dinput/com_object.h"
#include "kernel/objects.h"
#include "user/observers.h"

namespace {

const UINT kRunStep = WM_USER + 0x100;
const UINT kQuit = WM_USER + 0x101;

} // namespace

CMainThread::CMainThread() {
    m_hReady = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_hThread = CreateThread(nullptr, 0, ThreadMain, this, 0, &m_nThreadId);
    WaitForSingleObject(m_hReady, INFINITE);
    ExpectQuiet();
}

CMainThread::~CMainThread() {
    PostMessageA(m_hWnd, kQuit, 0, 0);
    WaitForSingleObject(m_hThread, INFINITE);
    CloseHandle(m_hThread);
    CloseHandle(m_hReady);
}

DWORD WINAPI CMainThread::ThreadMain(LPVOID self) {
    CMainThread* thread = static_cast<CMainThread*>(self);
    // The About box's template: any dialog will do as the main window.
    thread->m_hWnd = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(100), nullptr,
                                        DialogProc, reinterpret_cast<LPARAM>(thread));
    thread->m_hOther = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(100), nullptr,
                                          DialogProc, reinterpret_cast<LPARAM>(thread));
    SetEvent(thread->m_hReady);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == kQuit)
            break;
        DispatchMessageA(&msg);
    }
    DestroyWindow(thread->m_hOther);
    DestroyWindow(thread->m_hWnd);
    return 0;
}

INT_PTR CALLBACK CMainThread::DialogProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
    static CMainThread* s_thread = nullptr;
    if (message == WM_INITDIALOG) {
        s_thread = reinterpret_cast<CMainThread*>(lParam);
        return TRUE;
    }
    if (!s_thread)
        return FALSE;
    if (message == kRunStep) {
        std::function<void()> step = std::move(s_thread->m_steps.front());
        s_thread->m_steps.erase(s_thread->m_steps.begin());
        step();
        return TRUE;
    }
    std::string name = hosted::RegisteredMessageName(message);
    if (name.compare(0, 5, "KVDI_") != 0)
        return FALSE;
    ReceivedMessage received;
    received.name = name;
    received.window = window;
    received.threadId = GetCurrentThreadId();
    {
        hosted::MachineLock lock = hosted::LockMachine();
        received.liveObjects = hosted::LiveInputObjects();
        received.openHandles = hosted::OpenHandleCount();
    }
    if (message == g_msgKeystroke) {
        received.text = reinterpret_cast<const char*>(lParam);
    } else {
        const DeviceStateMessage* record = reinterpret_cast<const DeviceStateMessage*>(lParam);
        received.device = record->dwDevice;
        received.state = record->State;
    }
    if (s_thread->onMessage)
        s_thread->onMessage(received);
    s_thread->m_received.push_back(received);
    return TRUE;
}

void CMainThread::Start(std::function<void()> step) {
    // Steps are queued here before the post, and the window's thread is
    // idle between steps, so the queue never changes under a running step.
    m_steps.push_back(std::move(step));
    PostMessageA(m_hWnd, kRunStep, 0, 0);
}

void CMainThread::Run(std::function<void()> step) {
    Start(std::move(step));
    ExpectQuiet();
}

std::vector<ReceivedMessage> CMainThread::Take() {
    std::vector<ReceivedMessage> taken;
    taken.swap(m_received);
    return taken;
}

void ExpectQuiet() {
    std::string report;
    ASSERT_TRUE(hosted::WaitUntilQuiet(&report)) << report;
}

void Advance(std::int64_t ms) {
    std::string report;
    ASSERT_TRUE(hosted::AdvanceVirtualClock(ms, &report)) << report;
}

std::vector<std::string> Names(const std::vector<ReceivedMessage>& messages) {
    std::vector<std::string> names;
    for (const ReceivedMessage& message : messages)
        names.push_back(message.name);
    return names;
}
