// --latency N: how fast the real program forwards under Wine. For an
// interrupt-driven and then a polled wheel: the program's CPU while
// forwarding is on and the wheel rests, and while the wheel changes 50
// times a second; then N changes at random moments, each timed from the
// change in the DirectInput double to the report's arrival at the driver
// double (both stamped with the performance counter).
#include <algorithm>
#include <cstring>

#include "runner.h"

namespace {

void Must(Run& run, const std::string& line) {
    Step step;
    std::string word, error;
    for (std::size_t i = 0; i <= line.size(); ++i) {
        if (i == line.size() || line[i] == ' ') {
            if (!word.empty())
                step.words.push_back(word);
            word.clear();
        } else {
            word += line[i];
        }
    }
    bool refused = false;
    if (!CarryOut(run, step, &error, &refused) || (run.started && !Settle(run, &error))) {
        std::fprintf(stderr, "latency: '%s': %s\n", line.c_str(), error.c_str());
        ExitProcess(2);
    }
}

double ProcessSeconds(HANDLE process) {
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user))
        return 0;
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               1e7;
    };
    return seconds(kernel) + seconds(user);
}

// One change of the wheel's X axis, straight into the bench; its time.
LONGLONG Change(Run& run, LONG x) {
    LONGLONG at;
    {
        bench::Lock lock;
        bench::Slot& slot = run.memory->slots[0];
        std::memcpy(slot.state, &x, sizeof x); // lX leads DIJOYSTATE2
        ++slot.version;
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        slot.changed = at = now.QuadPart;
    }
    static HANDLE changed = CreateEventA(nullptr, FALSE, FALSE, bench::kChangedEventName);
    SetEvent(changed);
    return at;
}

// The arrival of the first report after `since`, or 0 when none came
// within two seconds.
LONGLONG NextReport(Run& run, DWORD from, LONGLONG since) {
    static HANDLE recorded = CreateEventA(nullptr, FALSE, FALSE, bench::kRecordedEventName);
    DWORD start = GetTickCount();
    for (DWORD waited = 0; waited < 2000; waited = GetTickCount() - start) {
        {
            bench::Lock lock;
            for (DWORD i = from; i < run.memory->driverEventCount; ++i) {
                const bench::DriverEvent& event =
                    run.memory->driverEvents[i % bench::kDriverEvents];
                if (event.kind == bench::kReport && event.ticks >= since)
                    return event.ticks;
            }
        }
        WaitForSingleObject(recorded, recorded ? 2000 - waited : 1);
    }
    return 0;
}

double CpuPercent(Run& run, bool moving, DWORD ms) {
    double before = ProcessSeconds(run.process.hProcess);
    DWORD start = GetTickCount();
    // Values of its own: the timed changes that follow must each move the
    // wheel, the first one too, or it could have nothing to report.
    LONG x = 0;
    while (GetTickCount() - start < ms) {
        if (moving)
            Change(run, x = x == 2000 ? 50000 : 2000);
        Sleep(20);
    }
    double wall = (GetTickCount() - start) / 1000.0;
    return std::max(0.0, 100.0 * (ProcessSeconds(run.process.hProcess) - before) / wall);
}

void Measure(Run& run, const char* mode, int changes) {
    Must(run, "driver present gamemax=2048");
    Must(run, std::string("slot 0 wheel ") + mode);
    Must(run, "start");
    Must(run, "click 1020");
    double idle = CpuPercent(run, false, 5000);
    double forwarding = CpuPercent(run, true, 5000);
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> latencies;
    unsigned seed = 12345;
    int lost = 0;
    for (int i = 0; i < changes; ++i) {
        DWORD from;
        {
            bench::Lock lock;
            from = run.memory->driverEventCount;
        }
        LONGLONG at = Change(run, i % 2 ? 60000 : 1000);
        LONGLONG arrived = NextReport(run, from, at);
        if (arrived)
            latencies.push_back(1000.0 * static_cast<double>(arrived - at) /
                                static_cast<double>(frequency.QuadPart));
        else
            ++lost;
        // A random moment for the next: a polled wheel's wait is spread
        // over its pass.
        seed = seed * 1103515245u + 12345u;
        Sleep(3 + (seed >> 16) % 23);
    }
    Must(run, "click 1020");
    Must(run, "click 1");
    std::sort(latencies.begin(), latencies.end());
    auto at = [&](double share) {
        return latencies.empty()
                   ? 0.0
                   : latencies[std::min(latencies.size() - 1,
                                        static_cast<std::size_t>(share * latencies.size()))];
    };
    char line[256];
    std::snprintf(line, sizeof line,
                  "%-9s changes %d lost %d  p50 %.3f ms  p99 %.3f ms  max %.3f ms  "
                  "CPU idle %.1f%%  forwarding 50/s %.1f%%",
                  mode, changes, lost, at(0.5), at(0.99),
                  latencies.empty() ? 0.0 : latencies.back(), idle, forwarding);
    std::printf("%s\n", line);
    std::fflush(stdout);
    Line(run, line);
    if (WaitForSingleObject(run.process.hProcess, 30000) != WAIT_OBJECT_0)
        TerminateProcess(run.process.hProcess, 3);
    CloseHandle(run.process.hProcess);
    CloseHandle(run.process.hThread);
}

} // namespace

int RunLatency(Run& run, int changes, void (*reset)(Run&)) {
    for (const char* mode : {"interrupt", "polled"}) {
        reset(run);
        run.started = run.ended = false;
        run.shown.clear();
        run.logSeen = 0;
        run.logPending.clear();
        DeleteFileA("Briskarn.log");
        Measure(run, mode, changes);
    }
    return 0;
}
