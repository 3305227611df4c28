// Change detection on the simulated machine: passes driven by the 20 ms
// timer or by the device's event, the messages each pass sends and the
// state they carry, the timer's resolution and the switches.
#include <cstdio>
#include <cstring>

#include "core/transcript.h"
#include "engine_fixture.h"

namespace {

using Kinds = std::vector<std::string>;

const char* const kChanged = "KVDI_GAMEDEVICECHANGED";
const char* const kAxis = "KVDI_DEVICEAXISCHANGED";
const char* const kButton = "KVDI_DEVICEBUTTONCHANGED";
const char* const kPov = "KVDI_DEVICEPOVCHANGED";

class PassTest : public EngineTest {
  protected:
    // Init as the main dialog does, the device of slot 0 created.
    void Open(bool polled, unsigned buttons = 12, unsigned povs = 1) {
        PutWheel(0, polled, buttons, povs);
        OpenSlot0();
    }
    void OpenSlot0() {
        HWND main = window();
        ASSERT_EQ(OnMain([&](CDIManager& m) {
                      return m.Init(GetModuleHandleA(nullptr), main,
                                    CDIManager::kInitKeyboard | CDIManager::kInitJoyConfig,
                                    nullptr);
                  }),
                  1);
        ASSERT_EQ(OnMain([](CDIManager& m) { return m.CreateGameDevice(0); }), DI_OK);
    }
    long On(HWND window = nullptr) {
        return OnMain([&](CDIManager& m) { return m.SetGameDeviceNotification(0, TRUE, window); });
    }
    long Off() {
        return OnMain([](CDIManager& m) { return m.SetGameDeviceNotification(0, FALSE, nullptr); });
    }
    // A device of its own objects in slot 0: name, offset, type.
    static void PutDevice(bool polled, const std::vector<hosted::InputObject>& objects) {
        hosted::MachineLock lock = hosted::LockMachine();
        auto device = hosted::MakeWheel(0, "Custom", polled, 0, 0);
        device->objects = objects;
        hosted::SetJoystickSlot(0, device);
    }
    static void Poke(std::size_t offset, BYTE value) {
        hosted::MachineLock lock = hosted::LockMachine();
        hosted::JoystickSlot(0)->state[offset] = value;
    }
    // Every message of a pass carries the same state, that of the device now.
    static void ExpectOneState(const std::vector<ReceivedMessage>& received) {
        hosted::MachineLock lock = hosted::LockMachine();
        const std::vector<BYTE>& now = hosted::JoystickSlot(0)->state;
        for (const ReceivedMessage& message : received) {
            EXPECT_EQ(message.device, 0u);
            EXPECT_EQ(std::memcmp(&message.state, now.data(), sizeof message.state), 0)
                << message.name;
        }
    }
};

const DWORD kX = offsetof(DIJOYSTATE2, lX), kButtons = offsetof(DIJOYSTATE2, rgbButtons);

} // namespace

TEST_F(PassTest, APolledDeviceIsReadFiveTimesIn100msAndAFailedReadKeepsThePreviousState) {
    Open(true);
    Fail("IDirectInputDevice2A::GetDeviceState", 0, 0, DIERR_INPUTLOST);
    ASSERT_EQ(On(), 1);
    Advance(100);
    EXPECT_EQ(Log(), std::vector<std::string>(
                         5, "Error getting game device state.  Return Code: DIERR_INPUTLOST"));
    EXPECT_TRUE(Received().empty());

    // The first read that works is compared with all zeros: axes at rest and
    // the centred hat count as changed, the buttons that are up do not.
    ClearFailures();
    Advance(20);
    std::vector<ReceivedMessage> received = Received();
    EXPECT_EQ(Names(received), (Kinds{kChanged, kAxis, kPov}));
    ExpectOneState(received);
    for (const ReceivedMessage& message : received)
        EXPECT_EQ(message.threadId == m_main.threadId() && message.window == window(), true);

    // Failed reads in between change nothing: the next good one is compared
    // with the last good one.
    Move(0, {{"x", 100}});
    Fail("IDirectInputDevice2A::GetDeviceState", 0, 0, DIERR_NOTACQUIRED);
    Advance(40);
    EXPECT_TRUE(Received().empty());
    ClearFailures();
    Advance(20);
    EXPECT_EQ(Names(Received()), (Kinds{kChanged, kAxis}));
    Advance(100);
    EXPECT_TRUE(Received().empty()) << "nothing changed";
}

