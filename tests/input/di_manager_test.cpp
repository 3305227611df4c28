// The manager's set-up and teardown on the simulated machine: what Init
// creates for each set of flags, what a failing DirectInput call leaves in
// the log and held, and that the teardown gives everything back once.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "engine_fixture.h"

namespace {

std::string Line(const char* message, const char* code) {
    return std::string(message) + ".  Return Code: " + code;
}

const DWORD kKeyboard = CDIManager::kInitKeyboard;
const DWORD kMouse = CDIManager::kInitMouse;
const DWORD kJoyConfig = CDIManager::kInitJoyConfig;

// What runs before the failure is injected: nothing, Init with the keyboard
// and the joystick configuration, and then also a wheel in slot 0 (whose
// calls are then the ones that fail), or its notification on too.
enum class Before { Nothing, Init, Polled, Interrupt, InterruptOn };

using Operation = std::function<long(CDIManager&, HWND)>; // HWND: the main window

struct FailureCase {
    const char* method;
    HRESULT code;
    const char* codeName; // as the log writes it
    Before before;
    Operation operation;
    long result;
    std::vector<const char*> lines; // the messages logged, in order
    long liveAfter;                 // DirectInput objects still held
};

const HRESULT kDriverCode = static_cast<HRESULT>(0x80040301); // no name: printed in hex

std::vector<FailureCase> FailureCases() {
    auto init = [](DWORD flags) -> Operation {
        return [flags](CDIManager& m, HWND main) {
            return long(m.Init(GetModuleHandleA(nullptr), main, flags, nullptr));
        };
    };
    Operation initUsual = init(kKeyboard | kJoyConfig), initMouse = init(kMouse);
    Operation keyboardOn = [](CDIManager& m, HWND) {
        return long(m.SetKeyboardNotification(TRUE, nullptr));
    };
    Operation readKeys = [](CDIManager& m, HWND) {
        BYTE keys[256];
        std::memset(keys, 0xAB, sizeof keys);
        long result = m.ReadKeyboardState(keys);
        for (BYTE key : keys)
            if (key != 0xAB)
                return 0L; // the caller's buffer must keep what it had
        return result;
    };
    Operation readConfig = [](CDIManager& m, HWND) {
        DIJOYCONFIG config;
        return long(m.GetJoyConfig(3, &config));
    };
    Operation readGuid = [](CDIManager& m, HWND) {
        GUID guid = GUID_XAxis;
        long result = m.GetJoyConfigGuid(0, &guid);
        return IsEqualGUID(guid, GUID_XAxis) ? result : 0L;
    };
    Operation create = [](CDIManager& m, HWND) { return long(m.CreateGameDevice(0)); };
    Operation isPolled = [](CDIManager& m, HWND) { return long(m.IsPolledDevice(0)); };
    Operation deviceOn = [](CDIManager& m, HWND) {
        return long(m.SetGameDeviceNotification(0, TRUE, nullptr));
    };
    Operation deviceOff = [](CDIManager& m, HWND) {
        return long(m.SetGameDeviceNotification(0, FALSE, nullptr));
    };
    Operation readDevice = [](CDIManager& m, HWND) {
        DIJOYSTATE2 state;
        std::memset(&state, 0x5A, sizeof state);
        long result = m.ReadGameDeviceState(0, &state);
        return reinterpret_cast<BYTE*>(&state)[271] == 0x5A ? result : 0L;
    };
    const char* kbUnacquire = "Error unacquiring before setting event notification";
    const char* guidFailed = "Error getting JoyConfig - DIJC_GUIDINSTANCE";
    const char* notificationAfter =
        "Error setting event notification.  Return Code: DIERR_ACQURIED";
    const Before nothing = Before::Nothing, inited = Before::Init, polled = Before::Polled;
    const Before interrupt = Before::Interrupt, interruptOn = Before::InterruptOn;
    // clang-format off
    return {
        {"::DirectInputCreateA", DIERR_GENERIC, "DIERR_GENERIC", nothing, initUsual, 0, {"Error Creating DirectInput object"}, 0},
        {"IDirectInputA::CreateDevice", DIERR_OUTOFMEMORY, "DIERR_OUTOFMEMORY", nothing, initUsual, 0, {"Error creating keyboard device"}, 1},
        {"IDirectInputDeviceA::SetDataFormat", DIERR_ACQUIRED, "DIERR_ACQURIED", nothing, initUsual, 0, {"Error setting keyboard data format"}, 2},
        {"IDirectInputDeviceA::SetCooperativeLevel", DIERR_INVALIDPARAM, "DIERR_INVALIDPARAM", nothing, initUsual, 0, {"Error setting keyboard cooperative level"}, 2},
        {"IDirectInputDeviceA::Acquire", DIERR_OTHERAPPHASPRIO, "DIERR_OTHERAPPHASPRIO", nothing, initUsual, 0, {"Error acquiring keyboard device"}, 2},
        {"IDirectInputA::CreateDevice", kDriverCode, "80040301", nothing, initMouse, 0, {"Error creating mouse device"}, 1},
        {"IDirectInputDeviceA::SetDataFormat", DIERR_GENERIC, "DIERR_GENERIC", nothing, initMouse, 0, {"Error setting mouse data format"}, 2},
        {"IDirectInputDeviceA::SetCooperativeLevel", DIERR_GENERIC, "DIERR_GENERIC", nothing, initMouse, 0, {"Error setting mouse cooperative level"}, 2},
        {"IDirectInputDeviceA::Acquire", DIERR_GENERIC, "DIERR_GENERIC", nothing, initMouse, 0, {"Error acquiring mouse device"}, 2},
        {"IDirectInputA::QueryInterface", DIERR_NOINTERFACE, "DIERR_NOINTERFACE", nothing, initUsual, 0, {"Error Querying JoyConfig Interface"}, 2},
        {"IDirectInputJoyConfig::SetCooperativeLevel", DIERR_GENERIC, "DIERR_GENERIC", nothing, initUsual, 0, {"Error setting cooperative level"}, 3},
        {"IDirectInputJoyConfig::Acquire", DIERR_OTHERAPPHASPRIO, "DIERR_OTHERAPPHASPRIO", nothing, initUsual, 0, {"Error Acquiring JoyConfig object"}, 3},
        // The keyboard's notification: a failed unacquire is only logged,
        // and the next step meets the device still acquired.
        {"IDirectInputDeviceA::Unacquire", DIERR_GENERIC, "DIERR_GENERIC", inited, keyboardOn, 0, {kbUnacquire, notificationAfter}, 3},
        {"IDirectInputDeviceA::SetEventNotification", DIERR_ACQUIRED, "DIERR_ACQURIED", inited, keyboardOn, 0, {"Error setting event notification"}, 3},
        {"IDirectInputDeviceA::Acquire", DIERR_GENERIC, "DIERR_GENERIC", inited, keyboardOn, 0, {"Error acquiring after setting event notification"}, 3},
        {"IDirectInputDeviceA::GetDeviceState", DIERR_INPUTLOST, "DIERR_INPUTLOST", inited, readKeys, DIERR_INPUTLOST, {"Error getting keyboard device state"}, 3},
        {"IDirectInputJoyConfig::GetConfig", DIERR_NOMOREITEMS, "DIERR_NOMOREITEMS", inited, readConfig, DIERR_NOMOREITEMS, {"Error getting JoyConfig"}, 3},
        {"IDirectInputJoyConfig::GetConfig", DIERR_GENERIC, "DIERR_GENERIC", inited, readGuid, DIERR_GENERIC, {guidFailed}, 3},
        // Game devices: a failed creation registers nothing and holds nothing of it.
        {"IDirectInputJoyConfig::GetConfig", DIERR_NOMOREITEMS, "DIERR_NOMOREITEMS", polled, create, DIERR_NOMOREITEMS, {guidFailed, "Error getting game device GUID"}, 3},
        {"IDirectInputA::CreateDevice", DIERR_DEVICENOTREG, "DIERR_DEVICENOTREG", polled, create, DIERR_DEVICENOTREG, {"Error creating game device"}, 3},
        {"IDirectInputDevice2A::QueryInterface", DIERR_NOINTERFACE, "DIERR_NOINTERFACE", polled, create, DIERR_NOINTERFACE, {"Error querying for DirectInputDevice2"}, 3},
        {"IDirectInputDevice2A::SetDataFormat", DIERR_INVALIDPARAM, "DIERR_INVALIDPARAM", polled, create, DIERR_INVALIDPARAM, {"Error setting data format"}, 3},
        {"IDirectInputDevice2A::SetCooperativeLevel", DIERR_GENERIC, "DIERR_GENERIC", polled, create, DIERR_GENERIC, {"Error setting cooperative level"}, 3},
        {"IDirectInputDevice2A::Acquire", DIERR_OTHERAPPHASPRIO, "DIERR_OTHERAPPHASPRIO", polled, create, DIERR_OTHERAPPHASPRIO, {"Error acquiring Game device"}, 3},
        {"IDirectInputDevice2A::GetCapabilities", DIERR_GENERIC, "DIERR_GENERIC", polled, isPolled, 0, {"Error getting device capabilities"}, 4},
        // Switching on: a failed unacquire is only logged; the timer starts.
        {"IDirectInputDevice2A::Unacquire", DIERR_GENERIC, "DIERR_GENERIC", polled, deviceOn, 1, {"Error unacquiring game device"}, 4},
        {"IDirectInputDevice2A::Acquire", DIERR_INPUTLOST, "DIERR_INPUTLOST", polled, deviceOn, 0, {"Error acquiring after setting event notification"}, 4},
        {"IDirectInputDevice2A::Acquire", DIERR_INPUTLOST, "DIERR_INPUTLOST", interrupt, deviceOn, 0, {"Error acquiring after setting event notification"}, 4},
        {"IDirectInputDevice2A::SetEventNotification", DIERR_ACQUIRED, "DIERR_ACQURIED", interrupt, deviceOn, 0, {"Error setting event notification"}, 4},
        // Switching off goes on after a failed unacquire.
        {"IDirectInputDevice2A::Unacquire", DIERR_NOTACQUIRED, "DIERR_NOTACQUIRED", interruptOn, deviceOff, 1, {kbUnacquire}, 4},
        {"IDirectInputDevice2A::GetDeviceState", DIERR_NOTACQUIRED, "DIERR_NOTACQUIRED", polled, readDevice, DIERR_NOTACQUIRED, {"Error getting game device state"}, 4},
    };
    // clang-format on
}

} // namespace

