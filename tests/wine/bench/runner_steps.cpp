// The scenario steps under Wine: the machine's set-up through the bench,
// the user's hands through window messages to the real program.
#include <cstring>

#include "runner.h"
#include "testbed/key_names.h"
#include "testbed/step_words.h"
#include "testbed/transcript_text.h"
#include "testbed/wheel_layout.h"
#include "window_capture.h"

namespace {

using Settings = std::vector<std::pair<std::string, unsigned long long>>;

bool Refuse(const std::string& what, std::string* error, bool* refused) {
    *error = what + " is a step only the simulated machine can do";
    *refused = true;
    return false;
}

bool ControlId(const Step& step, std::size_t index, int* id, std::string* error) {
    unsigned long long value = 0;
    if (step.words.size() <= index || !ParseNumber(step.words[index], &value) || value > 0xFFFF) {
        *error = "expected '" + step.words[0] + " ID'";
        return false;
    }
    *id = static_cast<int>(value);
    return true;
}

HWND ActiveDialog(const Run& run, std::string* error) {
    HWND active = ActiveWindow(run);
    if (!active || IsMessageBox(active)) {
        *error = active ? "a message box is open" : "no window is open";
        return nullptr;
    }
    return active;
}

HWND VisibleControl(const Run& run, int id, std::string* error) {
    HWND dialog = ActiveDialog(run, error);
    if (!dialog)
        return nullptr;
    HWND control = GetDlgItem(dialog, id);
    if (!control || !IsWindowVisible(control)) {
        *error = "the active window shows no control " + std::to_string(id);
        return nullptr;
    }
    return control;
}

bool StepDriver(Run& run, const Step& step, std::string* error, bool* refused) {
    Settings settings;
    const std::string what = step.words.size() > 1 ? step.words[1] : "";
    bench::Lock lock;
    bench::Memory& m = *run.memory;
    if (what == "absent") {
        if (!ParseStepSettings(step.words, 2, {"error"}, &settings, error))
            return false;
        m.driverPresent = 0;
        m.openError = 2;
        for (const auto& s : settings)
            m.openError = static_cast<DWORD>(s.second);
        // Wine fails the open of every VxD that does not load with this code.
        if (m.openError != ERROR_FILE_NOT_FOUND)
            return Refuse("'driver absent error=N' with N other than 2", error, refused);
        return true;
    }
    if (what == "present" || what == "set") {
        if (!ParseStepSettings(step.words, 2, {"gamemax", "count", "rate"}, &settings, error))
            return false;
        for (const auto& s : settings) {
            if (s.first == "rate" && s.second != 0)
                return Refuse("'driver ... rate=N' (the count advancing with the virtual clock)",
                              error, refused);
            if (s.first == "gamemax")
                m.gameMax = static_cast<DWORD>(s.second);
            if (s.first == "count")
                m.callbackCount = static_cast<DWORD>(s.second);
        }
        if (what == "present")
            m.driverPresent = 1;
        return true;
    }
    if (what == "refuse" && step.words.size() == 3) {
        const std::string& call = step.words[2];
        m.refuseRead = call == "read";
        m.refuseWrite = call == "write";
        if (call == "read" || call == "write" || call == "none")
            return true;
    }
    *error = "expected 'driver absent|present|set|refuse ...'";
    return false;
}

bool StepSlot(Run& run, const Step& step, std::string* error, bool* refused) {
    unsigned long long slot = 0;
    if (step.words.size() < 3 || !ParseNumber(step.words[1], &slot) || slot >= bench::kSlots) {
        *error = "expected 'slot N wheel ...' or 'slot N result=CODE'";
        return false;
    }
    bench::Lock lock;
    bench::Slot& held = run.memory->slots[slot];
    if (step.words[2].compare(0, 7, "result=") == 0) {
        unsigned long long code = 0;
        if (step.words.size() != 3 || !ParseNumber(step.words[2].substr(7), &code)) {
            *error = "expected 'slot N result=CODE'";
            return false;
        }
        held.result = static_cast<LONG>(code);
        return true;
    }
    if (step.words[2] == "object")
        return Refuse("'slot N object'", error, refused);
    if (step.words[2] != "wheel") {
        *error = "expected 'slot N wheel ...'";
        return false;
    }
    // The double's devices are the ones it enumerated when the program
    // created them: none can be plugged in or changed under a running program.
    if (run.started)
        return Refuse("'slot N wheel' after 'start'", error, refused);
    bool polled = true;
    DWORD buttons = 10, povs = 1;
    std::string name = kDefaultWheelName;
    for (std::size_t i = 3; i < step.words.size(); ++i) {
        const std::string& word = step.words[i];
        unsigned long long value = 0;
        if (word == "polled" || word == "interrupt")
            polled = word == "polled";
        else if (word.compare(0, 8, "buttons=") == 0 && ParseNumber(word.substr(8), &value) &&
                 value <= 128)
            buttons = static_cast<DWORD>(value);
        else if (word.compare(0, 5, "povs=") == 0 && ParseNumber(word.substr(5), &value) &&
                 value <= 4)
            povs = static_cast<DWORD>(value);
        else if (word.compare(0, 5, "name=") == 0) { // the rest of the line
            name = step.rest.substr(step.rest.find("name=") + 5);
            break;
        } else {
            *error = "unexpected '" + word + "'";
            return false;
        }
    }
    held.present = 1;
    held.polled = polled;
    held.buttons = buttons;
    held.povs = povs;
    lstrcpynA(held.name, name.c_str(), sizeof held.name);
    DIJOYSTATE2 rest;
    WheelAtRest(&rest);
    std::memcpy(held.state, &rest, sizeof rest);
    ++held.version;
    return true;
}

// The runner's word to the DirectInput double that a device changed.
void TellChanged() {
    HANDLE changed = CreateEventA(nullptr, FALSE, FALSE, bench::kChangedEventName);
    SetEvent(changed);
    CloseHandle(changed);
}

// Waits until the program has read what changed, when it is reading the
// device at all: a polled wheel it polls, or an interrupt-driven one whose
// event it listens to.
void WaitForRead(Run& run, unsigned slot) {
    const DWORD kBoundMs = 10000;
    DWORD start = GetTickCount();
    LONG polls;
    {
        bench::Lock lock;
        polls = run.memory->slots[slot].polls;
    }
    for (;;) {
        Sleep(2);
        bench::Lock lock;
        const bench::Slot& held = run.memory->slots[slot];
        if (held.versionRead == held.version)
            return;
        DWORD waited = GetTickCount() - start;
        // A polled wheel nobody polls for a while is not being read.
        if (held.polled && held.polls == polls && waited > 500)
            return;
        if (!held.polled && waited > 1000)
            return;
        if (waited > kBoundMs)
            return;
    }
}

bool StepWheel(Run& run, const Step& step, std::string* error, bool*) {
    unsigned long long slot = 0;
    if (step.words.size() < 3 || !ParseNumber(step.words[1], &slot) || slot >= bench::kSlots) {
        *error = "expected 'wheel N NAME=VALUE ...'";
        return false;
    }
    {
        bench::Lock lock;
        bench::Slot& held = run.memory->slots[slot];
        if (!held.present) {
            *error = "slot " + std::to_string(slot) + " holds no device";
            return false;
        }
        BYTE state[bench::kJoyStateSize];
        std::memcpy(state, held.state, sizeof state);
        for (std::size_t i = 2; i < step.words.size(); ++i) {
            const std::string& word = step.words[i];
            std::size_t equals = word.find('=');
            std::string part = word.substr(0, equals), text = word.substr(equals + 1);
            unsigned long long value = 0;
            bool parsed = equals != std::string::npos &&
                          (text == "down" || text == "up" || ParseNumber(text, &value));
            if (text == "down")
                value = 0x80;
            if (!parsed || !SetWheelPart(state, part, static_cast<long long>(value))) {
                *error = "unexpected '" + word + "'";
                return false;
            }
        }
        std::memcpy(held.state, state, sizeof state);
        ++held.version;
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        held.changed = now.QuadPart;
    }
    TellChanged();
    WaitForRead(run, static_cast<unsigned>(slot));
    return true;
}

bool StepKeyboard(Run& run, const Step& step, std::string* error, bool*) {
    unsigned long long code = 0;
    if (step.words.size() != 3 || (step.words[1] != "down" && step.words[1] != "up") ||
        !ParseNumber(step.words[2], &code) || code > 255) {
        *error = "expected 'keyboard down|up CODE'";
        return false;
    }
    {
        bench::Lock lock;
        run.memory->keyboard[code] = step.words[1] == "down" ? 0x80 : 0;
        ++run.memory->keyboardVersion;
    }
    TellChanged();
    return true;
}

bool StepFail(Run& run, const Step& step, std::string* error, bool*) {
    if (step.words.size() < 3 || step.words[1].find("::") == std::string::npos ||
        step.words[1].size() >= sizeof(bench::Failure::method)) {
        *error = "expected 'fail IFACE::METHOD [device=N] [call=K|every] code=CODE'";
        return false;
    }
    bench::Failure rule{};
    lstrcpynA(rule.method, step.words[1].c_str(), sizeof rule.method);
    rule.device = -1;
    rule.call = 1;
    bool coded = false;
    for (std::size_t i = 2; i < step.words.size(); ++i) {
        const std::string& word = step.words[i];
        unsigned long long value = 0;
        if (word == "call=every")
            rule.call = 0;
        else if (word.compare(0, 7, "device=") == 0 && ParseNumber(word.substr(7), &value))
            rule.device = static_cast<LONG>(value);
        else if (word.compare(0, 5, "call=") == 0 && ParseNumber(word.substr(5), &value))
            rule.call = static_cast<DWORD>(value);
        else if (word.compare(0, 5, "code=") == 0 && ParseNumber(word.substr(5), &value))
            rule.code = static_cast<LONG>(value), coded = true;
        else {
            *error = "unexpected '" + word + "'";
            return false;
        }
    }
    if (!coded) {
        *error = "expected 'code=CODE'";
        return false;
    }
    bench::Lock lock;
    if (run.memory->failureCount >= bench::kFailures) {
        *error = "too many failures";
        return false;
    }
    run.memory->failures[run.memory->failureCount++] = rule;
    return true;
}

// registry dword|string PATH NAME VALUE / registry delete PATH: PATH takes
// in every following word that holds a backslash, so that a key name may
// hold blanks; TEXT is the rest of the line.
bool StepRegistry(Run&, const Step& step, std::string* error, bool*) {
    const std::string kind = step.words.size() > 1 ? step.words[1] : "";
    std::size_t next = 3;
    std::string path = step.words.size() > 2 ? step.words[2] : "";
    while (next < step.words.size() && step.words[next].find('\\') != std::string::npos)
        path += " " + step.words[next++];
    bool named = kind == "delete" ? next == step.words.size()
                                  : (kind == "dword" && next + 2 == step.words.size()) ||
                                        (kind == "string" && next + 2 <= step.words.size());
    if (!named || path.compare(0, 5, "HKLM\\") != 0) {
        *error = "expected 'registry dword|string HKLM\\PATH NAME VALUE' or 'registry delete "
                 "HKLM\\PATH'";
        return false;
    }
    path = path.substr(5);
    if (kind == "delete") {
        HKEY parent;
        std::size_t cut = path.rfind('\\');
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.substr(0, cut).c_str(), 0, KEY_ALL_ACCESS,
                          &parent) == ERROR_SUCCESS) {
            RegDeleteKeyA(parent, path.substr(cut + 1).c_str());
            RegCloseKey(parent);
        }
        return true;
    }
    const std::string& name = step.words[next];
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        *error = "cannot create HKLM\\" + path;
        return false;
    }
    LONG result;
    if (kind == "dword") {
        unsigned long long value = 0;
        if (!ParseNumber(step.words[next + 1], &value)) {
            RegCloseKey(key);
            *error = "unexpected '" + step.words[next + 1] + "'";
            return false;
        }
        DWORD number = static_cast<DWORD>(value);
        result =
            RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), 4);
    } else {
        std::string text = step.rest.substr(step.rest.find(" " + name + " ") + name.size() + 2);
        text.erase(0, text.find_first_not_of(" \t"));
        if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
            text = text.substr(1, text.size() - 2);
        result = RegSetValueExA(key, name.c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(text.c_str()),
                                static_cast<DWORD>(text.size() + 1));
    }
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        *error = "cannot write " + name;
    return result == ERROR_SUCCESS;
}