TEST_F(PassTest, AnInterruptDrivenDeviceIsReadWhenItsStateChangesWithoutTheClock) {
    Open(false);
    ASSERT_EQ(On(), 1);
    EXPECT_EQ(RunningTimers(), 0);
    Move(0, {{"button3", 0x80}});
    ExpectQuiet();
    std::vector<ReceivedMessage> received = Received();
    EXPECT_EQ(Names(received), (Kinds{kChanged, kAxis, kButton, kPov}));
    ExpectOneState(received);
    EXPECT_EQ(received[0].state.rgbButtons[2], 0x80);
    Move(0, {{"pov0", 9000}});
    ExpectQuiet();
    EXPECT_EQ(Names(Received()), (Kinds{kChanged, kPov}));
    // Off: changes go unheard.
    EXPECT_EQ(Off(), 1);
    Move(0, {{"x", 5}});
    ExpectQuiet();
    EXPECT_TRUE(Received().empty());
}

TEST_F(PassTest, EachPassSendsEachKindOnceChangedFirstThenInTheOrderOfTheObjects) {
    Open(false);
    ASSERT_EQ(On(), 1);
    Move(0, {{"x", 1}});
    ExpectQuiet();
    Received();
    const struct {
        std::vector<std::pair<std::string, std::int64_t>> parts;
        Kinds expected;
    } kCases[] = {
        {{{"x", 2}, {"y", 3}, {"button1", 0x80}}, {kChanged, kAxis, kButton}},
        {{{"pov0", 0}, {"button2", 0x80}, {"button12", 0x80}}, {kChanged, kButton, kPov}},
        {{{"button1", 0}, {"button2", 0}}, {kChanged, kButton}},
        // An axis differs in its top byte only: all four bytes are compared.
        {{{"x", 2 + 0x01000000}}, {kChanged, kAxis}},
        {{{"pov0", 0x0000FFFF}}, {kChanged, kPov}},
        // A button with no object of its own counts for nothing, even next
        // to a catalogued one: buttons are compared byte by byte.
        {{{"button13", 0x80}, {"button14", 0x80}}, {}},
        {{{"z", 77}}, {}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.parts.front().first);
        Move(0, c.parts);
        ExpectQuiet();
        std::vector<ReceivedMessage> received = Received();
        EXPECT_EQ(Names(received), c.expected);
        ExpectOneState(received);
    }
}

TEST_F(PassTest, OfTwoObjectsOfOneNameTheLaterIsComparedInTheEarliersPlace) {
    PutDevice(false, {{"Twin", &GUID_XAxis, kX, DIDFT_ABSAXIS},
                      {"POV 0", &GUID_POV, offsetof(DIJOYSTATE2, rgdwPOV), DIDFT_POV},
                      {"Twin", nullptr, kButtons, DIDFT_PSHBUTTON},
                      // Would be read past the end of the state: left alone.
                      {"Edge", &GUID_Slider, 270, DIDFT_ABSAXIS},
                      {"Beyond", nullptr, 272, DIDFT_PSHBUTTON}});
    OpenSlot0();
    ASSERT_EQ(On(), 1);
    Move(0, {{"x", 1000}});
    ExpectQuiet();
    EXPECT_EQ(Names(Received()), (Kinds{kChanged, kPov})) << "the axis is not catalogued";
    Move(0, {{"pov0", 0}, {"button1", 0x80}});
    ExpectQuiet();
    EXPECT_EQ(Names(Received()), (Kinds{kChanged, kButton, kPov}));
    Poke(270, 1);
    Poke(271, 1);
    Move(0, {});
    ExpectQuiet();
    EXPECT_TRUE(Received().empty());
}

TEST_F(PassTest, SwitchingOnTwiceLeavesOneTimerAndSwitchingOffAnyDeviceKillsIt) {
    Open(true);
    PutWheel(1, false);
    ASSERT_EQ(OnMain([](CDIManager& m) { return m.CreateGameDevice(1); }), DI_OK);
    ASSERT_EQ(On(), 1);
    ASSERT_EQ(On(), 1);
    EXPECT_EQ(RunningTimers(), 1);
    Advance(20);
    EXPECT_EQ(Names(Received()), (Kinds{kChanged, kAxis, kPov})) << "one pass, not two";
    EXPECT_EQ(OnMain([](CDIManager& m) { return m.SetGameDeviceNotification(1, FALSE, nullptr); }),
              1);
    EXPECT_EQ(RunningTimers(), 0);
    Move(0, {{"x", 3}});
    Advance(100);
    EXPECT_TRUE(Received().empty());
    EXPECT_TRUE(Log().empty());
}