TEST_F(EngineTest, EachFailingCallIsLoggedAndDecidesWhatTheOperationDoesNext) {
    std::vector<FailureCase> cases = FailureCases();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const FailureCase& c = cases[i];
        SCOPED_TRACE("case " + std::to_string(i) + ": " + c.lines.back());
        m_dir.Write("Briskarn.log", "");
        m_pManager.reset(new CDIManager);
        bool wheel = c.before != Before::Nothing && c.before != Before::Init;
        if (wheel)
            PutWheel(0, c.before == Before::Polled);
        HWND main = window();
        if (c.before != Before::Nothing) {
            ASSERT_EQ(OnMain([&](CDIManager& m) {
                          return m.Init(GetModuleHandleA(nullptr), main, kKeyboard | kJoyConfig,
                                        nullptr);
                      }),
                      1);
        }
        if (wheel) {
            ASSERT_EQ(OnMain([](CDIManager& m) { return m.CreateGameDevice(0); }), DI_OK);
        }
        if (c.before == Before::InterruptOn) {
            ASSERT_EQ(OnMain([](CDIManager& m) { return m.SetGameDeviceNotification(0, 1, 0); }),
                      1);
        }
        Fail(c.method, wheel ? 0 : -1, 1, c.code);
        EXPECT_EQ(OnMain([&](CDIManager& m) { return c.operation(m, main); }), c.result);
        ClearFailures();
        std::vector<std::string> expected;
        for (const char* line : c.lines)
            expected.push_back(std::strstr(line, "Return Code") ? line : Line(line, c.codeName));
        EXPECT_EQ(Log(), expected);
        EXPECT_EQ(LiveObjects(), c.liveAfter);
        TearDownManager();
        EXPECT_EQ(LiveObjects(), 0);
        EXPECT_EQ(RunningTimers(), 0);
        {
            hosted::MachineLock lock = hosted::LockMachine();
            hosted::ResetInputDevices();
        }
    }
}