bool StepStart(Run& run, const Step& step, std::string* error, bool*) {
    if (step.words.size() != 1 || run.started) {
        *error = run.started ? "BRISKARN is already running" : "expected 'start'";
        return false;
    }
    run.registryBefore = ReadRegistry();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + run.program + "\"";
    if (!CreateProcessA(run.program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &run.process)) {
        *error = "cannot start " + run.program + ": error " + std::to_string(GetLastError());
        return false;
    }
    run.started = true;
    // Its start-up is over when it shows its first window or ends.
    DWORD since = GetTickCount();
    while (ProgramWindows(run).empty() &&
           WaitForSingleObject(run.process.hProcess, 20) == WAIT_TIMEOUT)
        if (GetTickCount() - since > 30000) {
            *error = "BRISKARN.EXE showed no window within 30 s";
            return false;
        }
    return true;
}

bool StepAdvance(Run&, const Step& step, std::string* error, bool*) {
    unsigned long long value = 0;
    std::string text = step.words.size() == 2 ? step.words[1] : "";
    unsigned long long scale = 1;
    if (text.size() > 2 && text.compare(text.size() - 2, 2, "ms") == 0)
        text.resize(text.size() - 2);
    else if (text.size() > 1 && text.back() == 's')
        text.resize(text.size() - 1), scale = 1000;
    if (!ParseNumber(text, &value) || value * scale > 600000) {
        *error = "expected 'advance DURATION' (e.g. 20ms, 1s), at most 10 minutes";
        return false;
    }
    Sleep(static_cast<DWORD>(value * scale));
    return true;
}

