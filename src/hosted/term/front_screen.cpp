// The screen of the interactive run, gathered from the simulated machine
// and the front end's state.
#include "term/front_screen.h"

#include <algorithm>
#include <deque>
#include <fstream>
#include <unistd.h>

#include "core/clock.h"
#include "core/machine.h"
#include "dinput/input_devices.h"
#include "sim/driver_device.h"
#include "sim/program_module.h"
#include "sim/wheel_pose.h"
#include "term/front_end_state.h"

namespace hosted::term {
namespace {

std::string InCurrentDirectory(const std::string& path) {
    if (path.empty() || path[0] == '/')
        return path;
    char directory[4096];
    return ::getcwd(directory, sizeof directory) ? std::string(directory) + "/" + path : path;
}

WheelPanelState WheelState() {
    WheelPanelState state;
    WheelPose pose;
    {
        MachineLock lock = LockMachine();
        std::shared_ptr<InputDevice> wheel = JoystickSlot(kWheelSlot);
        state.present = wheel && ReadWheelPose(kWheelSlot, &pose);
        if (wheel) {
            state.name = wheel->name;
            state.polled = wheel->polled;
            state.buttonCount = state.hatCount = 0;
            for (const InputObject& object : wheel->objects) {
                state.buttonCount += (object.type & DIDFT_BUTTON) ? 1 : 0;
                state.hatCount += (object.type & DIDFT_POV) ? 1 : 0;
            }
        }
    }
    state.x = static_cast<DWORD>(pose.x);
    state.y = static_cast<DWORD>(pose.y);
    std::copy(pose.buttons, pose.buttons + kPoseButtons, state.buttons);
    state.hat = pose.hat;
    state.autopilot = g_front.autopilot;
    return state;
}

// Reports received against the virtual clock, back to a second ago.
struct ReportSample {
    std::int64_t at;
    std::uint64_t count;
};
std::deque<ReportSample> g_reportSamples;

int ReportsInTheLastSecond(std::int64_t now, std::uint64_t count) {
    if (!g_reportSamples.empty() && g_reportSamples.back().at > now)
        g_reportSamples.clear(); // a clock set back: start again
    g_reportSamples.push_back({now, count});
    while (g_reportSamples.size() > 1 && g_reportSamples[1].at <= now - 1000)
        g_reportSamples.pop_front();
    const ReportSample& first = g_reportSamples.front();
    if (now - first.at < 1000)
        return 0; // not a second's worth yet
    return static_cast<int>((count - first.count) * 1000 /
                            static_cast<std::uint64_t>(now - first.at));
}

DriverPanelState DriverState() {
    DriverPanelState state;
    std::int64_t now;
    {
        MachineLock lock = LockMachine();
        const DriverSettings& driver = Driver();
        state.present = driver.present;
        state.openError = driver.openError;
        state.gameMax = driver.gameMax;
        state.callbacks = CurrentDriverCount();
        state.reports = DriverReportCount();
        if (state.reports > 0) {
            std::vector<DriverReport> last = DriverReportsSince(state.reports - 1);
            state.haveReport = !last.empty();
            if (state.haveReport) {
                state.axisX = last.back().axisX;
                state.axisY = last.back().axisY;
                state.buttons = last.back().buttons;
            }
        }
        now = VirtualNow();
    }
    state.reportsPerSecond = ReportsInTheLastSecond(now, state.reports);
    return state;
}

// The log's last entries, read again only when the file has grown.
std::vector<std::string> LatestLogEntries() {
    static std::streamoff readAt = -1;
    static std::vector<std::string> entries;
    const std::streamoff kTail = 4096;
    const std::size_t kKept = 16;
    std::ifstream file(kProgramLogName, std::ios::binary | std::ios::ate);
    std::streamoff size = file ? static_cast<std::streamoff>(file.tellg()) : 0;
    if (size == readAt)
        return entries;
    readAt = size;
    entries.clear();
    if (size <= 0)
        return entries;
    std::streamoff from = std::max<std::streamoff>(0, size - kTail);
    std::string text(static_cast<std::size_t>(size - from), '\0');
    file.seekg(from);
    file.read(&text[0], static_cast<std::streamsize>(text.size()));
    std::size_t at = 0;
    if (from > 0) // the first line read is only the end of an entry
        at = text.find('\n') == std::string::npos ? text.size() : text.find('\n') + 1;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        entries.push_back(text.substr(at, end == std::string::npos ? end : end - at));
        at = end == std::string::npos ? text.size() : end + 1;
    }
    if (entries.size() > kKept)
        entries.erase(entries.begin(), entries.end() - kKept);
    return entries;
}

} // namespace

bool ScreenDueAt(std::int64_t* virtualMs) {
    if (g_reportSamples.size() < 2 || g_reportSamples.front().count == g_reportSamples.back().count)
        return false;
    *virtualMs = g_reportSamples.back().at + 250;
    return true;
}

void NoteRunFiles(const std::string& registry, const std::string& recording) {
    g_front.files.log = InCurrentDirectory(kProgramLogName);
    g_front.files.registry = InCurrentDirectory(registry);
    g_front.files.recording = InCurrentDirectory(recording);
}

ScreenParts GatherScreenParts() {
    ScreenParts parts;
    parts.windows = VisibleWindows();
    parts.menuOpen = g_front.menuOpen;
    parts.menu = g_front.menu;
    parts.menuSelected = g_front.menuSelected;
    parts.wheel = WheelState();
    parts.driver = DriverState();
    parts.log = LatestLogEntries();
    parts.panelsUnfolded = g_front.panelsUnfolded;
    parts.help = g_front.help;
    parts.files = g_front.files;
    parts.refused = g_front.status;
    return parts;
}

void Draw() {
    int width = 0, height = 0;
    TerminalSize(&width, &height);
    ScreenLayout layout;
    Canvas canvas = ComposeScreen(width, height, GatherScreenParts(), &layout);
    g_front.hits = layout.hits;
    g_front.menuHits = layout.menuHits;
    g_front.tooSmall = layout.tooSmall;
    g_front.folded = layout.folded;
    g_front.windowsShown = layout.windowsShown;
    if (!(canvas == g_front.shown)) {
        ShowCanvas(canvas);
        g_front.shown = canvas;
    }
}

} // namespace hosted::term
