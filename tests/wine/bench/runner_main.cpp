// scenario_runner PROGRAM SCENARIO TRANSCRIPT: carries out a scenario of the
// simulated machine's format against the real BRISKARN.EXE under Wine, from
// the current folder (where the program writes its log). Exit 0 when every
// step was carried out, 2 with the line and the reason when one could not
// be, or is one only the simulated machine can do.
//
// scenario_runner --latency N PROGRAM TRANSCRIPT: the forwarding figures
// instead (runner_latency.cpp). --screenshot PNG first: every snapshot also
// saves the window as the screen shows it there.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "runner.h"
#include "testbed/step_words.h"

namespace {

std::vector<Step> ReadSteps(const char* path, bool* readable) {
    std::vector<Step> steps;
    std::ifstream file(path);
    *readable = file.good();
    std::string line;
    int number = 0;
    while (std::getline(file, line)) {
        ++number;
        Step step;
        step.line = number;
        if (SplitStepLine(line, &step.words, &step.rest))
            steps.push_back(step);
    }
    return steps;
}

[[noreturn]] void Fail(Run& run, int line, const std::string& reason) {
    if (run.started && !run.ended)
        TerminateProcess(run.process.hProcess, 3);
    if (line > 0)
        std::fprintf(stderr, "scenario line %d: %s\n", line, reason.c_str());
    else
        std::fprintf(stderr, "scenario: %s\n", reason.c_str());
    std::fflush(stderr);
    if (run.transcript)
        std::fclose(run.transcript);
    ExitProcess(2);
}

void ResetBench(Run& run) {
    bench::Lock lock;
    bench::Memory& m = *run.memory;
    DWORD events = m.driverEventCount;
    std::memset(&m, 0, offsetof(bench::Memory, driverEventCount));
    m.magic = bench::kMagic;
    m.driverPresent = 1;
    m.openError = 2;
    m.gameMax = 2048;
    // The record runs on: a program of an earlier run may still be ending.
    run.driverSeen = events;
}

} // namespace

int main(int argc, char** argv) {
    Run run;
    if (argc > 2 && std::strcmp(argv[1], "--screenshot") == 0) {
        run.screenshot = argv[2];
        argc -= 2;
        argv += 2;
    }
    bool latency = argc == 5 && std::strcmp(argv[1], "--latency") == 0;
    if (argc != 4 && !latency) {
        std::fprintf(stderr,
                     "usage: scenario_runner [--screenshot PNG] PROGRAM SCENARIO TRANSCRIPT\n"
                     "       scenario_runner --latency N PROGRAM TRANSCRIPT\n");
        return 2;
    }
    if (latency) {
        run.program = argv[3];
        run.memory = bench::OpenMemory();
        run.transcript = std::fopen(argv[4], "w");
        if (!run.memory || !run.transcript)
            Fail(run, 0, "cannot open the test bench or the transcript");
        ClearRegistry();
        int status = RunLatency(run, std::atoi(argv[2]), ResetBench);
        std::fclose(run.transcript);
        return status;
    }
    run.program = argv[1];
    bool readable = false;
    std::vector<Step> steps = ReadSteps(argv[2], &readable);
    if (!readable)
        Fail(run, 0, std::string("cannot read ") + argv[2]);
    run.memory = bench::OpenMemory();
    if (!run.memory)
        Fail(run, 0, "cannot open the test bench");
    run.transcript = std::fopen(argv[3], "w");
    if (!run.transcript)
        Fail(run, 0, std::string("cannot write ") + argv[3]);
    ResetBench(run);
    ClearRegistry();
    DeleteFileA("Briskarn.log");

    int lastLine = 0;
    for (const Step& step : steps) {
        std::string error;
        bool refused = false;
        if (!CarryOut(run, step, &error, &refused))
            Fail(run, step.line, error);
        if (run.started && !Settle(run, &error))
            Fail(run, step.line, error);
        lastLine = step.line;
    }
    if (run.started && !run.ended) {
        // What ends the program (the last click) may still be at work.
        if (WaitForSingleObject(run.process.hProcess, 30000) != WAIT_OBJECT_0)
            Fail(run, lastLine + 1, "the scenario ended while BRISKARN is still running");
        std::string error;
        Settle(run, &error);
    }
    std::fclose(run.transcript);
    return 0;
}
