#include "term/command_line.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "core/machine.h"
#include "sim/demo.h"
#include "sim/registry_file.h"
#include "sim/run_end.h"
#include "term/front_end.h"
#include "term/front_screen.h"
#include "term/terminal.h"

namespace hosted::term {
namespace {

// The settings of an interactive run, kept between runs as Windows keeps
// them; scenarios start from a fresh registry.
const char kRegistryFile[] = "briskarn-registry.txt";
// The length of the demo without a terminal, in virtual seconds.
constexpr int kDemoSeconds = 3;

int Usage(const std::string& problem) {
    std::fprintf(stderr, "briskarn: %s\n", problem.c_str());
    std::fprintf(stderr,
                 "usage: briskarn [--machine FILE] [--record FILE] [--transcript OUT]\n"
                 "       briskarn --scenario FILE [--transcript OUT]\n"
                 "On a terminal it runs interactively on the demo machine (or FILE's);\n"
                 "without one it runs the demo for a few seconds and prints the transcript.\n");
    return 2;
}

// Whether the two paths name one file that exists, by any name.
bool SameFile(const char* a, const char* b) {
    struct stat first, second;
    if (!a || !b)
        return false;
    if (std::strcmp(a, b) == 0)
        return true;
    return ::stat(a, &first) == 0 && ::stat(b, &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

struct Options {
    const char* scenario = nullptr;
    const char* transcript = nullptr;
    const char* machine = nullptr;
    const char* record = nullptr;
};

// False with the problem when the command line is not one of the usages.
bool ParseOptions(int argc, char** argv, Options* options, std::string* problem) {
    for (int i = 1; i < argc; ++i) {
        const char** target = nullptr;
        if (std::strcmp(argv[i], "--scenario") == 0)
            target = &options->scenario;
        else if (std::strcmp(argv[i], "--transcript") == 0)
            target = &options->transcript;
        else if (std::strcmp(argv[i], "--machine") == 0)
            target = &options->machine;
        else if (std::strcmp(argv[i], "--record") == 0)
            target = &options->record;
        if (!target) {
            *problem = std::string("unknown option ") + argv[i];
            return false;
        }
        if (i + 1 >= argc) {
            *problem = std::string(argv[i]) + " needs a file";
            return false;
        }
        *target = argv[++i];
    }
    // A scenario is a whole run: it brings its own machine, and is a record.
    if (options->scenario && (options->machine || options->record)) {
        *problem = "--scenario takes neither --machine nor --record";
        return false;
    }
    // Writing the transcript or the recording over an input would lose it.
    for (const char* output : {options->transcript, options->record})
        for (const char* input : {options->scenario, options->machine})
            if (SameFile(output, input)) {
                *problem = std::string("will not write over ") + input;
                return false;
            }
    if (SameFile(options->transcript, options->record)) {
        *problem = "the transcript and the recording need files of their own";
        return false;
    }
    return true;
}

bool ReadInput(const char* what, const char* path, std::string* text) {
    std::string reason;
    if (ReadScenario(path, text, &reason))
        return true;
    std::fprintf(stderr, "briskarn: cannot read %s %s: %s\n", what, path, reason.c_str());
    return false;
}

// The machine's set-up, then the settings kept from earlier runs on top.
std::string WithKeptSettings(std::string machine) {
    if (!machine.empty() && machine.back() != '\n')
        machine += '\n';
    MachineLock lock = LockMachine();
    for (const std::string& line : KeptRegistryLines())
        machine += line + "\n";
    return machine;
}

} // namespace

int RunBriskarnCommand(int argc, char** argv, WinMainFunction winMain) {
    Options options;
    std::string problem;
    if (!ParseOptions(argc, argv, &options, &problem))
        return Usage(problem);
    std::string text = kDemoMachine;
    if (options.scenario && !ReadInput("scenario", options.scenario, &text))
        return 2;
    if (options.machine && !ReadInput("machine", options.machine, &text))
        return 2;
    std::string reason;
    if (!options.scenario && !CheckMachineText(text, &reason)) {
        std::fprintf(stderr, "briskarn: %s: %s\n", options.machine ? options.machine : "machine",
                     reason.c_str());
        return 2;
    }
    if (options.machine)
        NameMachineLines(options.machine,
                         static_cast<int>(std::count(text.begin(), text.end(), '\n') +
                                          (!text.empty() && text.back() != '\n')));
    bool onTerminal = ::isatty(STDIN_FILENO) && ::isatty(STDOUT_FILENO);
    bool interactive = !options.scenario && onTerminal && TerminalUsable();
    if (!options.scenario && onTerminal && !interactive) {
        const char* type = std::getenv("TERM");
        std::fprintf(stderr,
                     "briskarn: no window on a terminal of type %s; the demo runs without it\n",
                     type && *type ? type : "(none)");
    }

    RunSettings settings;
    settings.transcript = interactive && !options.transcript ? nullptr : stdout;
    if (options.transcript &&
        (settings.transcript = CreateOutputFile(options.transcript)) == nullptr) {
        std::fprintf(stderr, "briskarn: cannot write transcript %s\n", options.transcript);
        return 2;
    }
    std::FILE* recording = nullptr;
    if (options.record && (recording = CreateOutputFile(options.record)) == nullptr) {
        std::fprintf(stderr, "briskarn: cannot write recording %s\n", options.record);
        return 2;
    }
    if (!options.scenario) {
        MachineLock lock = LockMachine();
        UseRegistryFile(kRegistryFile);
    }

    int result;
    if (interactive) {
        NoteRunFiles(kRegistryFile, options.record ? options.record : "");
        result = RunProgram(settings, winMain, [&] { RunFrontEnd(text, recording); });
    } else {
        if (!options.scenario) {
            text = DemoScenario(WithKeptSettings(text), kDemoSeconds);
            if (recording && (std::fputs(text.c_str(), recording) < 0 || std::fflush(recording))) {
                std::fprintf(stderr, "briskarn: cannot write the recording: %s\n",
                             std::strerror(errno));
                return 2;
            }
        }
        std::vector<Step> steps = ParseScenario(text);
        int lastLine = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
        result = RunProgram(settings, winMain, [&] { RunSteps(steps, lastLine); });
    }
    if (recording && std::fclose(recording) != 0) {
        std::fprintf(stderr, "briskarn: cannot write recording %s\n", options.record);
        return 2;
    }
    return result;
}

} // namespace hosted::term
