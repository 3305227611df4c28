// The scenario runner under Wine: BRISKARN.EXE started for real, the
// scenario's steps carried out with window messages and through the bench,
// and what a real Windows lets one see written to the transcript.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <windows.h>

#include "bench_memory.h"

struct Step {
    int line = 0;
    std::vector<std::string> words;
    std::string rest; // the line after its first two words
};

struct Run {
    std::string program;    // BRISKARN.EXE, its path
    std::string screenshot; // where each snapshot also saves the window, if anywhere
    FILE* transcript = nullptr;
    bench::Memory* memory = nullptr;
    PROCESS_INFORMATION process{};
    bool started = false;
    bool ended = false;
    DWORD driverSeen = 0;
    long logSeen = 0;
    std::string logPending;
    struct Shown {
        HWND window;
        std::string caption;
    };
    std::vector<Shown> shown;
    std::map<std::string, std::string> registryBefore;
};

// Writes one transcript line.
void Line(Run& run, const std::string& text);

// Carries out one step; false with the reason when it cannot be done, and
// *refused when only the simulated machine can do it.
bool CarryOut(Run& run, const Step& step, std::string* error, bool* refused);

// Takes in what changed: windows, log, driver, the program's end.
void Collect(Run& run);
// Waits until the program is idle and nothing more arrives; false after
// the generous bound.
bool Settle(Run& run, std::string* error);

// The program's visible top-level windows, topmost first.
std::vector<HWND> ProgramWindows(const Run& run);
// The window the user works in: the topmost enabled one; null without one.
HWND ActiveWindow(const Run& run);
bool IsMessageBox(HWND window);
std::string TextOf(HWND window);

// The --latency mode: both wheels measured, a line each on standard output
// and in the transcript; `reset` gives the bench its fresh state.
int RunLatency(Run& run, int changes, void (*reset)(Run&));

// The values under the program's registry key, PATH NAME -> VALUE as the
// transcript writes them.
std::map<std::string, std::string> ReadRegistry();
void ClearRegistry();
