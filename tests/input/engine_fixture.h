// What the engine's hosted tests share: a log in a directory of its own,
// the stand-in main thread, a manager built and torn down on that thread,
// and the simulated machine's wheels.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/machine.h"
#include "dinput/com_object.h"
#include "dinput/failures.h"
#include "dinput/input_devices.h"
#include "engine_harness.h"
#include "input/di_manager.h"
#include "kernel/failures.h"
#include "kernel/objects.h"
#include "log_prefix.h"
#include "sim/game_devices.h"
#include "temp_dir.h"
#include "winmm/timer_settings.h"

class EngineTest : public ::testing::Test {
  protected:
    EngineTest() : m_cwd(m_dir.path()) {
        hosted::MachineLock lock = hosted::LockMachine();
        hosted::ResetInputDevices();
        hosted::ClearKernelFailures();
        hosted::Timers() = hosted::TimerSettings();
    }
    ~EngineTest() override { TearDownManager(); }

    CDIManager& manager() { return *m_pManager; }
    HWND window() const { return m_main.window(); }

    // Runs on the main thread, returns the operation's result.
    template <class F> long OnMain(F operation) {
        long result = 0;
        m_main.Run([&] { result = static_cast<long>(operation(*m_pManager)); });
        return result;
    }
    void TearDownManager() {
        if (m_pManager)
            m_main.Run([&] { m_pManager.reset(); });
    }
    // The manager set up with the system keyboard and told to send its keys.
    bool ListenToKeyboard() {
        HWND main = window();
        return OnMain([&](CDIManager& m) {
            return m.Init(GetModuleHandleA(nullptr), main, CDIManager::kInitKeyboard, nullptr) &&
                   m.SetKeyboardNotification(TRUE, nullptr);
        });
    }
    std::vector<std::string> Log() const { return LogEntries(m_dir.File("Briskarn.log")); }
    std::vector<ReceivedMessage> Received() { return m_main.Take(); }

    static void PutWheel(unsigned slot, bool polled, unsigned buttons = 12, unsigned povs = 1) {
        hosted::MachineLock lock = hosted::LockMachine();
        hosted::SetJoystickSlot(slot, hosted::MakeWheel(slot, "Wheel", polled, buttons, povs));
    }
    // Sets parts of the wheel's state and tells whoever waits on it.
    static void Move(unsigned slot,
                     const std::vector<std::pair<std::string, std::int64_t>>& parts) {
        hosted::MachineLock lock = hosted::LockMachine();
        std::shared_ptr<hosted::InputDevice> wheel = hosted::JoystickSlot(slot);
        for (const auto& part : parts)
            EXPECT_TRUE(hosted::SetWheelValue(*wheel, part.first, part.second)) << part.first;
        hosted::InputDeviceChanged(*wheel);
    }
    static void Fail(const char* method, int device, unsigned call, HRESULT code) {
        hosted::MachineLock lock = hosted::LockMachine();
        std::string error;
        EXPECT_TRUE(hosted::InjectInputFailure(method, device, call, code, &error)) << error;
    }
    static void ClearFailures() {
        hosted::MachineLock lock = hosted::LockMachine();
        hosted::ClearInputFailures();
        hosted::ClearKernelFailures();
    }
    static void FailKernel(const char* function, unsigned call, DWORD lastError) {
        hosted::MachineLock lock = hosted::LockMachine();
        std::string error;
        EXPECT_TRUE(hosted::InjectKernelFailure(function, call, lastError, &error)) << error;
    }
    // A key of the system keyboard pressed and released, each change let
    // run until the machine is quiet.
    static void TapKey(BYTE scanCode) {
        for (BYTE down : {0x80, 0x00}) {
            hosted::MachineLock lock = hosted::LockMachine();
            hosted::SystemKeyboard().state[scanCode] = down;
            hosted::InputDeviceChanged(hosted::SystemKeyboard());
            lock.unlock();
            ExpectQuiet();
        }
    }
    static long LiveObjects() {
        hosted::MachineLock lock = hosted::LockMachine();
        return hosted::LiveInputObjects();
    }
    static std::size_t OpenHandles() {
        hosted::MachineLock lock = hosted::LockMachine();
        return hosted::OpenHandleCount();
    }
    static int RunningTimers() {
        hosted::MachineLock lock = hosted::LockMachine();
        return hosted::RunningTimers();
    }

    TempDir m_dir;
    CurrentDirectory m_cwd;
    CMainThread m_main;
    std::unique_ptr<CDIManager> m_pManager{new CDIManager};
};