TEST_F(PassTest, TheNotificationWindowIsTheLastOneGivenOrTheMainWindow) {
    Open(true);
    HWND other = m_main.otherWindow();
    ASSERT_EQ(On(other), 1);
    Advance(20);
    std::vector<ReceivedMessage> received = Received();
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received[0].window, other);
    // An unregistered number answers no, but the window has become the main one.
    EXPECT_EQ(OnMain([](CDIManager& m) { return m.SetGameDeviceNotification(5, TRUE, nullptr); }),
              0);
    Move(0, {{"x", 9}});
    Advance(20);
    received = Received();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].window, window());
    DIJOYSTATE2 state;
    std::memset(&state, 0x77, sizeof state);
    EXPECT_EQ(OnMain([&](CDIManager& m) { return m.ReadGameDeviceState(5, &state); }), 1);
    for (std::size_t i = 0; i < sizeof state; ++i)
        ASSERT_EQ(reinterpret_cast<BYTE*>(&state)[i], 0) << i;
    EXPECT_EQ(OnMain([](CDIManager& m) { return m.FindGameDevice(5) == nullptr; }), 1);
    EXPECT_EQ(OnMain([](CDIManager& m) { return m.IsPolledDevice(0); }), 1);
}

TEST_F(PassTest, TheTimersResolutionIsTwoMillisecondsWithinWhatTheTimerOffers) {
    const struct {
        bool capsFail;
        UINT min, max;
        bool setFails;
        long result;
        const char* started; // period and resolution of the timer started, or null
    } kCases[] = {
        {false, 1, 1000000, false, 1, "20 2"}, {false, 5, 1000000, false, 1, "20 5"},
        {false, 1, 20, false, 1, "20 2"},      {false, 10, 20, false, 1, "20 10"},
        {false, 30, 20, false, 0, nullptr}, // the maximum wins: 20; but 20 ms is below the minimum
        {true, 1, 1000000, false, 0, nullptr}, {false, 1, 1000000, true, 0, nullptr},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::to_string(c.min) + ".." + std::to_string(c.max));
        std::FILE* transcript = std::tmpfile();
        {
            hosted::MachineLock lock = hosted::LockMachine();
            hosted::ResetInputDevices();
            hosted::Timers() = hosted::TimerSettings{c.capsFail, c.min, c.max, c.setFails};
        }
        hosted::OpenTranscript(transcript);
        m_pManager.reset(new CDIManager);
        Open(true);
        EXPECT_EQ(On(), c.result);
        EXPECT_EQ(RunningTimers(), c.started ? 1 : 0);
        EXPECT_TRUE(Log().empty()) << "timer failures are not logged";
        // The device stays acquired whether or not the timer runs.
        DIJOYSTATE2 state;
        EXPECT_EQ(OnMain([&](CDIManager& m) { return m.ReadGameDeviceState(0, &state); }), DI_OK);
        TearDownManager();
        hosted::OpenTranscript(nullptr);
        std::rewind(transcript);
        std::string text;
        char line[256];
        while (std::fgets(line, sizeof line, transcript))
            text += line;
        std::fclose(transcript);
        std::size_t start = text.find("timer start ");
        if (c.started) {
            ASSERT_NE(start, std::string::npos) << text;
            std::string line = text.substr(start, text.find('\n', start) - start);
            EXPECT_EQ(line.substr(line.size() - std::strlen(c.started)), c.started) << line;
        } else
            EXPECT_EQ(text.find("timer start"), std::string::npos) << text;
    }
}

TEST_F(PassTest, CreatingARegisteredNumberAgainReplacesItWithoutLeakOrSecondTimer) {
    Open(true);
    ASSERT_EQ(On(), 1);
    Advance(20);
    Received();
    long live = LiveObjects();
    ASSERT_EQ(OnMain([](CDIManager& m) { return m.CreateGameDevice(0); }), DI_OK);
    EXPECT_EQ(LiveObjects(), live) << "the old device is released";
    EXPECT_EQ(RunningTimers(), 0) << "the old device's notification is off";
    ASSERT_EQ(On(), 1);
    EXPECT_EQ(RunningTimers(), 1);
    Advance(20);
    EXPECT_EQ(Names(Received()), (Kinds{kChanged, kAxis, kPov}))
        << "a fresh device starts from zero";
    TearDownManager();
    EXPECT_EQ(LiveObjects(), 0);
}

