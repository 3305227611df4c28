// The simulated machine's DirectInput and multimedia timers as the program
// meets them: result codes for calls out of turn, states, notification,
// injected failures, COM references and timers on the virtual clock.
#include <atomic>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>
#include <dinput.h>
#include <dinputd.h>
#include <mmsystem.h>

#include "core/machine.h"
#include "core/transcript.h"
#include "dinput/com_object.h"
#include "dinput/failures.h"
#include "dinput/input_devices.h"
#include "sim/game_devices.h"
#include "sim/message_watch.h"
#include "winmm/timer_settings.h"

namespace {

HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

HWND SomeWindow() {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(0x1234)); // only checked for null
}

class HostedDirectInput : public ::testing::Test {
  protected:
    void SetUp() override {
        hosted::MachineLock lock;
        hosted::ResetInputDevices();
        hosted::SetJoystickSlot(0, hosted::MakeWheel(0, "Polled", true, 12, 1));
        hosted::SetJoystickSlot(2, hosted::MakeWheel(2, "Interrupt", false, 2, 0));
    }
    void TearDown() override { EXPECT_EQ(hosted::LiveInputObjects(), 0); }

    static GUID SlotGuid(unsigned slot) {
        hosted::MachineLock lock;
        return hosted::JoystickSlot(slot)->instance;
    }
};

TEST_F(HostedDirectInput, DevicesAnswerCallsOutOfTurnAsDirectInputDoes) {
    LPDIRECTINPUTA input = nullptr;
    EXPECT_EQ(DirectInputCreateA(Instance(), 0x0800, &input, nullptr), DIERR_OLDDIRECTINPUTVERSION);
    EXPECT_EQ(DirectInputCreateA(nullptr, 0x0500, &input, nullptr), DIERR_INVALIDPARAM);
    ASSERT_EQ(DirectInputCreateA(Instance(), 0x0500, &input, nullptr), DI_OK);

    LPDIRECTINPUTDEVICEA keyboard = nullptr;
    EXPECT_EQ(input->CreateDevice(GUID_XAxis, &keyboard, nullptr), DIERR_DEVICENOTREG);
    ASSERT_EQ(input->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr), DI_OK);
    BYTE keys[256];
    EXPECT_EQ(keyboard->Acquire(), DIERR_INVALIDPARAM); // no data format yet
    EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIJoystick2), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DI_OK);
    EXPECT_EQ(keyboard->SetCooperativeLevel(SomeWindow(), DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE),
              DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetCooperativeLevel(SomeWindow(), DISCL_NONEXCLUSIVE | DISCL_BACKGROUND),
              DI_OK);
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DIERR_NOTACQUIRED);
    EXPECT_EQ(keyboard->Unacquire(), S_FALSE);
    EXPECT_EQ(keyboard->Acquire(), DI_OK);
    EXPECT_EQ(keyboard->Acquire(), S_FALSE);
    EXPECT_EQ(keyboard->GetDeviceState(255, keys), DIERR_INVALIDPARAM);
    {
        hosted::MachineLock lock;
        hosted::SystemKeyboard().state[0x1E] = 0x80;
    }
    ASSERT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DI_OK);
    EXPECT_EQ(keys[0x1E], 0x80);
    EXPECT_EQ(keys[0x1F], 0);
    EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DIERR_ACQUIRED);
    EXPECT_EQ(keyboard->SetEventNotification(nullptr), DIERR_ACQUIRED);
    EXPECT_EQ(keyboard->Release(), 0u);
    EXPECT_EQ(input->Release(), 0u);
}

