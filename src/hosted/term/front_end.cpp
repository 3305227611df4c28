#include "term/front_end.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <cstdlib>
#include <ctime>
#include <sstream>
#include <sys/time.h>

#include "core/clock.h"
#include "core/format.h"
#include "core/machine.h"
#include "core/transcript.h"
#include "sim/ending_signals.h"
#include "sim/run_end.h"
#include "sim/runner.h"
#include "sim/registry_file.h"
#include "sim/session.h"
#include "sim/user_messages.h"
#include "term/front_end_state.h"
#include "term/front_screen.h"
#include "term/system_menu.h"
#include "term/terminal.h"
#include "term/view_keys.h"
#include "term/wheel_input.h"
#include "term/window_input.h"

namespace hosted::term {

FrontEnd g_front;

namespace {

// A recording with a line missing would replay another run.
void CheckRecording() {
    if (int error = g_front.session->RecordingError())
        EndRun(2, std::string("briskarn: cannot write the recording: ") + std::strerror(error));
}

// Where the session was when a crash ended it, written by the crash's handler.
void RecordCrash(int signal) {
    if (g_front.session)
        g_front.session->RecordSignalInHandler(signal);
    ShowHeldUserMessagesInSignalHandler();
}

// The recording ends with the step that ends its replay the same way.
[[noreturn]] void EndBySignal(int signal) {
    const EndingSignal* ending = FindEndingSignal(signal);
    std::string name = ending ? ending->name : std::to_string(signal), error;
    if (ending)
        g_front.session->Do("signal " + name, &error);
    g_front.session->Flush();
    CheckRecording();
    EndRun(128 + signal,
           signal == SIGINT ? "briskarn: interrupted" : "briskarn: ended by signal " + name);
}

// A machine that does not become quiet ends the run; the recording keeps
// the step it did not become quiet after, so that its replay fails there too.
[[noreturn]] void FailStuck(const std::string& error) {
    g_front.session->Flush();
    FailRun(0, error);
}

} // namespace

void Do(const std::string& line) {
    std::string error;
    switch (g_front.session->Do(line, &error)) {
    case StepOutcome::Done:
        g_front.status.clear();
        break;
    case StepOutcome::Refused:
        g_front.status = error;
        break;
    case StepOutcome::Stuck:
        FailStuck(error);
    }
    CheckRecording();
}

std::int64_t VirtualTime() {
    MachineLock lock = LockMachine();
    return VirtualNow();
}

namespace {

// The virtual clock brought up to the wall clock, every timer due on the way
// fired.
void CatchUp() {
    std::string error;
    if (g_front.session->CatchUp(g_front.pacer, &error) == StepOutcome::Stuck)
        FailStuck(error);
}

// Until when the loop may sleep: the next timer of the program, the
// autopilot's next move or a change of the screen; without end when nothing
// is due.
WallClockPacer::Clock::time_point WakeTime() {
    WallClockPacer::Clock::time_point wake = g_front.pacer.NextDue();
    std::int64_t screenDue = 0;
    if (ScreenDueAt(&screenDue))
        wake = std::min(wake, g_front.pacer.WallAt(screenDue));
    return g_front.autopilot ? std::min(wake, g_front.pacer.WallAt(g_front.nextAutopilot)) : wake;
}

void Handle(const InputEvent& event) {
    if (ViewTakes(event))
        return;
    switch (event.kind) {
    case InputEvent::Signal:
        EndBySignal(event.code);
    case InputEvent::Resize:
        return;
    case InputEvent::Mouse:
        Click(event.x, event.y);
        return;
    case InputEvent::Key:
        if (WheelKey(event))
            return;
        if (g_front.menuOpen)
            MenuKey(event);
        else
            WindowKey(event);
        return;
    }
}

std::string LocalTimeNow() {
    struct timeval now;
    ::gettimeofday(&now, nullptr);
    struct tm local;
    ::localtime_r(&now.tv_sec, &local);
    return Format("%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(now.tv_usec / 1000));
}

void SetUp(const std::string& machine) {
    std::istringstream lines(machine);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (ParseScenario(line).empty())
            continue;
        std::string error;
        if (g_front.session->Do(line, &error) != StepOutcome::Done)
            FailRun(number, error);
        CheckRecording();
    }
    // The log's timestamps are the local time, which the clock then follows.
    Do("clock " + LocalTimeNow());
    std::vector<std::string> registry;
    {
        MachineLock lock = LockMachine();
        registry = KeptRegistryLines();
    }
    g_front.session->Note("the settings this session found");
    CheckRecording();
    for (const std::string& value : registry)
        Do(value);
}

} // namespace

void RunFrontEnd(const std::string& machine, std::FILE* recording) {
    LiveSession session(recording);
    g_front.session = &session;
    session.Note("A session of the hosted BRISKARN; briskarn --scenario FILE replays it.");
    CheckRecording();
    HoldUserMessages();
    SetRunEndHook(CloseTerminal);
    SetCrashHook(RecordCrash);
    std::string error;
    if (!OpenTerminal(&error))
        EndRun(2, "briskarn: " + error);
    int width = 0, height = 0;
    TerminalSize(&width, &height);
    if (width < kMinWidth || height < kMinHeight)
        EndRun(1, Format("briskarn: the terminal is %d x %d; BRISKARN needs at least %d x %d",
                         width, height, kMinWidth, kMinHeight));
    SetUp(machine);
    Do("start");
    g_front.pacer.Start(VirtualTime());
    while (ProgramRunning()) {
        Draw();
        std::vector<InputEvent> events = WaitForInput(WakeTime());
        CatchUp();
        for (const InputEvent& event : events) {
            Handle(event);
            if (!ProgramRunning())
                break;
        }
        if (ProgramRunning())
            AutopilotMoves();
    }
    session.Flush();
    CheckRecording();
    CloseTerminal();
    ShowHeldUserMessages();
    SetRunEndHook(nullptr);
    g_front.session = nullptr;
}

} // namespace hosted::term
