// The cost of the main dialog handling one change of the wheel (the copy,
// ten check boxes, the report exchanged with the driver, five fields), sent
// from another thread as the input engine sends it, on the simulated
// machine; and proof that handling it allocates nothing.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>

#include <windows.h>

#include "core/machine.h"
#include "counting_allocator.h"
#include "dinput/input_devices.h"
#include "framework/app.h"
#include "input/device_messages.h"
#include "sim/driver_device.h"
#include "sim/game_devices.h"
#include "user/screen.h"

namespace {

// The whole program, as the system starts it, on a program thread of its own.
DWORD WINAPI RunProgram(LPVOID) {
    char commandLine[] = "";
    return static_cast<DWORD>(
        AfxWinMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWNORMAL));
}

struct Program {
    std::filesystem::path dir, previousDir;
    HANDLE thread = nullptr;
    HWND dialog = nullptr;
    std::string error;
};

Program& TheProgram() {
    static Program program;
    return program;
}

// Started once for all the benchmarks: the program's statics hold one run.
bool StartProgram() {
    Program& program = TheProgram();
    if (program.dialog || !program.error.empty())
        return program.dialog != nullptr;
    // The log goes to the current directory; keep it out of the caller's.
    program.previousDir = std::filesystem::current_path();
    char pattern[] = "/tmp/briskarn-bench-XXXXXX";
    if (!mkdtemp(pattern)) {
        program.error = "cannot create a temporary directory";
        return false;
    }
    program.dir = pattern;
    std::filesystem::current_path(program.dir);
    {
        hosted::MachineLock lock = hosted::LockMachine();
        hosted::InstallDriverDevice();
        hosted::Driver().present = true;
        // A wheel in slot 0, so that the set-up picks a device and stays quiet.
        hosted::SetJoystickSlot(0, hosted::MakeWheel(0, "Wheel", true, 12, 1));
    }
    program.thread = CreateThread(nullptr, 0, RunProgram, nullptr, 0, nullptr);
    std::string report;
    if (!hosted::WaitUntilQuiet(&report)) {
        program.error = report;
        return false;
    }
    hosted::WindowView view;
    if (!hosted::ActiveWindow(&view) || view.messageBox) {
        program.error = "the main dialog is not open";
        return false;
    }
    program.dialog = view.handle;
    return true;
}

void StopProgram() {
    Program& program = TheProgram();
    if (program.dialog) {
        SendMessageA(program.dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        WaitForSingleObject(program.thread, INFINITE);
        CloseHandle(program.thread);
    }
    if (!program.dir.empty()) {
        std::filesystem::current_path(program.previousDir);
        std::error_code ignored;
        std::filesystem::remove_all(program.dir, ignored);
    }
}

std::uint64_t ReportsReceived() {
    hosted::MachineLock lock = hosted::LockMachine();
    return hosted::DriverReportCount();
}

void SendChanges(benchmark::State& state, const char* name) {
    if (!StartProgram()) {
        state.SkipWithError(TheProgram().error.c_str());
        return;
    }
    HWND dialog = TheProgram().dialog;
    UINT message = RegisterWindowMessageA(name);

    // Wheel states spread over the axes and the ten check boxes' buttons,
    // so that every box and field changes from one message to the next.
    static DeviceStateMessage records[256];
    for (int i = 0; i < 256; ++i) {
        std::memset(&records[i], 0, sizeof records[i]);
        records[i].State.lX = i * 257;
        records[i].State.lY = 65535 - i * 257;
        records[i].State.rgdwPOV[0] = records[i].State.rgdwPOV[1] = 0xFFFFFFFF;
        records[i].State.rgdwPOV[2] = records[i].State.rgdwPOV[3] = 0xFFFFFFFF;
        for (int b = 0; b < 10; ++b)
            records[i].State.rgbButtons[b] = ((i + b) & 1) ? 0x80 : 0;
    }

    // The first sends bring the sending thread's own records into being.
    std::uint64_t reportsBefore = ReportsReceived();
    for (int i = 0; i < 4; ++i)
        SendMessageA(dialog, message, 0, reinterpret_cast<LPARAM>(&records[i]));
    // A message the dialog did not handle would time nothing.
    if (ReportsReceived() != reportsBefore + 4) {
        state.SkipWithError("the dialog sent no report to the driver");
        return;
    }

    unsigned i = 0;
    long before = AllocationCount();
    for (auto _ : state) {
        LRESULT result =
            SendMessageA(dialog, message, 0, reinterpret_cast<LPARAM>(&records[i++ & 255]));
        benchmark::DoNotOptimize(result);
    }
    long allocations = AllocationCount() - before;

    state.SetItemsProcessed(state.iterations());
    state.counters["allocations"] = static_cast<double>(allocations);
    state.counters["allocations_per_message"] =
        benchmark::Counter(static_cast<double>(allocations), benchmark::Counter::kAvgIterations);
    if (allocations != 0)
        state.SkipWithError("handling a message allocated");
}

void BM_AxisChanged(benchmark::State& state) {
    SendChanges(state, "KVDI_DEVICEAXISCHANGED");
}
// The sender waits for another thread, so its own CPU time says little.
BENCHMARK(BM_AxisChanged)->UseRealTime();

void BM_ButtonChanged(benchmark::State& state) {
    SendChanges(state, "KVDI_DEVICEBUTTONCHANGED");
}
BENCHMARK(BM_ButtonChanged)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    StopProgram();
    return 0;
}
