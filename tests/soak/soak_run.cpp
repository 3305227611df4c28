// A long run of the demo machine with forwarding on and the autopilot
// steering, on the virtual clock, so that a day passes in minutes: it shows
// whether memory, handles or the log grow with time. It prints the figures
// at the start, every simulated hour and at the end.
//
//   soak_run [--hours N]     (default 24)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>

#include <windows.h>

#include "core/machine.h"
#include "framework/app.h"
#include "kernel/objects.h"
#include "resources/resource.h"
#include "sim/demo.h"
#include "sim/runner.h"
#include "sim/session.h"
#include "sim/wheel_pose.h"

namespace {

[[noreturn]] void Fail(const std::string& why) {
    std::fprintf(stderr, "soak_run: %s\n", why.c_str());
    std::_Exit(2);
}

void Check(hosted::StepOutcome outcome, const std::string& what, const std::string& error) {
    if (outcome != hosted::StepOutcome::Done)
        Fail(what + ": " + error);
}

void Do(hosted::LiveSession& session, const std::string& line) {
    std::string error;
    Check(session.Do(line, &error), line, error);
}

// A field of /proc/self/status in kB, e.g. VmRSS (resident now) or VmHWM
// (the peak resident size).
long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    std::size_t length = std::strlen(field);
    while (std::getline(status, line))
        if (line.compare(0, length, field) == 0 && line[length] == ':')
            return std::strtol(line.c_str() + length + 1, nullptr, 10);
    return -1;
}

long long FileSize(const char* path) {
    struct stat info;
    return ::stat(path, &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}

void Report(const char* when) {
    std::size_t handles;
    {
        hosted::MachineLock lock = hosted::LockMachine();
        handles = hosted::OpenHandleCount();
    }
    std::printf("%-8s resident %6ld kB  peak %6ld kB  open handles %3zu  Briskarn.log %lld bytes\n",
                when, StatusKb("VmRSS"), StatusKb("VmHWM"), handles, FileSize("Briskarn.log"));
    std::fflush(stdout);
}

void Soak(int hours) {
    hosted::LiveSession session;
    std::istringstream machine(hosted::kDemoMachine);
    for (std::string line; std::getline(machine, line);)
        if (!line.empty() && line[0] != '#')
            Do(session, line);
    Do(session, "start");
    Do(session, "click " + std::to_string(IDC_ENABLE));
    Report("start");
    hosted::WheelPose pose;
    const std::int64_t hourMs = 3600 * 1000;
    for (std::int64_t ms = 0; ms < hours * hourMs;) {
        hosted::WheelPose next = hosted::AutopilotPose(ms);
        std::string line = hosted::WheelStepLine(0, pose, next);
        if (!line.empty())
            Do(session, line);
        pose = next;
        ms += hosted::kAutopilotPeriodMs;
        std::string error;
        Check(session.AdvanceTo(ms, &error), "advance", error);
        if (ms % hourMs == 0)
            Report(("hour " + std::to_string(ms / hourMs)).c_str());
    }
    Do(session, "click " + std::to_string(IDOK));
    Report("end");
}

} // namespace

int main(int argc, char** argv) {
    int hours = 24;
    if (argc == 3 && std::strcmp(argv[1], "--hours") == 0)
        hours = std::atoi(argv[2]);
    else if (argc != 1)
        Fail("usage: soak_run [--hours N]");
    if (hours <= 0)
        Fail("--hours takes a whole number above 0");
    hosted::RunSettings settings;
    return hosted::RunProgram(settings, &AfxWinMain, [&] { Soak(hours); });
}