TEST_F(HostedDirectInput, AGameDeviceReportsItsObjectsAndOnlyAnInterruptDrivenOneSignals) {
    LPDIRECTINPUTA input = nullptr;
    ASSERT_EQ(DirectInputCreateA(Instance(), 0x0500, &input, nullptr), DI_OK);
    HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    for (unsigned slot : {0u, 2u}) {
        bool polled = slot == 0;
        LPDIRECTINPUTDEVICEA first = nullptr;
        ASSERT_EQ(input->CreateDevice(SlotGuid(slot), &first, nullptr), DI_OK);
        LPDIRECTINPUTDEVICE2A device = nullptr;
        ASSERT_EQ(
            first->QueryInterface(IID_IDirectInputDevice2A, reinterpret_cast<void**>(&device)),
            S_OK);
        EXPECT_EQ(first->Release(), 1u);

        DIDEVCAPS caps{};
        EXPECT_EQ(device->GetCapabilities(&caps), DIERR_INVALIDPARAM); // dwSize unset
        caps.dwSize = sizeof caps;
        ASSERT_EQ(device->GetCapabilities(&caps), DI_OK);
        EXPECT_EQ((caps.dwFlags & DIDC_POLLEDDEVICE) != 0, polled);
        EXPECT_EQ(caps.dwButtons, polled ? 12u : 2u);
        EXPECT_EQ(caps.dwPOVs, polled ? 1u : 0u);

        std::vector<std::string> names;
        auto collect = [](LPCDIDEVICEOBJECTINSTANCEA object, LPVOID names) -> BOOL {
            static_cast<std::vector<std::string>*>(names)->push_back(
                std::string(object->tszName) + "@" + std::to_string(object->dwOfs));
            return DIENUM_CONTINUE;
        };
        ASSERT_EQ(device->EnumObjects(collect, &names, DIDFT_ALL), DI_OK);
        ASSERT_GE(names.size(), 4u);
        EXPECT_EQ(names[0], "X Axis@0");
        EXPECT_EQ(names[1], "Y Axis@4");
        EXPECT_EQ(names[2], "Button 0@48");
        if (polled) {
            EXPECT_EQ(names.back(), "POV 0@32");
        }

        ASSERT_EQ(device->SetDataFormat(&c_dfDIJoystick2), DI_OK);
        ASSERT_EQ(device->SetCooperativeLevel(SomeWindow(), DISCL_EXCLUSIVE | DISCL_BACKGROUND),
                  DI_OK);
        ASSERT_EQ(device->SetEventNotification(event), DI_OK);
        EXPECT_EQ(device->Poll(), DIERR_NOTACQUIRED);
        ASSERT_EQ(device->Acquire(), DI_OK);
        EXPECT_EQ(device->Poll(), polled ? DI_OK : S_FALSE);
        DIJOYSTATE2 state;
        ASSERT_EQ(device->GetDeviceState(sizeof state, &state), DI_OK);
        EXPECT_EQ(state.lX, 32767);
        EXPECT_EQ(state.rgdwPOV[0], 0xFFFFFFFFu);
        {
            hosted::MachineLock lock;
            std::shared_ptr<hosted::InputDevice> wheel = hosted::JoystickSlot(slot);
            hosted::SetWheelValue(*wheel, "button2", 0x80);
            hosted::InputDeviceChanged(*wheel);
        }
        EXPECT_EQ(WaitForSingleObject(event, 0), polled ? WAIT_TIMEOUT : WAIT_OBJECT_0);
        ASSERT_EQ(device->GetDeviceState(sizeof state, &state), DI_OK);
        EXPECT_EQ(state.rgbButtons[1], 0x80);
        EXPECT_EQ(device->Unacquire(), DI_OK);
        {
            hosted::MachineLock lock;
            hosted::InputDeviceChanged(*hosted::JoystickSlot(slot));
        }
        EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT); // unacquired: not told
        EXPECT_EQ(device->Release(), 0u);
    }
    CloseHandle(event);
    EXPECT_EQ(input->Release(), 0u);
}

TEST_F(HostedDirectInput, JoystickConfigurationAndInjectedFailures) {
    LPDIRECTINPUTA input = nullptr;
    ASSERT_EQ(DirectInputCreateA(Instance(), 0x0500, &input, nullptr), DI_OK);
    IDirectInputJoyConfig* config = nullptr;
    ASSERT_EQ(input->QueryInterface(IID_IDirectInputJoyConfig, reinterpret_cast<void**>(&config)),
              S_OK);
    DIJOYCONFIG_DX5 slot{};
    auto get = [&](UINT n) {
        slot = DIJOYCONFIG_DX5{};
        slot.dwSize = sizeof slot;
        return config->GetConfig(n, reinterpret_cast<LPDIJOYCONFIG>(&slot),
                                 DIJC_GUIDINSTANCE | DIJC_REGHWCONFIGTYPE);
    };
    EXPECT_EQ(get(1), DIERR_NOMOREITEMS);
    ASSERT_EQ(get(0), DI_OK);
    EXPECT_TRUE(IsEqualGUID(slot.guidInstance, SlotGuid(0)));
    EXPECT_EQ(slot.wszType[0], u'P');
    {
        hosted::MachineLock lock;
        hosted::SetJoystickSlotResult(0, 3);
        hosted::SetJoystickSlotResult(2, DIERR_INPUTLOST);
        std::string error;
        EXPECT_TRUE(
            hosted::InjectInputFailure("IDirectInputJoyConfig::GetConfig", 5, 2, E_FAIL, &error));
        EXPECT_TRUE(hosted::InjectInputFailure("IDirectInputDeviceA::Acquire", 2, 0,
                                               DIERR_OTHERAPPHASPRIO, &error));
        // A rule that could never fail a call is refused.
        const struct {
            const char* method;
            int device;
        } kRefused[] = {{"IDirectInputDevice2A::GetDeviceStat", -1},
                        {"IDirectInputDeviceA::Acquire", 5}, // slot 5 is empty
                        {"IDirectInputA::QueryInterface", 0}};
        for (const auto& r : kRefused)
            EXPECT_FALSE(hosted::InjectInputFailure(r.method, r.device, 0, E_FAIL, &error))
                << r.method;
    }
    EXPECT_EQ(get(0), 3); // a success code still reports the slot
    EXPECT_TRUE(IsEqualGUID(slot.guidInstance, SlotGuid(0)));
    EXPECT_EQ(get(2), DIERR_INPUTLOST);
    EXPECT_EQ(get(5), DIERR_NOMOREITEMS);
    EXPECT_EQ(get(5), E_FAIL); // the second call of slot 5 only
    EXPECT_EQ(get(5), DIERR_NOMOREITEMS);

    // A game device's calls count under both its interface names.
    for (unsigned n : {0u, 2u}) {
        LPDIRECTINPUTDEVICEA device = nullptr;
        ASSERT_EQ(input->CreateDevice(SlotGuid(n), &device, nullptr), DI_OK);
        ASSERT_EQ(device->SetDataFormat(&c_dfDIJoystick2), DI_OK);
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(device->Acquire(), n == 2 ? DIERR_OTHERAPPHASPRIO : (i ? S_FALSE : DI_OK));
        device->Release();
    }
    EXPECT_EQ(config->Release(), 0u);
    EXPECT_EQ(input->Release(), 0u);
}

