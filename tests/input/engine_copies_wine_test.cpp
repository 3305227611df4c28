// Two copies of the engine in two processes of a real Win32 (under Wine),
// sharing the named events through the system's kernel objects. Started
// with --engine-copy, this program is one such copy instead of the tests.
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <windows.h>

#include "input/di_manager.h"
#include "temp_dir.h"

namespace {

const char* const kEventNames[] = {"KVDIGAMEDEVICEEVENT", "KVDIKEYBOARDEVENT", "KVDITERMINATE"};
// Far above the teardown's own limit: only a copy that hangs reaches it.
const DWORD kCopyBoundMs = 30000;

int NamedEventsLeft() {
    int left = 0;
    for (const char* name : kEventNames) {
        HANDLE event = ::OpenEventA(SYNCHRONIZE, FALSE, name);
        if (event) {
            ::CloseHandle(event);
            ++left;
        }
    }
    return left;
}

// A copy: the engine with the keyboard, which it leaves unacquired so that
// each keyboard pass of its worker shows in its log as a failed read. It
// tells that it is running through the ready event, tears the engine down
// when the quit event comes, and exits with the number of named events that
// are still there after its teardown.
int RunCopy(const char* quitName, const char* readyName) {
    HANDLE quit = ::OpenEventA(SYNCHRONIZE, FALSE, quitName);
    HANDLE ready = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, readyName);
    HWND window = ::CreateWindowExA(0, "STATIC", "copy", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    if (!quit || !ready || !window)
        return 100;
    {
        CDIManager manager;
        if (!manager.Init(::GetModuleHandleA(nullptr), window, CDIManager::kInitKeyboard, nullptr))
            return 101;
        manager.SetKeyboardNotification(FALSE, nullptr);
        ::SetEvent(ready);
        // The worker sends to this thread; a parent that is gone must not
        // leave the copy behind for ever.
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < 2 * kCopyBoundMs &&
               ::MsgWaitForMultipleObjects(1, &quit, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0) {
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageA(&msg);
        }
    }
    ::DestroyWindow(window);
    return NamedEventsLeft();
}

class EngineCopy {
  public:
    explicit EngineCopy(const std::string& tag) {
        std::string prefix = "BriskarnEngineCopy-" + std::to_string(::GetCurrentProcessId()) + tag;
        m_quitName = prefix + "-quit";
        m_readyName = prefix + "-ready";
        m_quit = ::CreateEventA(nullptr, TRUE, FALSE, m_quitName.c_str());
        m_ready = ::CreateEventA(nullptr, TRUE, FALSE, m_readyName.c_str());
    }
    ~EngineCopy() {
        if (m_process.hProcess) {
            if (::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT)
                ::TerminateProcess(m_process.hProcess, 1);
            ::CloseHandle(m_process.hThread);
            ::CloseHandle(m_process.hProcess);
        }
        ::CloseHandle(m_quit);
        ::CloseHandle(m_ready);
    }

    // Starts the copy and returns once its engine runs.
    ::testing::AssertionResult Start() {
        char self[MAX_PATH];
        ::GetModuleFileNameA(nullptr, self, sizeof self);
        std::string command =
            std::string("\"") + self + "\" --engine-copy " + m_quitName + " " + m_readyName;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        if (!::CreateProcessA(self, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                              m_dir.path().c_str(), &startup, &m_process))
            return ::testing::AssertionFailure() << "CreateProcess: error " << ::GetLastError();
        HANDLE either[2] = {m_ready, m_process.hProcess};
        if (::WaitForMultipleObjects(2, either, FALSE, kCopyBoundMs) != WAIT_OBJECT_0)
            return ::testing::AssertionFailure() << "the copy did not start its engine";
        return ::testing::AssertionSuccess();
    }

    // Tears the copy's engine down; the number of named events that were
    // left after it, or -1 when the copy did not end within the bound.
    int Quit() {
        ::SetEvent(m_quit);
        if (::WaitForSingleObject(m_process.hProcess, kCopyBoundMs) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(m_process.hProcess, &code);
        return static_cast<int>(code);
    }

    std::string Log() const {
        std::ifstream file(m_dir.File("Briskarn.log"));
        std::stringstream log;
        log << file.rdbuf();
        return log.str();
    }

    // Waits for the copy's log to hold text.
    bool LogShows(const std::string& text) const {
        const DWORD start = ::GetTickCount();
        for (;;) {
            if (Log().find(text) != std::string::npos)
                return true;
            if (::GetTickCount() - start >= kCopyBoundMs)
                return false;
            ::Sleep(50);
        }
    }

  private:
    TempDir m_dir;
    std::string m_quitName;
    std::string m_readyName;
    HANDLE m_quit = nullptr;
    HANDLE m_ready = nullptr;
    PROCESS_INFORMATION m_process{};
};

} // namespace

// The copy that goes on running starts first, so that its worker waits on
// the terminate event ahead of the other's: the system hands an auto-reset
// event to the waiter that came first, and the leaving copy's signal wakes
// the staying copy's worker.
TEST(EngineCopiesUnderWindows, TheFirstToLeaveEndsAndTheOtherKeepsItsPassesThenEndsToo) {
    EngineCopy staying("-staying"), leaving("-leaving");
    ASSERT_TRUE(staying.Start());
    ASSERT_TRUE(leaving.Start());

    EXPECT_EQ(leaving.Quit(), 3) << "it ended while the other copy holds the events";

    EXPECT_EQ(staying.Log(), "") << "no keyboard pass yet";
    HANDLE keyboard = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, "KVDIKEYBOARDEVENT");
    ASSERT_NE(keyboard, nullptr);
    ::SetEvent(keyboard);
    ::CloseHandle(keyboard);
    EXPECT_TRUE(staying.LogShows("Error getting keyboard device state"))
        << "no keyboard pass after the other copy left";

    EXPECT_EQ(staying.Quit(), 0) << "it ended and the named events went with it";
}

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--engine-copy") == 0)
        return RunCopy(argv[2], argv[3]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