bool StepClick(Run& run, const Step& step, std::string* error, bool*) {
    int id = 0;
    if (!ControlId(step, 1, &id, error))
        return false;
    HWND control = VisibleControl(run, id, error);
    if (!control)
        return false;
    if (IsWindowEnabled(control)) { // a disabled control ignores the mouse
        PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        PostMessageA(control, WM_LBUTTONUP, 0, 0);
    }
    return true;
}

bool StepSend(Run& run, const Step& step, std::string* error, bool*) {
    int id = 0;
    if (!ControlId(step, 1, &id, error))
        return false;
    HWND dialog = ActiveDialog(run, error);
    if (!dialog)
        return false;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    return true;
}

bool StepType(Run& run, const Step& step, std::string* error, bool*) {
    int id = 0;
    if (!ControlId(step, 1, &id, error))
        return false;
    HWND edit = VisibleControl(run, id, error);
    if (!edit)
        return false;
    char className[16] = "";
    GetClassNameA(edit, className, sizeof className);
    if (lstrcmpiA(className, "Edit") != 0) {
        *error = "control " + std::to_string(id) + " is not an edit";
        return false;
    }
    if (!IsWindowEnabled(edit))
        return true;
    std::string text = step.rest;
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    // Clicked into, everything selected, then typed over.
    PostMessageA(edit, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    PostMessageA(edit, WM_LBUTTONUP, 0, 0);
    PostMessageA(edit, EM_SETSEL, 0, -1);
    PostMessageA(edit, WM_KEYDOWN, VK_DELETE, 0);
    PostMessageA(edit, WM_KEYUP, VK_DELETE, 0);
    for (char c : text)
        PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 0);
    return true;
}

