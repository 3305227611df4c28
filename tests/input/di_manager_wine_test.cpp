// The manager and the multimedia timer against a real Win32 (the win64
// build under Wine): set-up with the keyboard, the joystick configuration
// that Wine does not offer, the teardown, and the two things the polling
// relies on: a 20 ms periodic timer that stops when killed, and a send from
// the timer's thread that the window's own thread handles in its modal loop.
#include <atomic>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>
#include <dinput.h>
#include <mmsystem.h>

#include "input/device_messages.h"
#include "input/di_manager.h"
#include "log_prefix.h"
#include "temp_dir.h"

namespace {

bool EventExists(const char* name) {
    HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, name);
    if (event)
        CloseHandle(event);
    return event != nullptr;
}

class WineEngineTest : public ::testing::Test {
  protected:
    WineEngineTest() : m_cwd(m_dir.path()) {
        m_hWnd = CreateWindowExA(0, "STATIC", "main", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    }
    ~WineEngineTest() override { DestroyWindow(m_hWnd); }

    TempDir m_dir;
    CurrentDirectory m_cwd;
    HWND m_hWnd = nullptr;
};

} // namespace

TEST_F(WineEngineTest, InitTakesTheKeyboardAndFailsOnTheMissingJoystickConfiguration) {
    ASSERT_NE(m_hWnd, nullptr);
    {
        CDIManager manager;
        ASSERT_EQ(
            manager.Init(GetModuleHandleA(nullptr), m_hWnd, CDIManager::kInitKeyboard, nullptr),
            TRUE);
        BYTE keys[256];
        EXPECT_EQ(manager.ReadKeyboardState(keys), DI_OK) << "the keyboard is acquired";
        for (const char* name : {"KVDIGAMEDEVICEEVENT", "KVDIKEYBOARDEVENT", "KVDITERMINATE"})
            EXPECT_TRUE(EventExists(name)) << name;
        EXPECT_TRUE(LogEntries(m_dir.File("Briskarn.log")).empty());

        EXPECT_EQ(manager.Init(GetModuleHandleA(nullptr), m_hWnd,
                               CDIManager::kInitKeyboard | CDIManager::kInitJoyConfig, nullptr),
                  FALSE);
        EXPECT_EQ(LogEntries(m_dir.File("Briskarn.log")),
                  std::vector<std::string>{
                      "Error Querying JoyConfig Interface.  Return Code: DIERR_NOINTERFACE"});
        GUID guid;
        EXPECT_TRUE(FAILED(manager.GetJoyConfigGuid(0, &guid)));
        EXPECT_TRUE(FAILED(manager.CreateGameDevice(0)));
    }
    // The teardown has ended the worker and closed the events.
    for (const char* name : {"KVDIGAMEDEVICEEVENT", "KVDIKEYBOARDEVENT", "KVDITERMINATE"})
        EXPECT_FALSE(EventExists(name)) << name;
}

namespace {

std::atomic<long> g_passes{0};

void CALLBACK CountedPoll(UINT id, UINT message, DWORD_PTR user, DWORD_PTR r1, DWORD_PTR r2) {
    ++g_passes;
    CDIManager::PollTimerProc(id, message, user, r1, r2);
}

} // namespace

TEST_F(WineEngineTest, APeriodicTimerDrivesThePassesUntilItIsKilled) {
    CDIManager manager;
    ASSERT_EQ(manager.Init(GetModuleHandleA(nullptr), m_hWnd, CDIManager::kInitKeyboard, nullptr),
              TRUE);
    TIMECAPS caps;
    ASSERT_EQ(timeGetDevCaps(&caps, sizeof caps), TIMERR_NOERROR);
    EXPECT_LE(caps.wPeriodMin, 20u);
    EXPECT_GE(caps.wPeriodMax, 20u);
    UINT id =
        timeSetEvent(20, 2, CountedPoll, reinterpret_cast<DWORD_PTR>(&manager), TIME_PERIODIC);
    ASSERT_NE(id, 0u);
    Sleep(1000);
    EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
    long atKill = g_passes;
    EXPECT_GE(atKill, 10);
    Sleep(200);
    EXPECT_EQ(g_passes, atKill) << "a pass after timeKillEvent returned";
}

namespace {

struct ModalRun {
    UINT timer = 0;
    DWORD windowThread = 0;
    std::atomic<DWORD> timerThread{0};
    std::vector<DWORD> handledOn;
    std::vector<DWORD> devices;
};

void CALLBACK SendFromTimer(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    HWND dialog = reinterpret_cast<HWND>(user);
    static DWORD s_count = 0;
    DeviceStateMessage record;
    ZeroMemory(&record, sizeof record);
    record.dwDevice = ++s_count;
    ModalRun* run = reinterpret_cast<ModalRun*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (run)
        run->timerThread = GetCurrentThreadId();
    SendMessageA(dialog, g_msgGameDeviceChanged, 0, reinterpret_cast<LPARAM>(&record));
}

INT_PTR CALLBACK ModalProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        ModalRun* run = reinterpret_cast<ModalRun*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        run->windowThread = GetCurrentThreadId();
        run->timer =
            timeSetEvent(20, 2, SendFromTimer, reinterpret_cast<DWORD_PTR>(dialog), TIME_PERIODIC);
        if (!run->timer)
            EndDialog(dialog, -1);
        return TRUE;
    }
    if (message == g_msgGameDeviceChanged) {
        ModalRun* run = reinterpret_cast<ModalRun*>(GetWindowLongPtrA(dialog, DWLP_USER));
        run->handledOn.push_back(GetCurrentThreadId());
        run->devices.push_back(reinterpret_cast<const DeviceStateMessage*>(lParam)->dwDevice);
        if (run->handledOn.size() == 5) {
            timeKillEvent(run->timer);
            EndDialog(dialog, IDOK);
        }
        return TRUE;
    }
    return FALSE;
}

} // namespace

TEST_F(WineEngineTest, ASendFromTheTimersThreadIsHandledInTheWindowsModalLoop) {
    // A bare dialog template: no controls, no menu, the default class.
    alignas(4) WORD buffer[64] = {};
    DLGTEMPLATE* dialog = reinterpret_cast<DLGTEMPLATE*>(buffer);
    dialog->style = WS_POPUP | DS_MODALFRAME;
    dialog->cx = 50;
    dialog->cy = 20;
    ModalRun run;
    INT_PTR result = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), dialog, nullptr, ModalProc,
                                             reinterpret_cast<LPARAM>(&run));
    Sleep(100); // a send still under way finds the dialog gone and returns
    EXPECT_EQ(result, IDOK);
    ASSERT_EQ(run.handledOn.size(), 5u);
    for (DWORD thread : run.handledOn)
        EXPECT_EQ(thread, run.windowThread);
    EXPECT_NE(run.timerThread.load(), run.windowThread);
    EXPECT_NE(run.timerThread.load(), 0u);
    EXPECT_EQ(run.devices, (std::vector<DWORD>{1, 2, 3, 4, 5}));
}
