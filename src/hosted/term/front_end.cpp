#include "term/front_end.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <sstream>
#include <sys/time.h>

#include <curses.h>

#include "core/clock.h"
#include "core/format.h"
#include "core/machine.h"
#include "core/transcript.h"
#include "dinput/input_devices.h"
#include "sim/scenario.h"
#include "sim/session.h"
#include "sim/steps.h"
#include "sim/wheel_pose.h"
#include "term/draw.h"
#include "term/edit_keys.h"
#include "term/key_legend.h"
#include "term/terminal.h"

namespace hosted::term {
namespace {

constexpr unsigned kWheelSlot = 0;
constexpr std::int64_t kAxisStep = 4096;

// The front end's own state; only the drive's thread touches it.
struct FrontEnd {
    LiveSession* session = nullptr;
    WallClockPacer pacer;
    bool menuOpen = false;
    int menuSelected = 0;
    std::vector<MenuItemView> menu;
    bool autopilot = false;
    std::int64_t autopilotStart = 0, nextAutopilot = 0;
    std::string status; // why the last input was refused
    std::vector<Hit> hits, menuHits;
    Canvas shown{0, 0};
};

FrontEnd g_front;

void GiveBackTerminal() {
    if (g_front.session)
        g_front.session->Flush();
    CloseTerminal();
}

[[noreturn]] void EndRun(int code, const std::string& message) {
    GiveBackTerminal();
    FlushTranscript();
    if (!message.empty())
        std::fprintf(stderr, "briskarn: %s\n", message.c_str());
    std::fflush(stderr);
    std::_Exit(code);
}

void Do(const std::string& line) {
    std::string error;
    switch (g_front.session->Do(line, &error)) {
    case LiveSession::Outcome::Done:
        g_front.status.clear();
        break;
    case LiveSession::Outcome::Refused:
        g_front.status = error;
        break;
    case LiveSession::Outcome::Stuck:
        FailRun(0, error);
    }
}

std::int64_t VirtualTime() {
    MachineLock lock = LockMachine();
    return VirtualNow();
}

// The virtual clock brought up to the wall clock, every timer due on the way
// fired.
void CatchUp() {
    std::string error;
    std::int64_t target = g_front.pacer.VirtualAt(WallClockPacer::Clock::now());
    if (g_front.session->AdvanceTo(target, &error) == LiveSession::Outcome::Stuck)
        FailRun(0, error);
}

// How long the loop may sleep: until the next timer of the program or the
// autopilot's next move; -1 when nothing is due.
int SleepMs() {
    std::int64_t due;
    {
        MachineLock lock = LockMachine();
        due = NextDueTime();
    }
    if (g_front.autopilot)
        due = due < 0 ? g_front.nextAutopilot : std::min(due, g_front.nextAutopilot);
    if (due < 0)
        return -1;
    auto left = g_front.pacer.WallAt(due) - WallClockPacer::Clock::now();
    auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    return static_cast<int>(std::clamp<decltype(ms)>(ms, 0, 60000));
}

WheelPanelState PanelState() {
    WheelPanelState state;
    WheelPose pose;
    {
        MachineLock lock = LockMachine();
        std::shared_ptr<InputDevice> wheel = JoystickSlot(kWheelSlot);
        state.present = wheel && ReadWheelPose(kWheelSlot, &pose);
        if (wheel) {
            state.name = wheel->name;
            state.polled = wheel->polled;
        }
    }
    state.x = static_cast<DWORD>(pose.x);
    state.y = static_cast<DWORD>(pose.y);
    std::copy(pose.buttons, pose.buttons + kPoseButtons, state.buttons);
    state.hat = pose.hat;
    state.autopilot = g_front.autopilot;
    state.keys = KeyLegend();
    return state;
}

bool SameCanvas(const Canvas& a, const Canvas& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (!(a.At(x, y) == b.At(x, y)))
                return false;
    return true;
}

void Draw() {
    int width = 0, height = 0;
    TerminalSize(&width, &height);
    std::vector<WindowView> windows = VisibleWindows();
    int dialogWidth = 0, dialogHeight = 0;
    if (!windows.empty())
        WindowCells(windows.front(), &dialogWidth, &dialogHeight);
    int needWidth = std::max(kMinWidth, dialogWidth + 1 + kPanelWidth);
    int needHeight = std::max(kMinHeight, dialogHeight + 1);
    Canvas canvas(width, height);
    g_front.hits.clear();
    g_front.menuHits.clear();
    if (width < needWidth || height < needHeight) {
        std::string lines[] = {
            Format("BRISKARN needs a terminal of at least %d x %d;", needWidth, needHeight),
            Format("this one is %d x %d. Make it larger, or press Ctrl-C to quit.", width, height)};
        for (int i = 0; i < 2; ++i)
            canvas.Text(0, height / 2 - 1 + i, lines[i]);
    } else {
        DrawWindows(canvas, 0, 0, windows, &g_front.hits);
        if (g_front.menuOpen && !windows.empty()) {
            int left = 0, top = 0;
            WindowOrigin(0, 0, windows, windows.size() - 1, &left, &top);
            DrawSystemMenu(canvas, left, top, windows.back(), g_front.menu, g_front.menuSelected,
                           &g_front.menuHits);
        }
        DrawWheelPanel(canvas, dialogWidth + 1, 0, PanelState());
        canvas.Text(0, height - 1,
                    g_front.status.empty() ? StatusHint() : "Refused: " + g_front.status,
                    g_front.status.empty() ? kDim : kBold);
    }
    if (!SameCanvas(canvas, g_front.shown)) {
        ShowCanvas(canvas);
        g_front.shown = canvas;
    }
}

// Windows keeps a system menu's entries in step with the window: only what
// can be done now is offered. The terminal moves and sizes nothing.
bool MenuItemUsable(const MenuItemView& item, bool iconic) {
    if (item.separator)
        return false;
    switch (item.id) {
    case SC_RESTORE:
        return iconic;
    case SC_MINIMIZE:
        return !iconic;
    case 0xF000: // Size
    case 0xF010: // Move
    case 0xF030: // Maximize
        return false;
    default:
        return true;
    }
}

bool ActiveIconic() {
    WindowView active;
    return ActiveWindow(&active) && active.iconic;
}

void OpenMenu() {
    if (!SystemMenuItems(&g_front.menu))
        return;
    bool iconic = ActiveIconic();
    for (MenuItemView& item : g_front.menu)
        item.grayed = !item.separator && !MenuItemUsable(item, iconic);
    g_front.menuOpen = true;
    g_front.menuSelected = 0;
    while (g_front.menuSelected < static_cast<int>(g_front.menu.size()) &&
           !MenuItemUsable(g_front.menu[g_front.menuSelected], iconic))
        ++g_front.menuSelected;
}

void ChooseMenuItem(UINT id) {
    g_front.menuOpen = false;
    if (id == SC_MINIMIZE)
        Do("minimize");
    else if (id == SC_RESTORE)
        Do("restore");
    else
        Do(Format("syscommand 0x%X", id));
}

void MoveMenuSelection(int direction) {
    int count = static_cast<int>(g_front.menu.size());
    bool iconic = ActiveIconic();
    for (int step = 1; step <= count; ++step) {
        int index = ((g_front.menuSelected + direction * step) % count + count) % count;
        if (MenuItemUsable(g_front.menu[index], iconic)) {
            g_front.menuSelected = index;
            return;
        }
    }
}

void MenuKey(const InputEvent& event) {
    switch (event.code) {
    case KEY_UP:
        MoveMenuSelection(-1);
        break;
    case KEY_DOWN:
        MoveMenuSelection(+1);
        break;
    case '\r':
    case '\n':
    case KEY_ENTER:
    case ' ':
        if (g_front.menuSelected < static_cast<int>(g_front.menu.size()) &&
            MenuItemUsable(g_front.menu[g_front.menuSelected], ActiveIconic()))
            ChooseMenuItem(g_front.menu[g_front.menuSelected].id);
        break;
    case 27:
    case KEY_F(9):
        g_front.menuOpen = false;
        break;
    }
}

void SetAutopilot(bool on) {
    g_front.autopilot = on;
    g_front.autopilotStart = g_front.nextAutopilot = VirtualTime();
}

void AutopilotMoves() {
    if (!g_front.autopilot)
        return;
    std::int64_t now = VirtualTime();
    if (now < g_front.nextAutopilot)
        return;
    WheelPose pose;
    {
        MachineLock lock = LockMachine();
        if (!ReadWheelPose(kWheelSlot, &pose)) {
            g_front.autopilot = false;
            return;
        }
    }
    std::string line = WheelStepLine(kWheelSlot, pose, AutopilotPose(now - g_front.autopilotStart));
    if (!line.empty())
        Do(line);
    g_front.nextAutopilot = now + kAutopilotPeriodMs;
}

// The panel's keys: they move the simulated wheel and never reach a window.
bool WheelKey(const InputEvent& event) {
    bool button = event.alt && event.code >= '0' && event.code <= '9';
    if (!button && !(event.code >= KEY_F(2) && event.code <= KEY_F(8)))
        return false;
    if (event.code == KEY_F(2) && !event.alt) {
        SetAutopilot(!g_front.autopilot);
        return true;
    }
    WheelPose pose;
    {
        MachineLock lock = LockMachine();
        if (!ReadWheelPose(kWheelSlot, &pose)) {
            g_front.status = "no wheel in joystick slot 0";
            return true;
        }
    }
    // The hand on the wheel takes over from the autopilot.
    g_front.autopilot = false;
    WheelPose next = pose;
    static const DWORD kHat[] = {kHatCentred, 0, 9000, 18000, 27000};
    if (button) {
        int index = event.code == '0' ? 9 : event.code - '1';
        next.buttons[index] = !next.buttons[index];
    } else if (event.code == KEY_F(3) || event.code == KEY_F(4)) {
        next.x = std::clamp<std::int64_t>(
            next.x + (event.code == KEY_F(3) ? -kAxisStep : kAxisStep), 0, 65535);
    } else if (event.code == KEY_F(5) || event.code == KEY_F(6)) {
        next.y = std::clamp<std::int64_t>(
            next.y + (event.code == KEY_F(5) ? -kAxisStep : kAxisStep), 0, 65535);
    } else if (event.code == KEY_F(7)) {
        const DWORD* at = std::find(std::begin(kHat), std::end(kHat), pose.hat);
        next.hat = at == std::end(kHat) || at + 1 == std::end(kHat) ? kHat[0] : at[1];
    } else { // F8
        next = WheelPose{};
    }
    std::string line = WheelStepLine(kWheelSlot, pose, next);
    if (!line.empty())
        Do(line);
    return true;
}

void TypeInto(const ControlView& edit, int key) {
    std::string text, line;
    if (!TextAfterKey(edit.text, edit.selStart, edit.selEnd, key, &text))
        return;
    if (!TypeStepLine(edit.id, text, &line)) {
        g_front.status = "a scenario line cannot hold that text";
        return;
    }
    Do(line);
}

void WindowKey(const InputEvent& event) {
    WindowView active;
    if (!ActiveWindow(&active))
        return;
    if (event.code == KEY_F(12)) {
        Do(active.iconic ? "restore" : "minimize");
        return;
    }
    if (event.code == KEY_F(9) || (event.alt && event.code == ' ')) {
        OpenMenu();
        return;
    }
    if (active.iconic || event.alt)
        return;
    const ControlView* focus = nullptr;
    for (const ControlView& control : active.controls)
        if (control.focused)
            focus = &control;
    bool inEdit = focus && focus->kind == "edit" && focus->enabled;
    switch (event.code) {
    case '\t':
        Do("key tab");
        return;
    case KEY_BTAB:
        Do("key shift+tab");
        return;
    case '\r':
    case '\n':
    case KEY_ENTER:
        Do("key enter");
        return;
    case 27:
        Do("key escape");
        return;
    case KEY_UP:
        Do("key up");
        return;
    case KEY_DOWN:
        Do("key down");
        return;
    case KEY_BACKSPACE:
    case 127:
    case kBackspace:
        if (inEdit)
            TypeInto(*focus, kBackspace);
        return;
    }
    if (inEdit)
        TypeInto(*focus, event.code);
    else if (event.code == ' ')
        Do("key space");
}

const Hit* HitAt(const std::vector<Hit>& hits, int x, int y) {
    for (const Hit& hit : hits)
        if (x >= hit.left && x <= hit.right && y >= hit.top && y <= hit.bottom)
            return &hit;
    return nullptr;
}

void Click(int x, int y) {
    if (g_front.menuOpen) {
        const Hit* item = HitAt(g_front.menuHits, x, y);
        g_front.menuOpen = false;
        if (item)
            ChooseMenuItem(static_cast<UINT>(item->id));
        return;
    }
    const Hit* hit = HitAt(g_front.hits, x, y);
    if (!hit)
        return;
    switch (hit->kind) {
    case Hit::Control:
        Do(Format("click %d", hit->id));
        break;
    case Hit::SpinUp:
    case Hit::SpinDown:
        Do(Format("spin %d %s", hit->id, hit->kind == Hit::SpinUp ? "up" : "down"));
        break;
    case Hit::BoxButton:
        if (hit->id == IDOK || hit->id == IDCANCEL)
            Do(hit->id == IDOK ? "answer ok" : "answer cancel");
        break;
    case Hit::SystemMenuMark:
        OpenMenu();
        break;
    case Hit::MenuItem:
        break;
    }
}

void Handle(const InputEvent& event) {
    switch (event.kind) {
    case InputEvent::Signal:
        // A replay of this recording ends with the program still running,
        // which a scenario may not; the note says why.
        g_front.session->Note(
            Format("the session was ended by signal %d, BRISKARN still running", event.code));
        EndRun(128 + event.code, event.code == SIGINT ? "interrupted" : "ended by a signal");
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
        if (g_front.session->Do(line, &error) != LiveSession::Outcome::Done)
            EndRun(2, Format("machine line %d: %s", number, error.c_str()));
    }
    // The log's timestamps are the local time, which the clock then follows.
    Do("clock " + LocalTimeNow());
    std::vector<std::string> registry;
    {
        MachineLock lock = LockMachine();
        registry = RegistrySetUpLines();
    }
    g_front.session->Note("the settings this session found");
    for (const std::string& value : registry)
        Do(value);
}

} // namespace

void RunFrontEnd(const std::string& machine, std::FILE* recording) {
    LiveSession session(recording);
    g_front.session = &session;
    session.Note("A session of the hosted BRISKARN; briskarn --scenario FILE replays it.");
    SetRunFailureHook(GiveBackTerminal);
    std::string error;
    if (!OpenTerminal(&error))
        EndRun(2, error);
    int width = 0, height = 0;
    TerminalSize(&width, &height);
    if (width < kMinWidth || height < kMinHeight)
        EndRun(1, Format("the terminal is %d x %d; BRISKARN needs at least %d x %d", width, height,
                         kMinWidth, kMinHeight));
    SetUp(machine);
    Do("start");
    g_front.pacer.Start(VirtualTime());
    while (ProgramRunning()) {
        Draw();
        std::vector<InputEvent> events = WaitForInput(SleepMs());
        CatchUp();
        for (const InputEvent& event : events) {
            Handle(event);
            if (!ProgramRunning())
                break;
        }
        if (ProgramRunning())
            AutopilotMoves();
    }
    GiveBackTerminal();
    SetRunFailureHook(nullptr);
    g_front.session = nullptr;
}

} // namespace hosted::term