TEST_F(EngineTest, InitCreatesWhatItsFlagsAskForAndAlwaysTheEventsAndTheWorker) {
    const struct {
        DWORD flags;
        long objects; // DirectInput, then one per device or interface
    } kCases[] = {{0, 1},
                  {0x4, 1}, // no flag of the manager's
                  {kKeyboard, 2},
                  {kMouse, 2},
                  {kJoyConfig, 2},
                  {kKeyboard | kJoyConfig, 3},
                  {kKeyboard | kMouse | kJoyConfig, 4},
                  {0xFF, 4}};
    std::size_t handles = OpenHandles();
    for (const auto& c : kCases) {
        SCOPED_TRACE("flags " + std::to_string(c.flags));
        m_pManager.reset(new CDIManager);
        HWND main = window();
        EXPECT_EQ(OnMain([&](CDIManager& m) {
                      return m.Init(GetModuleHandleA(nullptr), main, c.flags, nullptr);
                  }),
                  1);
        EXPECT_EQ(LiveObjects(), c.objects);
        // Three named events, the teardown's own and the worker's handle.
        EXPECT_EQ(OpenHandles(), handles + 5);
        std::size_t closes = hosted::CloseHandleCalls();
        TearDownManager();
        EXPECT_EQ(LiveObjects(), 0);
        EXPECT_EQ(OpenHandles(), handles);
        EXPECT_EQ(hosted::CloseHandleCalls(), closes + 5) << "each handle closed once";
    }
    EXPECT_TRUE(Log().empty());
}

