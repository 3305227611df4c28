// Scenario steps of the simulated user: starting the program, letting time
// pass, clicking, pressing keys, answering message boxes, reading the
// screen.
#include "user/msgbox.h"
#include "user/window.h"
#include "core/clock.h"
#include "core/format.h"
#include "sim/steps.h"
#include "core/transcript.h"

namespace hosted {
namespace {

bool ParseDuration(const std::string& text, std::int64_t* ms) {
    std::uint64_t value = 0;
    std::string number = text;
    std::uint64_t scale = 1;
    if (text.size() > 2 && text.compare(text.size() - 2, 2, "ms") == 0) {
        number = text.substr(0, text.size() - 2);
    } else if (text.size() > 1 && text.back() == 's') {
        number = text.substr(0, text.size() - 1);
        scale = 1000;
    }
    if (!ParseNumber(number, &value) || value > (1ull << 40))
        return false;
    *ms = static_cast<std::int64_t>(value * scale);
    return true;
}

bool ParseControlId(const Step& step, int* id, std::string* error) {
    std::uint64_t value = 0;
    bool negativeOne = step.words.size() == 2 && step.words[1] == "-1";
    if (!negativeOne &&
        (step.words.size() != 2 || !ParseNumber(step.words[1], &value) || value > 0xFFFF)) {
        *error = "expected '" + step.words[0] + " ID'";
        return false;
    }
    *id = negativeOne ? -1 : static_cast<int>(value);
    return true;
}

Window* ActiveDialog(std::string* error) {
    Window* active = ActiveTopLevel();
    if (!active || active->kind != WindowKind::Dialog) {
        *error = active ? "a message box is open" : "no window is open";
        return nullptr;
    }
    return active;
}

Window* ControlOf(Window& dialog, int id) {
    for (HWND child : dialog.children)
        if (LookupWindow(child)->id == id)
            return LookupWindow(child);
    return nullptr;
}

std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

} // namespace

bool StepStart(const Step& step, std::string* error) {
    if (step.words.size() != 1) {
        *error = "expected 'start'";
        return false;
    }
    return RequestProgramStart(error);
}

bool StepAdvance(const Step& step, std::string* error) {
    std::int64_t duration = 0;
    if (step.words.size() != 2 || !ParseDuration(step.words[1], &duration)) {
        *error = "expected 'advance DURATION' (e.g. 20ms, 1s)";
        return false;
    }
    return AdvanceVirtualClock(duration, error);
}

bool StepClick(const Step& step, std::string* error) {
    int id = 0;
    if (!ParseControlId(step, &id, error))
        return false;
    MachineLock lock = LockMachine();
    Window* dialog = ActiveDialog(error);
    if (!dialog)
        return false;
    Window* control = ControlOf(*dialog, id);
    if (!control || !control->IsVisible()) {
        *error = Format("the active window shows no control %d", id);
        return false;
    }
    if (control->IsEnabled()) { // a disabled control ignores the mouse
        PostLocked(control->handle, WM_LBUTTONDOWN, 0, 0);
        PostLocked(control->handle, WM_LBUTTONUP, 0, 0);
    }
    return true;
}

bool StepKey(const Step& step, std::string* error) {
    static const struct {
        const char* name;
        WPARAM key;
    } kKeys[] = {{"enter", VK_RETURN}, {"escape", VK_ESCAPE}, {"tab", VK_TAB},
                 {"space", VK_SPACE},  {"up", VK_UP},         {"down", VK_DOWN}};
    WPARAM key = 0;
    for (const auto& entry : kKeys)
        if (step.words.size() == 2 && step.words[1] == entry.name)
            key = entry.key;
    if (key == 0) {
        *error = "expected 'key enter|escape|tab|space|up|down'";
        return false;
    }
    MachineLock lock = LockMachine();
    Window* active = ActiveTopLevel();
    if (!active) {
        *error = "no window is open";
        return false;
    }
    HWND target = FocusIn(*active);
    if (!target)
        target = active->handle;
    PostLocked(target, WM_KEYDOWN, key, 0);
    PostLocked(target, WM_KEYUP, key, 0);
    return true;
}

bool StepAnswer(const Step& step, std::string* error) {
    if (step.words.size() != 2 || (step.words[1] != "ok" && step.words[1] != "cancel")) {
        *error = "expected 'answer ok' or 'answer cancel'";
        return false;
    }
    return AnswerMessageBox(step.words[1] == "ok" ? IDOK : IDCANCEL, error);
}

bool StepSnapshot(const Step& step, std::string* error) {
    if (step.words.size() != 1) {
        *error = "expected 'snapshot'";
        return false;
    }
    MachineLock lock = LockMachine();
    Window* dialog = ActiveDialog(error);
    if (!dialog)
        return false;
    for (HWND child : dialog->children) {
        const Window& control = *LookupWindow(child);
        TranscriptLine(Format("control %d %s text=%s checked=%d visible=%d enabled=%d", control.id,
                              KindName(control).c_str(), Quoted(control.text).c_str(),
                              control.check, control.IsVisible() ? 1 : 0,
                              control.IsEnabled() ? 1 : 0));
    }
    return true;
}

bool StepSend(const Step& step, std::string* error) {
    int id = 0;
    if (!ParseControlId(step, &id, error))
        return false;
    MachineLock lock = LockMachine();
    Window* dialog = ActiveDialog(error);
    if (!dialog)
        return false;
    Window* control = ControlOf(*dialog, id);
    PostLocked(dialog->handle, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(control ? control->handle : nullptr));
    return true;
}

} // namespace hosted