// A pass on the timer's thread waits in SendMessageA for the main thread
// while the main thread starts the teardown: the teardown must take the
// pass's messages, and free the device only after the pass has ended.
TEST_F(PassTest, TheTeardownTakesTheMessagesOfARunningPassAndFreesTheDeviceAfterIt) {
    Open(true);
    ASSERT_EQ(On(), 1);
    std::size_t handles = OpenHandles();
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_main.Start([&] {
        WaitForSingleObject(go, INFINITE);
        m_pManager.reset();
    });
    ExpectQuiet();
    Advance(20); // the pass now waits for the busy main thread
    EXPECT_TRUE(Received().empty());
    SetEvent(go);
    ExpectQuiet();
    CloseHandle(go);
    std::vector<ReceivedMessage> received = Received();
    EXPECT_EQ(Names(received), (Kinds{kChanged, kAxis, kPov}));
    for (const ReceivedMessage& message : received) {
        EXPECT_EQ(message.threadId, m_main.threadId());
        // DirectInput, the keyboard and the game device at least; the
        // configuration may be gone, depending on which wait took the message.
        EXPECT_GE(message.liveObjects, 3) << message.name;
    }
    EXPECT_EQ(LiveObjects(), 0);
    EXPECT_EQ(RunningTimers(), 0);
    EXPECT_EQ(OpenHandles(), handles - 5);
}

TEST_F(PassTest, AChordGoesToTheMainWindowNotToTheNotificationWindow) {
    HWND main = window(), other = m_main.otherWindow();
    ASSERT_EQ(OnMain([&](CDIManager& m) {
                  return m.Init(GetModuleHandleA(nullptr), main, CDIManager::kInitKeyboard,
                                nullptr) &&
                         m.SetKeyboardNotification(TRUE, other);
              }),
              1);
    for (std::vector<BYTE> down : {std::vector<BYTE>{0x1D}, {0x1D, 0x1E}, {0x1D}, {}}) {
        hosted::MachineLock lock = hosted::LockMachine();
        std::fill(hosted::SystemKeyboard().state.begin(), hosted::SystemKeyboard().state.end(), 0);
        for (BYTE key : down)
            hosted::SystemKeyboard().state[key] = 0x80;
        hosted::InputDeviceChanged(hosted::SystemKeyboard());
        lock.unlock();
        ExpectQuiet();
    }
    std::vector<ReceivedMessage> received = Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].name, "KVDI_KEYSTROKE");
    EXPECT_EQ(received[0].text, "LCTL a");
    EXPECT_EQ(received[0].window, main);
    // Off: the keyboard's events stop.
    EXPECT_EQ(OnMain([](CDIManager& m) { return m.SetKeyboardNotification(FALSE, nullptr); }), 1);
    {
        hosted::MachineLock lock = hosted::LockMachine();
        hosted::SystemKeyboard().state[0x30] = 0x80;
        hosted::InputDeviceChanged(hosted::SystemKeyboard());
    }
    ExpectQuiet();
    EXPECT_TRUE(Received().empty());
}

// The same with the device created anew while its pass waits: the old
// record is freed only once the pass has let go of it.
TEST_F(PassTest, CreatingADeviceAnewTakesTheMessagesOfItsRunningPassFirst) {
    Open(true);
    ASSERT_EQ(On(), 1);
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HRESULT created = E_FAIL;
    m_main.Start([&] {
        WaitForSingleObject(go, INFINITE);
        created = m_pManager->CreateGameDevice(0);
    });
    ExpectQuiet();
    Advance(20);
    EXPECT_TRUE(Received().empty());
    SetEvent(go);
    ExpectQuiet();
    CloseHandle(go);
    EXPECT_EQ(created, DI_OK);
    std::vector<ReceivedMessage> received = Received();
    EXPECT_EQ(Names(received), (Kinds{kChanged, kAxis, kPov}));
    for (const ReceivedMessage& message : received)
        EXPECT_EQ(message.liveObjects, 4) << message.name;
    EXPECT_EQ(LiveObjects(), 4);
    EXPECT_EQ(RunningTimers(), 0);
}
