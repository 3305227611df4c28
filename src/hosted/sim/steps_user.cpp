// Scenario steps of the simulated user: starting the program, letting time
// pass, clicking, typing, pressing keys, stepping up-down controls,
// answering message boxes, reading the screen.
#include "user/screen.h"
#include "core/clock.h"
#include "core/machine.h"
#include "core/format.h"
#include "sim/steps.h"
#include "core/transcript.h"
#include "testbed/key_names.h"
#include "testbed/step_words.h"
#include "testbed/transcript_text.h"

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

// The snapshot's names, which transcripts compare against.
const char* SnapshotKind(const ControlView& control) {
    switch (control.kind) {
    case WindowKind::Button:
        switch (ButtonLookOf(control.style)) {
        case ButtonLook::CheckBox:
            return "checkbox";
        case ButtonLook::Radio:
            return "radio";
        case ButtonLook::GroupBox:
            return "groupbox";
        default:
            return "button";
        }
    case WindowKind::Edit:
        return "edit";
    case WindowKind::Static:
        return ShowsIcon(control) ? "icon" : "static";
    case WindowKind::UpDown:
        return "updown";
    case WindowKind::Dialog:
        return "dialog";
    case WindowKind::MessageBox:
        return "msgbox";
    default:
        return "window";
    }
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
    {
        // Windows keeps its local time in a SYSTEMTIME; a clock past what that
        // holds would give the program dates it could never see.
        MachineLock lock = LockMachine();
        if (!LocalTimeFits(VirtualNow() + duration)) {
            *error = "advance " + step.words[1] + " takes the local time past the year 30827";
            return false;
        }
    }
    return AdvanceVirtualClock(duration, error);
}

bool StepClick(const Step& step, std::string* error) {
    int id = 0;
    return ParseControlId(step, &id, error) && ClickControl(id, error);
}

// `type ID TEXT`: TEXT is the rest of the line, blanks around it dropped;
// in double quotes it keeps them ("type 1000 \" 7 \"").
bool StepType(const Step& step, std::string* error) {
    std::uint64_t value = 0;
    if (step.words.size() < 2 || !ParseNumber(step.words[1], &value) || value > 0xFFFF) {
        *error = "expected 'type ID TEXT'";
        return false;
    }
    std::string text = step.rest;
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    return TypeText(static_cast<int>(value), text, error);
}

// `spin ID up|down`: a click on that arrow of up-down control ID.
bool StepSpin(const Step& step, std::string* error) {
    std::uint64_t value = 0;
    if (step.words.size() != 3 || !ParseNumber(step.words[1], &value) || value > 0xFFFF ||
        (step.words[2] != "up" && step.words[2] != "down")) {
        *error = "expected 'spin ID up|down'";
        return false;
    }
    return ClickSpin(static_cast<int>(value), step.words[2] == "up", error);
}

// `key NAME` or `key C`: a named key, or the key of one printable character
// (a "#" in double quotes, as it would start a comment; a blank is `space`).
bool StepKey(const Step& step, std::string* error) {
    if (step.words.size() == 2) {
        if (const KeyName* named = FindKeyName(step.words[1]))
            return PressKey(named->key, error, named->shift);
        if (char character = KeyCharacter(step.words[1]))
            return TypeCharacter(character, error);
    }
    *error = kKeyStepUsage;
    return false;
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
    WindowView window;
    if (!ActiveWindow(&window) || window.messageBox) {
        *error = window.messageBox ? "a message box is open" : "no window is open";
        return false;
    }
    for (const ControlView& control : window.controls)
        TranscriptLine(Format("control %d %s text=%s checked=%d visible=%d enabled=%d", control.id,
                              SnapshotKind(control), QuoteTranscriptText(control.text).c_str(),
                              control.check, control.visible ? 1 : 0, control.enabled ? 1 : 0));
    return true;
}

bool StepSend(const Step& step, std::string* error) {
    int id = 0;
    return ParseControlId(step, &id, error) && SendCommand(id, error);
}

bool StepSyscommand(const Step& step, std::string* error) {
    std::uint64_t command = 0;
    if (step.words.size() != 2 || !ParseNumber(step.words[1], &command) || command > 0xFFFF) {
        *error = "expected 'syscommand N'";
        return false;
    }
    return ChooseSystemCommand(static_cast<WPARAM>(command), error);
}

// As the user does it: with the caption's buttons, which choose the
// system command.
bool StepMinimizeRestore(const Step& step, std::string* error) {
    if (step.words.size() != 1) {
        *error = "expected '" + step.words[0] + "'";
        return false;
    }
    return ChooseSystemCommand(step.words[0] == "minimize" ? SC_MINIMIZE : SC_RESTORE, error);
}

} // namespace hosted
