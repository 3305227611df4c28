// Runs the program's WinMain on the main thread, as Windows runs a program
// on its first thread, while a drive (a scenario's steps, or a person at the
// terminal) acts on the machine from a runner thread of its own.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "kernel/files.h"
#include "kernel/objects.h"
#include "core/clock.h"
#include "sim/driver_device.h"
#include "sim/message_watch.h"
#include "sim/program_module.h"
#include "core/machine.h"
#include "sim/runner.h"
#include "sim/steps.h"
#include "core/transcript.h"
#include "testbed/step_words.h"

namespace hosted {
namespace {

enum class ProgramState { NotStarted, Running, Ended };

struct Run {
    ProgramState program = ProgramState::NotStarted;
    bool driveDone = false;
    // A step that came after the program had ended: the run fails once the
    // program's static objects are gone, as they go at its end.
    int lineAfterEnd = 0;
};

Run g_run;

const char* const kProgramEnded = "BRISKARN has ended";

} // namespace

std::vector<Step> ParseScenario(const std::string& text) {
    std::vector<Step> steps;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        Step step;
        step.line = number;
        if (SplitStepLine(line, &step.words, &step.rest))
            steps.push_back(step);
    }
    return steps;
}

namespace {

// A scenario is a page or two of steps; more than this is not one.
const std::size_t kMaxScenarioBytes = 16u << 20;

} // namespace

bool ReadScenario(const char* path, std::string* text, std::string* reason) {
    int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat info;
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        *reason = std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    bool ok = S_ISREG(info.st_mode);
    if (!ok)
        *reason = "not a regular file";
    text->clear();
    char buffer[65536];
    while (ok) {
        ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            *reason = std::strerror(errno);
            ok = false;
        } else if (got == 0) {
            break;
        } else if (text->size() + static_cast<std::size_t>(got) > kMaxScenarioBytes) {
            *reason = "larger than 16 MiB";
            ok = false;
        } else {
            text->append(buffer, static_cast<std::size_t>(got));
        }
    }
    ::close(fd);
    return ok;
}

std::FILE* CreateOutputFile(const char* path) {
    int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    std::FILE* file = fd < 0 ? nullptr : ::fdopen(fd, "w");
    if (fd >= 0 && !file)
        ::close(fd);
    return file;
}

bool RequestProgramStart(std::string* error) {
    MachineLock lock = LockMachine();
    if (g_run.program != ProgramState::NotStarted) {
        *error = "BRISKARN has already been started";
        return false;
    }
    SetTranscriptStart(VirtualNow());
    g_run.program = ProgramState::Running;
    return true;
}

bool SettleMachine(std::string* error) {
    return WaitUntilQuiet(error);
}

bool ProgramRunning() {
    MachineLock lock = LockMachine();
    return g_run.program == ProgramState::Running;
}

bool ProgramEnded() {
    MachineLock lock = LockMachine();
    return g_run.program == ProgramState::Ended;
}

StepOutcome CarryOutStep(const Step& step, std::string* error) {
    if (ProgramEnded()) {
        *error = kProgramEnded;
        return StepOutcome::Refused;
    }
    const StepKind* kind = FindStepKind(step.words[0]);
    if (!kind) {
        *error = "unknown step '" + step.words[0] + "'";
        return StepOutcome::Refused;
    }
    if (!kind->handler(step, error))
        return StepOutcome::Refused;
    return SettleMachine(error) ? StepOutcome::Done : StepOutcome::Stuck;
}

void RunSteps(const std::vector<Step>& steps, int lastLine) {
    for (const Step& step : steps) {
        std::string error;
        if (RunEndedBySignal())
            FailRun(step.line, "a step after the signal that ended the run");
        if (ProgramEnded()) {
            MachineLock lock = LockMachine();
            g_run.lineAfterEnd = step.line;
            return;
        }
        if (CarryOutStep(step, &error) != StepOutcome::Done)
            FailRun(step.line, error);
    }
    if (RunEndedBySignal())
        EndRun(0, "");
    if (ProgramRunning())
        FailRun(lastLine + 1, "the scenario ended while BRISKARN is still running");
}

int RunProgram(const RunSettings& settings, WinMainFunction winMain,
               const std::function<void()>& drive) {
    OpenTranscript(settings.transcript);
    TranscribeFileWrites(kProgramLogName);
    WatchProgramMessages();
    InstallDriverDevice();
    {
        MachineLock lock = LockMachine();
        EnterProgram("main");
    }
    std::thread runner([&drive] {
        drive();
        MachineLock lock = LockMachine();
        g_run.driveDone = true;
    });
    bool start;
    {
        MachineLock lock = LockMachine();
        std::function<bool()> startOrDone = [] {
            return g_run.program == ProgramState::Running || g_run.driveDone;
        };
        BlockUntil(lock, startOrDone, -1, "the start step");
        start = g_run.program == ProgramState::Running;
    }
    if (start) {
        static char commandLine[] = "";
        winMain(GetModuleHandleA(nullptr), nullptr, commandLine, SW_SHOWDEFAULT);
        TranscriptExitAtProcessEnd();
    }
    {
        MachineLock lock = LockMachine();
        LeaveProgram();
        g_run.program = start ? ProgramState::Ended : g_run.program;
    }
    runner.join();
    FlushTranscript();
    if (int error = TranscriptWriteError()) {
        std::fprintf(stderr, "briskarn: cannot write the transcript: %s\n", std::strerror(error));
        return 2;
    }
    if (g_run.lineAfterEnd > 0) {
        std::fprintf(stderr, "scenario line %d: %s\n", g_run.lineAfterEnd, kProgramEnded);
        return 2;
    }
    return 0;
}

} // namespace hosted