// The window with the keyboard focus in the program's thread, or the
// active window when none has it.
HWND KeyboardTarget(const Run& run, std::string* error) {
    HWND active = ActiveWindow(run);
    if (!active) {
        *error = "no window is open";
        return nullptr;
    }
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(active, nullptr), &info) && info.hwndFocus
               ? info.hwndFocus
               : active;
}

bool StepKey(Run& run, const Step& step, std::string* error, bool*) {
    const KeyName* named = step.words.size() == 2 ? FindKeyName(step.words[1]) : nullptr;
    char character = step.words.size() == 2 && !named ? KeyCharacter(step.words[1]) : 0;
    if (!named && !character) {
        *error = kKeyStepUsage;
        return false;
    }
    HWND target = KeyboardTarget(run, error);
    if (!target)
        return false;
    if (character) {
        PostMessageA(target, WM_CHAR, static_cast<unsigned char>(character), 0);
        return true;
    }
    // A posted key carries no Shift of its own: the Shift key goes first.
    if (named->shift)
        PostMessageA(target, WM_KEYDOWN, VK_SHIFT, 0);
    PostMessageA(target, WM_KEYDOWN, named->key, 0);
    PostMessageA(target, WM_KEYUP, named->key, 0xC0000000);
    if (named->shift)
        PostMessageA(target, WM_KEYUP, VK_SHIFT, 0xC0000000);
    return true;
}

bool StepAnswer(Run& run, const Step& step, std::string* error, bool*) {
    if (step.words.size() != 2 || (step.words[1] != "ok" && step.words[1] != "cancel")) {
        *error = "expected 'answer ok' or 'answer cancel'";
        return false;
    }
    HWND active = ActiveWindow(run);
    if (!active || !IsMessageBox(active)) {
        *error = "no message box is open";
        return false;
    }
    PostMessageA(active, WM_COMMAND, step.words[1] == "ok" ? IDOK : IDCANCEL, 0);
    return true;
}

bool StepSyscommand(Run& run, const Step& step, std::string* error, bool*) {
    unsigned long long command = 0;
    if (step.words.size() != 2 || !ParseNumber(step.words[1], &command) || command > 0xFFFF) {
        *error = "expected 'syscommand N'";
        return false;
    }
    HWND active = ActiveWindow(run);
    if (!active) {
        *error = "no window is open";
        return false;
    }
    PostMessageA(active, WM_SYSCOMMAND, static_cast<WPARAM>(command), 0);
    return true;
}