TEST_F(EngineTest, ASecondInitKeepsTheFirstWindowAndRepeatsOnlyTheJoystickConfiguration) {
    HWND main = window(), other = m_main.otherWindow();
    ASSERT_EQ(OnMain([&](CDIManager& m) {
                  return m.Init(GetModuleHandleA(nullptr), main, kJoyConfig, nullptr);
              }),
              1);
    std::size_t handles = OpenHandles();
    // The joystick configuration's cooperative level is asked for again.
    Fail("IDirectInputJoyConfig::SetCooperativeLevel", -1, 1, DIERR_GENERIC);
    EXPECT_EQ(OnMain([&](CDIManager& m) {
                  return m.Init(GetModuleHandleA(nullptr), other, kKeyboard | kJoyConfig, nullptr);
              }),
              0);
    EXPECT_EQ(Log(),
              std::vector<std::string>{Line("Error setting cooperative level", "DIERR_GENERIC")});
    ClearFailures();
    EXPECT_EQ(OnMain([&](CDIManager& m) {
                  return m.Init(GetModuleHandleA(nullptr), other, kKeyboard | kJoyConfig, nullptr);
              }),
              1);
    EXPECT_EQ(LiveObjects(), 3) << "one DirectInput, the keyboard once, one configuration";
    EXPECT_EQ(OpenHandles(), handles) << "no second set of events, no second worker";

    // The keyboard's chords still go to the first window.
    ASSERT_EQ(OnMain([](CDIManager& m) { return m.SetKeyboardNotification(TRUE, nullptr); }), 1);
    TapKey(0x1E);
    std::vector<ReceivedMessage> received = Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].window, main);
}

TEST_F(EngineTest, APartlyFailedInitIsCompletedByTheNextAndTornDownWhole) {
    HWND main = window();
    std::size_t handles = OpenHandles();
    Fail("IDirectInputDeviceA::Acquire", -1, 1, DIERR_OTHERAPPHASPRIO);
    EXPECT_EQ(OnMain([&](CDIManager& m) {
                  return m.Init(GetModuleHandleA(nullptr), main, kKeyboard | kJoyConfig, nullptr);
              }),
              0);
    EXPECT_EQ(LiveObjects(), 2);
    EXPECT_EQ(OpenHandles(), handles) << "no events and no worker after a failed Init";
    // The keyboard is held, so the next Init leaves it as it is.
    EXPECT_EQ(OnMain([&](CDIManager& m) {
                  return m.Init(GetModuleHandleA(nullptr), main, kKeyboard | kJoyConfig, nullptr);
              }),
              1);
    EXPECT_EQ(LiveObjects(), 3);
    EXPECT_EQ(OpenHandles(), handles + 5);
    TearDownManager();
    EXPECT_EQ(LiveObjects(), 0);
    EXPECT_EQ(OpenHandles(), handles);

    // A failure before any event existed, torn down at once.
    m_pManager.reset(new CDIManager);
    Fail("IDirectInputA::QueryInterface", -1, 0, DIERR_NOINTERFACE);
    EXPECT_EQ(OnMain([&](CDIManager& m) {
                  return m.Init(GetModuleHandleA(nullptr), main, kKeyboard | kMouse | kJoyConfig,
                                nullptr);
              }),
              0);
    EXPECT_EQ(LiveObjects(), 3);
    TearDownManager();
    EXPECT_EQ(LiveObjects(), 0);
    EXPECT_EQ(OpenHandles(), handles);
}