TEST(HostedDirectInputDeathTest, ACallMissingFromTheInjectableMethodsEndsTheProcess) {
    EXPECT_DEATH(
        {
            hosted::MachineLock lock;
            hosted::InjectedResult("IDirectInputDevice2A", "GetDeviceStat", 0);
        },
        "GetDeviceStat is missing");
}

std::atomic<int> g_ticks{0};
std::vector<DWORD> g_tickTimes;

void CALLBACK Tick(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    g_tickTimes.push_back(GetTickCount() - static_cast<DWORD>(user));
    ++g_ticks;
}

TEST(HostedTimers, PeriodicTimersFollowTheVirtualClockUntilKilled) {
    g_ticks = 0;
    g_tickTimes.clear();
    {
        hosted::MachineLock lock;
        hosted::Timers() = hosted::TimerSettings{};
    }
    TIMECAPS caps;
    ASSERT_EQ(timeGetDevCaps(&caps, sizeof caps), TIMERR_NOERROR);
    EXPECT_EQ(caps.wPeriodMin, 1u);
    EXPECT_EQ(timeBeginPeriod(2), TIMERR_NOERROR);

    DWORD start = GetTickCount();
    UINT id = timeSetEvent(20, 2, Tick, start, TIME_PERIODIC);
    ASSERT_NE(id, 0u);
    std::string report;
    ASSERT_TRUE(hosted::AdvanceVirtualClock(100, &report)) << report;
    EXPECT_EQ(g_tickTimes, (std::vector<DWORD>{20, 40, 60, 80, 100}));
    EXPECT_EQ(timeKillEvent(id), TIMERR_NOERROR);
    EXPECT_EQ(timeKillEvent(id), 11u); // no longer a timer
    ASSERT_TRUE(hosted::AdvanceVirtualClock(100, &report)) << report;
    EXPECT_EQ(g_ticks, 5);
    {
        hosted::MachineLock lock;
        EXPECT_EQ(hosted::RunningTimers(), 0);
        hosted::Timers().periodMin = 5;
        hosted::Timers().periodMax = 10;
    }
    EXPECT_EQ(timeBeginPeriod(2), TIMERR_NOCANDO);
    EXPECT_EQ(timeSetEvent(20, 5, Tick, 0, TIME_PERIODIC), 0u); // longer than the longest period
    {
        hosted::MachineLock lock;
        hosted::Timers() = hosted::TimerSettings{};
        hosted::Timers().capsFail = true;
        hosted::Timers().setFails = true;
    }
    EXPECT_NE(timeGetDevCaps(&caps, sizeof caps), TIMERR_NOERROR);
    EXPECT_EQ(timeSetEvent(20, 2, Tick, 0, TIME_PERIODIC), 0u);
}

} // namespace

namespace {

TEST(HostedTranscript, TheInputEnginesMessagesAreTranscribedAsTheyAreSent) {
    std::FILE* out = std::tmpfile();
    hosted::OpenTranscript(out);
    hosted::WatchProgramMessages();
    UINT axis = RegisterWindowMessageA("KVDI_DEVICEAXISCHANGED");
    UINT key = RegisterWindowMessageA("KVDI_KEYSTROKE");
    UINT other = RegisterWindowMessageA("SomeoneElsesMessage");
    HWND window =
        CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(100), nullptr, nullptr, 0);
    ASSERT_NE(window, nullptr);
    BYTE record[276] = {7, 0, 0, 0};
    char chord[] = "LCTL a";
    SendMessageA(window, axis, 0, reinterpret_cast<LPARAM>(record));
    SendMessageA(window, key, 0, reinterpret_cast<LPARAM>(chord));
    SendMessageA(window, other, 0, reinterpret_cast<LPARAM>(record));
    PostMessageA(window, axis, 0, reinterpret_cast<LPARAM>(record)); // not sent: not shown
    DestroyWindow(window);
    hosted::OpenTranscript(nullptr);

    std::rewind(out);
    std::string text;
    for (int c; (c = std::fgetc(out)) != EOF;)
        text += static_cast<char>(c);
    std::fclose(out);
    std::string time = text.substr(0, text.find(' ') + 1);
    EXPECT_EQ(text, time + "message KVDI_DEVICEAXISCHANGED 7\n" + time +
                        "message KVDI_KEYSTROKE \"LCTL a\"\n");
}

} // namespace
