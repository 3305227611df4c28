// The hosted program's main(): reads the scenario, runs its steps on a
// runner thread and the program's WinMain on the main thread, as Windows
// runs a program on its first thread.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cctype>
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
#include "sim/registry_file.h"
#include "sim/scenario.h"
#include "sim/steps.h"
#include "core/transcript.h"

namespace hosted {
namespace {

const char kDemoScenario[] = R"(# The built-in demo: BRISKARN starts with its driver present and a
# polled wheel in joystick slot 0, forwarding is switched on, the wheel is
# steered and a button pressed, and the window is closed with "Close".
driver present gamemax=2048 rate=50
slot 0 wheel polled buttons=10 povs=1
start
click 1020
advance 20ms
wheel 0 x=16384 y=49151 button2=down
advance 20ms
wheel 0 x=65535 button2=up
advance 20ms
snapshot
click 1020
click 1
)";

enum class ProgramState { NotStarted, Running, Ended };

struct Run {
    ProgramState program = ProgramState::NotStarted;
    bool scenarioDone = false;
};

Run g_run;

} // namespace

std::vector<Step> ParseScenario(const std::string& text) {
    std::vector<Step> steps;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::size_t hash = line.find('#');
        // Blanks as the words are split on, so that no word starts a comment
        // that the line does not.
        while (hash != std::string::npos && hash > 0 &&
               !std::isspace(static_cast<unsigned char>(line[hash - 1])))
            hash = line.find('#', hash + 1);
        if (hash != std::string::npos)
            line.erase(hash);
        Step step;
        step.line = number;
        std::istringstream words(line);
        std::string word;
        while (words >> word)
            step.words.push_back(word);
        if (step.words.empty())
            continue;
        // Free text: whatever follows the second word, blanks kept.
        std::size_t first = line.find(step.words[0]) + step.words[0].size();
        if (step.words.size() > 1) {
            std::size_t second = line.find(step.words[1], first) + step.words[1].size();
            std::size_t begin = line.find_first_not_of(" \t", second);
            std::size_t end = line.find_last_not_of(" \t\r");
            if (begin != std::string::npos && end != std::string::npos && end >= begin)
                step.rest = line.substr(begin, end - begin + 1);
        }
        steps.push_back(step);
    }
    return steps;
}

namespace {

[[noreturn]] void Fail(int line, const std::string& reason) {
    FlushTranscript();
    if (int error = TranscriptWriteError())
        std::fprintf(stderr, "briskarn: cannot write the transcript: %s\n", std::strerror(error));
    if (line > 0)
        std::fprintf(stderr, "scenario line %d: %s\n", line, reason.c_str());
    else
        std::fprintf(stderr, "scenario: %s\n", reason.c_str());
    std::fflush(stderr);
    std::_Exit(2);
}

void RunSteps(const std::vector<Step>& steps, int lastLine) {
    for (const Step& step : steps) {
        const StepKind* kind = FindStepKind(step.words[0]);
        if (!kind)
            Fail(step.line, "unknown step '" + step.words[0] + "'");
        std::string error;
        if (!kind->handler(step, &error) || !SettleMachine(&error))
            Fail(step.line, error);
    }
    MachineLock lock = LockMachine();
    if (g_run.program == ProgramState::Running)
        Fail(lastLine + 1, "the scenario ended while BRISKARN is still running");
    g_run.scenarioDone = true;
}

// A scenario is a page or two of steps; more than this is not one.
const std::size_t kMaxScenarioBytes = 16u << 20;

// False with the reason when the scenario is not a regular file that can be
// read whole, so a directory, a device or a pipe is not taken for no steps.
bool ReadScenarioFile(const char* path, std::string* text, std::string* reason) {
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

std::FILE* OpenTranscriptFile(const char* path) {
    int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    std::FILE* file = fd < 0 ? nullptr : ::fdopen(fd, "w");
    if (fd >= 0 && !file)
        ::close(fd);
    return file;
}

int Usage() {
    std::fprintf(stderr, "usage: briskarn [--scenario FILE] [--transcript OUT]\n"
                         "Without --scenario it runs the built-in demo scenario.\n");
    return 2;
}

} // namespace

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

int RunHostedProgram(int argc, char** argv, WinMainFunction winMain) {
    const char* scenarioPath = nullptr;
    const char* transcriptPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--scenario") == 0 && i + 1 < argc)
            scenarioPath = argv[++i];
        else if (std::strcmp(argv[i], "--transcript") == 0 && i + 1 < argc)
            transcriptPath = argv[++i];
        else
            return Usage();
    }
    std::string text = kDemoScenario;
    std::string reason;
    if (scenarioPath && !ReadScenarioFile(scenarioPath, &text, &reason)) {
        std::fprintf(stderr, "briskarn: cannot read scenario %s: %s\n", scenarioPath,
                     reason.c_str());
        return 2;
    }
    std::FILE* transcript = stdout;
    // Not through fopen: the program's C runtime refuses devices, and a
    // transcript may well go to one.
    if (transcriptPath && (transcript = OpenTranscriptFile(transcriptPath)) == nullptr) {
        std::fprintf(stderr, "briskarn: cannot write transcript %s\n", transcriptPath);
        return 2;
    }
    OpenTranscript(transcript);
    TranscribeFileWrites(kProgramLogName);
    WatchProgramMessages();
    InstallDriverDevice();
    if (!scenarioPath) { // as on Windows, settings outlive the run; scenarios start afresh
        MachineLock lock = LockMachine();
        UseRegistryFile("briskarn-registry.txt");
    }

    std::vector<Step> steps = ParseScenario(text);
    int lastLine = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    {
        MachineLock lock = LockMachine();
        EnterProgram("main");
    }
    std::thread runner(RunSteps, std::cref(steps), lastLine);
    bool start;
    {
        MachineLock lock = LockMachine();
        std::function<bool()> startOrDone = [] {
            return g_run.program == ProgramState::Running || g_run.scenarioDone;
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
    return 0;
}

} // namespace hosted