TEST_F(EngineTest, TheTeardownOfAManagerNeverInitialisedDoesNothing) {
    std::size_t handles = OpenHandles(), closes = hosted::CloseHandleCalls();
    TearDownManager();
    EXPECT_EQ(OpenHandles(), handles);
    EXPECT_EQ(hosted::CloseHandleCalls(), closes);
    EXPECT_FALSE(m_dir.Exists("Briskarn.log"));
}

TEST_F(EngineTest, WithoutAKeyboardTheReadGivesZerosAndOne) {
    BYTE keys[256];
    std::memset(keys, 0xFF, sizeof keys);
    EXPECT_EQ(OnMain([&](CDIManager& m) { return m.ReadKeyboardState(keys); }), 1);
    for (BYTE key : keys)
        ASSERT_EQ(key, 0);
    EXPECT_EQ(OnMain([](CDIManager& m) { return m.SetKeyboardNotification(FALSE, nullptr); }), 1);
    // Switching on without events answers no, but the window has changed.
    HWND main = window();
    EXPECT_EQ(OnMain([&](CDIManager& m) {
                  return m.Init(GetModuleHandleA(nullptr), main, kJoyConfig, nullptr);
              }),
              1);
    EXPECT_EQ(Log(), std::vector<std::string>{});
    EXPECT_EQ(OnMain([](CDIManager& m) { return m.SetKeyboardNotification(TRUE, nullptr); }), 0);
}

// The teardown waits for the worker while the worker waits for this thread
// to take its chord: the wait must let the message through, and the events
// the worker waits on must still be open while it runs.
TEST_F(EngineTest, TheTeardownLetsTheWorkersMessageThroughAndClosesTheEventsAfterItEnds) {
    std::size_t handles = OpenHandles();
    ASSERT_TRUE(ListenToKeyboard());
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_main.Start([&] {
        WaitForSingleObject(go, INFINITE);
        m_pManager.reset();
    });
    ExpectQuiet();
    TapKey(0x1E);
    EXPECT_TRUE(Received().empty()) << "the main thread is busy: the chord waits";
    SetEvent(go);
    ExpectQuiet();
    CloseHandle(go);
    std::vector<ReceivedMessage> received = Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].name, "KVDI_KEYSTROKE");
    EXPECT_EQ(received[0].text, "a");
    EXPECT_EQ(received[0].threadId, m_main.threadId());
    EXPECT_EQ(received[0].openHandles, handles + 6) << "events closed before the worker ended";
    EXPECT_EQ(OpenHandles(), handles);
    EXPECT_EQ(LiveObjects(), 0);
}

// Without all four events the worker's wait would fail at once, every time:
// it is not started, and the next Init creates only what is missing. A
// spinning worker would keep the machine from ever becoming quiet.
TEST_F(EngineTest, TheWorkerStartsOnlyWithAllItsEventsAndTheNextInitCreatesOnlyTheMissing) {
    const struct {
        const char* function;
        unsigned call;
        std::size_t held; // handles the failed start leaves held
    } kCases[] = {
        {"CreateEventA", 1, 3}, {"CreateEventA", 2, 3}, {"CreateEventA", 3, 3},
        {"CreateEventA", 4, 3}, {"CreateEventA", 5, 4}, // the thread object's own event
        {"CreateThread", 1, 4},
    };
    HWND main = window();
    std::size_t handles = OpenHandles();
    auto init = [&](CDIManager& m) {
        return m.Init(GetModuleHandleA(nullptr), main, kKeyboard, nullptr);
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.function) + " call " + std::to_string(c.call));
        m_pManager.reset(new CDIManager);
        FailKernel(c.function, c.call, ERROR_NOT_ENOUGH_MEMORY);
        EXPECT_EQ(OnMain(init), 1);
        ClearFailures();
        EXPECT_EQ(OpenHandles(), handles + c.held) << "no worker";
        EXPECT_EQ(OnMain(init), 1);
        EXPECT_EQ(OpenHandles(), handles + 5) << "four events and the worker, none twice";
        ASSERT_EQ(OnMain([](CDIManager& m) { return m.SetKeyboardNotification(TRUE, nullptr); }),
                  1);
        TapKey(0x1E);
        EXPECT_EQ(Names(Received()), std::vector<std::string>{"KVDI_KEYSTROKE"});
        TearDownManager();
        EXPECT_EQ(OpenHandles(), handles);
        EXPECT_EQ(LiveObjects(), 0);
    }
    EXPECT_TRUE(Log().empty());
}

