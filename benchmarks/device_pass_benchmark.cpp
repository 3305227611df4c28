// The cost of one change-detection pass over a wheel with two axes, twelve
// buttons and a hat, on the simulated machine, with the messages going to a
// window that returns at once; and proof that a pass allocates nothing.
#include <string>

#include <benchmark/benchmark.h>

#include <windows.h>
#include <dinput.h>

#include "core/machine.h"
#include "counting_allocator.h"
#include "dinput/input_devices.h"
#include "input/di_manager.h"
#include "sim/game_devices.h"

namespace {

INT_PTR CALLBACK ReturnAtOnce(HWND, UINT, WPARAM, LPARAM) {
    return TRUE;
}

void RunPasses(benchmark::State& state, bool moveAxis) {
    std::shared_ptr<hosted::InputDevice> wheel;
    {
        hosted::MachineLock lock = hosted::LockMachine();
        wheel = hosted::MakeWheel(0, "Wheel", true, 12, 1);
        hosted::SetJoystickSlot(0, wheel);
    }
    HWND window = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(100), nullptr,
                                     ReturnAtOnce, 0);
    long passes = 0;
    {
        CDIManager manager;
        if (!manager.Init(GetModuleHandleA(nullptr), window, CDIManager::kInitJoyConfig, nullptr) ||
            manager.CreateGameDevice(0) != DI_OK) {
            state.SkipWithError("no game device");
            return;
        }
        // The first pass sees everything as changed; the next ones bring the
        // simulated machine's own per-thread records into being.
        LONG x = 0;
        for (int i = 0; i < 4; ++i) {
            hosted::MachineLock lock = hosted::LockMachine();
            hosted::SetWheelValue(*wheel, "x", x ^= 1);
            lock.unlock();
            manager.CheckDeviceChanges();
        }
        // The worker thread allocates as it starts; let it settle first.
        std::string report;
        hosted::WaitUntilQuiet(&report);
        long before = AllocationCount();
        for (auto _ : state) {
            if (moveAxis) {
                hosted::MachineLock lock = hosted::LockMachine();
                hosted::SetWheelValue(*wheel, "x", x ^= 1);
            }
            manager.CheckDeviceChanges();
            ++passes;
        }
        long allocations = AllocationCount() - before;
        state.counters["allocations"] = static_cast<double>(allocations);
        if (allocations != 0)
            state.SkipWithError("a pass allocated");
    }
    DestroyWindow(window);
    state.SetItemsProcessed(passes);
}

void BM_PassNothingChanged(benchmark::State& state) {
    RunPasses(state, false);
}
BENCHMARK(BM_PassNothingChanged);

void BM_PassOneAxisChanged(benchmark::State& state) {
    RunPasses(state, true);
}
BENCHMARK(BM_PassOneAxisChanged);

} // namespace

BENCHMARK_MAIN();
