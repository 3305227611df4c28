// How long a change of the wheel takes to reach the driver in real time,
// as in an interactive run: the virtual clock follows the wall clock, the
// program's threads run as they will. For an interrupt-driven wheel the
// change wakes the input engine at once; a polled one waits for the next
// 20 ms pass, so the changes come at random moments between passes.
//
//   realtime_latency [--changes N]            both wheels, each in a process of its own
//   realtime_latency interrupt|polled [--changes N]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <windows.h>

#include "core/clock.h"
#include "core/machine.h"
#include "dinput/input_devices.h"
#include "framework/app.h"
#include "sim/driver_device.h"
#include "sim/game_devices.h"
#include "sim/runner.h"
#include "sim/session.h"
#include "sim/steps.h"

namespace {

using Clock = std::chrono::steady_clock;

// Written by the driver's observer, machine lock held.
std::uint64_t g_arrivals = 0;
Clock::time_point g_arrival;

void OnReport(const hosted::DriverReport&) {
    ++g_arrivals;
    g_arrival = Clock::now();
}

[[noreturn]] void Fail(const std::string& why) {
    std::fprintf(stderr, "realtime_latency: %s\n", why.c_str());
    std::_Exit(2);
}

void Do(hosted::LiveSession& session, const std::string& line) {
    std::string error;
    if (session.Do(line, &error) != hosted::StepOutcome::Done)
        Fail(line + ": " + error);
}

// Sleeps until `until` while keeping the virtual clock up with the wall
// clock, waking for every timer of the program on the way; returns early
// once `stop` holds.
template <typename Stop>
void Pace(hosted::LiveSession& session, const hosted::WallClockPacer& pacer,
          Clock::time_point until, Stop stop) {
    while (!stop()) {
        std::this_thread::sleep_until(std::min(until, pacer.NextDue()));
        std::string error;
        if (session.CatchUp(pacer, &error) != hosted::StepOutcome::Done)
            Fail(error);
        if (Clock::now() >= until)
            return;
    }
}

struct Result {
    std::vector<double> latenciesMs;
};

void Measure(bool polled, int changes, Result* result) {
    hosted::LiveSession session;
    Do(session, "driver present gamemax=2048 rate=50");
    Do(session, std::string("slot 0 wheel ") + (polled ? "polled" : "interrupt"));
    Do(session, "start");
    Do(session, "click 1020"); // Enable: forwarding on
    hosted::WallClockPacer pacer;
    {
        hosted::MachineLock lock = hosted::LockMachine();
        pacer.Start(hosted::VirtualNow());
        hosted::SetDriverReportObserver(OnReport);
    }
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> gapUs(0, 20000);
    auto arrived = [](std::uint64_t before) {
        return [before] {
            hosted::MachineLock lock = hosted::LockMachine();
            return g_arrivals > before;
        };
    };
    for (int i = 0; i < changes; ++i) {
        // A moment anywhere in the polling period.
        Pace(session, pacer, Clock::now() + std::chrono::microseconds(gapUs(random)),
             [] { return false; });
        std::uint64_t before;
        Clock::time_point changed;
        {
            hosted::MachineLock lock = hosted::LockMachine();
            before = g_arrivals;
            std::shared_ptr<hosted::InputDevice> wheel = hosted::JoystickSlot(0);
            hosted::SetWheelValue(*wheel, "x", i % 2 ? 20000 : 45000);
            changed = Clock::now();
            hosted::InputDeviceChanged(*wheel);
        }
        if (polled) {
            Pace(session, pacer, Clock::now() + std::chrono::seconds(1), arrived(before));
        } else {
            std::string error;
            if (!hosted::SettleMachine(&error))
                Fail(error);
        }
        hosted::MachineLock lock = hosted::LockMachine();
        if (g_arrivals <= before)
            Fail("change " + std::to_string(i) + " never reached the driver");
        result->latenciesMs.push_back(
            std::chrono::duration<double, std::milli>(g_arrival - changed).count());
    }
    Do(session, "click 1");
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    std::size_t index = static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[index];
}

int RunMode(bool polled, int changes) {
    char pattern[] = "/tmp/briskarn-latency-XXXXXX";
    if (!mkdtemp(pattern) || chdir(pattern) != 0)
        Fail("cannot make a working directory");
    Result result;
    hosted::RunSettings settings;
    int code =
        hosted::RunProgram(settings, &AfxWinMain, [&] { Measure(polled, changes, &result); });
    if (code != 0)
        return code;
    std::printf("%-17s %6zu changes  p50 %8.3f ms  p99 %8.3f ms  max %8.3f ms\n",
                polled ? "polled:" : "interrupt-driven:", result.latenciesMs.size(),
                Percentile(result.latenciesMs, 0.50), Percentile(result.latenciesMs, 0.99),
                Percentile(result.latenciesMs, 1.0));
    std::fflush(stdout);
    std::string cleanup = std::string("rm -rf '") + pattern + "'";
    return std::system(cleanup.c_str()) == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    int changes = 10000;
    const char* mode = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--changes") == 0 && i + 1 < argc)
            changes = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "interrupt") == 0 || std::strcmp(argv[i], "polled") == 0)
            mode = argv[i];
        else
            Fail("usage: realtime_latency [interrupt|polled] [--changes N]");
    }
    if (mode)
        return RunMode(std::strcmp(mode, "polled") == 0, changes);
    // The program's statics hold one run, so each wheel gets a process.
    int worst = 0;
    for (const char* each : {"interrupt", "polled"}) {
        pid_t child = fork();
        if (child == 0) {
            std::string count = std::to_string(changes);
            execl("/proc/self/exe", argv[0], each, "--changes", count.c_str(),
                  static_cast<char*>(nullptr));
            std::_Exit(127);
        }
        int status = 0;
        if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
            worst = 2;
        else
            worst = std::max(worst, WEXITSTATUS(status));
    }
    return worst;
}