// A wait that fails fails again at once: the worker ends rather than spin,
// which would keep the machine from ever becoming quiet.
TEST_F(EngineTest, AFailedWaitEndsTheWorker) {
    std::size_t handles = OpenHandles();
    ASSERT_TRUE(ListenToKeyboard());
    TapKey(0x1E);
    EXPECT_EQ(Names(Received()), std::vector<std::string>{"KVDI_KEYSTROKE"});
    // The worker's next wait, after the key goes down, is the one that fails.
    FailKernel("WaitForMultipleObjects", 0, ERROR_INVALID_HANDLE);
    TapKey(0x1E);
    ClearFailures();
    TapKey(0x1E);
    EXPECT_TRUE(Received().empty()) << "no worker is left to send a chord";
    TearDownManager();
    EXPECT_EQ(OpenHandles(), handles);
    EXPECT_EQ(LiveObjects(), 0);
}

// Another copy of the program shares the named events. Its teardown's
// signal leaves this worker serving; a signal of this teardown that the
// other copy took is given again until this worker has ended.
TEST_F(EngineTest, ATerminateSignalOfAnotherCopyLeavesTheWorkerAndOursIsGivenAgainIfTaken) {
    std::size_t handles = OpenHandles();
    ASSERT_TRUE(ListenToKeyboard());
    HANDLE shared = CreateEventA(nullptr, FALSE, FALSE, "KVDITERMINATE");
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    SetEvent(shared);
    ExpectQuiet();
    TapKey(0x1E);
    EXPECT_EQ(Names(Received()), std::vector<std::string>{"KVDI_KEYSTROKE"}) << "still serving";

    // The other copy's worker waits on the event while ours is busy handing
    // a chord to a main thread that is busy too: the first signal of a
    // teardown on a thread of its own is theirs.
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_main.Start([&] { WaitForSingleObject(go, INFINITE); });
    TapKey(0x1E);
    auto wait = [](LPVOID event) { return WaitForSingleObject(event, INFINITE); };
    auto tearDown = [](LPVOID manager) -> DWORD {
        static_cast<std::unique_ptr<CDIManager>*>(manager)->reset();
        return 0;
    };
    DWORD id = 0;
    HANDLE other = CreateThread(nullptr, 0, wait, shared, 0, &id);
    ExpectQuiet();
    HANDLE teardown = CreateThread(nullptr, 0, tearDown, &m_pManager, 0, &id);
    ExpectQuiet();
    EXPECT_EQ(WaitForSingleObject(other, 0), WAIT_OBJECT_0) << "the other copy took the signal";
    SetEvent(go);
    ExpectQuiet();
    EXPECT_EQ(Names(Received()), std::vector<std::string>{"KVDI_KEYSTROKE"});
    EXPECT_EQ(WaitForSingleObject(teardown, 0), DWORD(WAIT_TIMEOUT)) << "our worker is waiting";
    Advance(CDIManager::kResignalMs);
    EXPECT_EQ(WaitForSingleObject(teardown, 0), WAIT_OBJECT_0);
    for (HANDLE handle : {other, teardown, shared, go})
        CloseHandle(handle);
    EXPECT_EQ(OpenHandles(), handles);
    EXPECT_EQ(LiveObjects(), 0);
}

// A worker that never comes back to its wait (here: handing a chord to a
// main thread that never takes it) does not hold the process's exit for
// ever. Run in a process of its own: the worker it gives up on stays.
TEST_F(EngineTest, TheTeardownGivesUpOnAWorkerStillRunningAfterItsBound) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ListenToKeyboard();
            HANDLE never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
            m_main.Start([&] { WaitForSingleObject(never, INFINITE); });
            TapKey(0x1E);
            DWORD id = 0;
            HANDLE teardown = CreateThread(
                nullptr, 0,
                [](LPVOID manager) -> DWORD {
                    static_cast<std::unique_ptr<CDIManager>*>(manager)->reset();
                    return 0;
                },
                &m_pManager, 0, &id);
            ExpectQuiet();
            Advance(CDIManager::kWorkerEndMs - 1);
            bool early = WaitForSingleObject(teardown, 0) == WAIT_OBJECT_0;
            Advance(1);
            bool ended = WaitForSingleObject(teardown, 0) == WAIT_OBJECT_0;
            std::fprintf(stderr, "ended early %d, at the bound %d\n", early, ended);
            std::_Exit(!early && ended ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}