// The snapshot's names for the kinds of control, as the simulated machine
// writes them.
std::string KindOf(HWND control) {
    char className[32] = "";
    GetClassNameA(control, className, sizeof className);
    LONG style = GetWindowLongA(control, GWL_STYLE);
    if (lstrcmpiA(className, "Button") == 0) {
        switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
            return "checkbox";
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return "radio";
        case BS_GROUPBOX:
            return "groupbox";
        default:
            return "button";
        }
    }
    if (lstrcmpiA(className, "Edit") == 0)
        return "edit";
    if (lstrcmpiA(className, "Static") == 0)
        return (style & SS_TYPEMASK) == SS_ICON ? "icon" : "static";
    if (lstrcmpiA(className, "msctls_updown32") == 0)
        return "updown";
    return "window";
}

bool StepSnapshot(Run& run, const Step& step, std::string* error, bool*) {
    if (step.words.size() != 1) {
        *error = "expected 'snapshot'";
        return false;
    }
    HWND window = ActiveDialog(run, error);
    if (!window)
        return false;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        std::string kind = KindOf(child);
        DWORD_PTR check = 0;
        if (kind == "checkbox" || kind == "radio" || kind == "button")
            SendMessageTimeoutA(child, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &check);
        std::string text = kind == "icon" ? "" : TextOf(child);
        char line[1400];
        std::snprintf(line, sizeof line, "control %d %s text=%s checked=%d visible=%d enabled=%d",
                      GetDlgCtrlID(child), kind.c_str(), QuoteTranscriptText(text).c_str(),
                      static_cast<int>(check), IsWindowVisible(child) ? 1 : 0,
                      IsWindowEnabled(child) ? 1 : 0);
        Line(run, line);
    }
    if (!run.screenshot.empty() && !Capture(window, run.screenshot)) {
        *error = "cannot save the screenshot " + run.screenshot;
        return false;
    }
    return true;
}

bool StepMinimizeRestore(Run& run, const Step& step, std::string* error, bool* refused) {
    Step command = step;
    command.words = {"syscommand", step.words[0] == "minimize" ? "0xF020" : "0xF120"};
    return StepSyscommand(run, command, error, refused);
}

bool StepSimulatedOnly(Run&, const Step& step, std::string* error, bool* refused) {
    return Refuse("'" + step.words[0] + "'", error, refused);
}

bool StepSpin(Run& run, const Step& step, std::string* error, bool*) {
    int id = 0;
    if (step.words.size() != 3 || !ControlId(step, 1, &id, error) ||
        (step.words[2] != "up" && step.words[2] != "down")) {
        *error = "expected 'spin ID up|down'";
        return false;
    }
    HWND spin = VisibleControl(run, id, error);
    if (!spin)
        return false;
    RECT area;
    GetClientRect(spin, &area);
    LPARAM at =
        MAKELPARAM(area.right / 2, step.words[2] == "up" ? area.bottom / 4 : area.bottom * 3 / 4);
    PostMessageA(spin, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(spin, WM_LBUTTONUP, 0, at);
    return true;
}

using Handler = bool (*)(Run&, const Step&, std::string*, bool*);
const struct {
    const char* name;
    Handler handler;
} kSteps[] = {
    {"driver", StepDriver},
    {"slot", StepSlot},
    {"wheel", StepWheel},
    {"keyboard", StepKeyboard},
    {"fail", StepFail},
    {"registry", StepRegistry},
    {"start", StepStart},
    {"advance", StepAdvance},
    {"click", StepClick},
    {"send", StepSend},
    {"type", StepType},
    {"key", StepKey},
    {"answer", StepAnswer},
    {"syscommand", StepSyscommand},
    {"snapshot", StepSnapshot},
    {"minimize", StepMinimizeRestore},
    {"restore", StepMinimizeRestore},
    {"spin", StepSpin},
    {"clock", StepSimulatedOnly},
    {"timer", StepSimulatedOnly},
    {"priority", StepSimulatedOnly},
};

} // namespace

bool CarryOut(Run& run, const Step& step, std::string* error, bool* refused) {
    *refused = false;
    for (const auto& kind : kSteps)
        if (step.words[0] == kind.name)
            return kind.handler(run, step, error, refused);
    *error = "unknown step '" + step.words[0] + "'";
    return false;
}
