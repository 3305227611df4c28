// Scenario steps of the input devices: joystick configuration slots and
// their wheels, the keyboard, injected DirectInput failures and what the
// multimedia timers can do.
#include <algorithm>
#include <cstdlib>

#include "core/format.h"
#include "core/machine.h"
#include "dinput/failures.h"
#include "kernel/failures.h"
#include "sim/game_devices.h"
#include "sim/steps.h"
#include "testbed/step_words.h"
#include "testbed/wheel_layout.h"
#include "winmm/timer_settings.h"

namespace hosted {
namespace {

bool ParseSlot(const Step& step, unsigned* slot, std::string* error) {
    std::uint64_t value = 0;
    if (step.words.size() < 3 || !ParseNumber(step.words[1], &value) || value >= kJoystickSlots) {
        *error = "expected '" + step.words[0] + " N ...' with N from 0 to 15";
        return false;
    }
    *slot = static_cast<unsigned>(value);
    return true;
}

bool ParseSigned(const std::string& text, std::int64_t* value) {
    bool negative = !text.empty() && text[0] == '-';
    std::uint64_t magnitude = 0;
    if (!ParseNumber(negative ? text.substr(1) : text, &magnitude) || magnitude > 0xFFFFFFFFull)
        return false;
    *value =
        negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
    return true;
}

// A name, or a quoted one with blanks: the words from `first` on; `next`
// is the word after it.
bool ParseName(const Step& step, std::size_t first, std::string* name, std::size_t* next) {
    if (first >= step.words.size())
        return false;
    *name = step.words[first];
    *next = first + 1;
    if (name->front() != '"')
        return true;
    while (name->size() < 2 || name->back() != '"') {
        if (*next >= step.words.size())
            return false;
        *name += " " + step.words[(*next)++];
    }
    *name = name->substr(1, name->size() - 2);
    return true;
}

bool StepSlotWheel(const Step& step, unsigned slot, std::string* error) {
    bool polled = true;
    std::size_t i = 3;
    if (i < step.words.size() && (step.words[i] == "polled" || step.words[i] == "interrupt"))
        polled = step.words[i++] == "polled";
    std::uint64_t buttons = 10, povs = 1;
    std::string name = kDefaultWheelName;
    for (; i < step.words.size(); ++i) {
        const std::string& word = step.words[i];
        if (word.compare(0, 5, "name=") == 0) { // the rest of the line
            name = step.rest.substr(step.rest.find("name=") + 5);
            break;
        }
        std::uint64_t* field = word.compare(0, 8, "buttons=") == 0 ? &buttons
                               : word.compare(0, 5, "povs=") == 0  ? &povs
                                                                   : nullptr;
        if (!field || !ParseNumber(word.substr(word.find('=') + 1), field)) {
            *error = "unexpected '" + word + "'";
            return false;
        }
    }
    if (buttons > 128 || povs > 4) {
        *error = "a wheel has at most 128 buttons and 4 hats";
        return false;
    }
    MachineLock lock = LockMachine();
    SetJoystickSlot(slot, MakeWheel(slot, name, polled, static_cast<unsigned>(buttons),
                                    static_cast<unsigned>(povs)));
    return true;
}

bool StepSlotObject(const Step& step, unsigned slot, std::string* error) {
    std::string name;
    std::size_t next = 0;
    std::vector<std::pair<std::string, std::uint64_t>> settings;
    if (!ParseName(step, 3, &name, &next)) {
        *error = "expected 'slot N object NAME type=T offset=O'";
        return false;
    }
    if (!ParseStepSettings(step.words, next, {"type", "offset"}, &settings, error))
        return false;
    DWORD type = 0, offset = 0;
    int seen = 0;
    for (auto& [key, value] : settings) {
        (key == "type" ? type : offset) = static_cast<DWORD>(value);
        seen |= key == "type" ? 1 : 2;
        if (value > 0xFFFFFFFFull) {
            *error = "value does not fit 32 bits";
            return false;
        }
    }
    if (seen != 3) {
        *error = "expected 'slot N object NAME type=T offset=O'";
        return false;
    }
    MachineLock lock = LockMachine();
    std::shared_ptr<InputDevice> device = JoystickSlot(slot);
    if (!device) {
        *error = Format("slot %u holds no device", slot);
        return false;
    }
    device->objects.push_back({name, nullptr, offset, type});
    return true;
}

bool StepSlotResult(const Step& step, unsigned slot, std::string* error) {
    std::int64_t code = 0;
    if (step.words.size() != 3 || !ParseSigned(step.words[2].substr(7), &code)) {
        *error = "expected 'slot N result=CODE'";
        return false;
    }
    MachineLock lock = LockMachine();
    SetJoystickSlotResult(slot, static_cast<HRESULT>(static_cast<DWORD>(code)));
    return true;
}

} // namespace

bool StepSlot(const Step& step, std::string* error) {
    unsigned slot = 0;
    if (!ParseSlot(step, &slot, error))
        return false;
    const std::string& what = step.words[2];
    if (what == "wheel")
        return StepSlotWheel(step, slot, error);
    if (what == "object")
        return StepSlotObject(step, slot, error);
    if (what.compare(0, 7, "result=") == 0)
        return StepSlotResult(step, slot, error);
    *error = "expected 'slot N wheel ...', 'slot N object ...' or 'slot N result=CODE'";
    return false;
}

bool StepWheel(const Step& step, std::string* error) {
    unsigned slot = 0;
    if (!ParseSlot(step, &slot, error))
        return false;
    MachineLock lock = LockMachine();
    std::shared_ptr<InputDevice> wheel = JoystickSlot(slot);
    if (!wheel) {
        *error = Format("slot %u holds no device", slot);
        return false;
    }
    for (std::size_t i = 2; i < step.words.size(); ++i) {
        const std::string& word = step.words[i];
        std::size_t equals = word.find('=');
        std::string part = word.substr(0, equals), text = word.substr(equals + 1);
        std::int64_t value = 0;
        bool parsed = equals != std::string::npos && (text == "down" ? (value = 0x80, true)
                                                      : text == "up" ? (value = 0, true)
                                                                     : ParseSigned(text, &value));
        if (part.compare(0, 6, "button") == 0 && parsed && (value < 0 || value > 255))
            parsed = false;
        if (!parsed || !SetWheelValue(*wheel, part, value)) {
            *error = "unexpected '" + word + "'";
            return false;
        }
    }
    InputDeviceChanged(*wheel);
    return true;
}

bool StepKeyboard(const Step& step, std::string* error) {
    std::uint64_t code = 0;
    if (step.words.size() != 3 || (step.words[1] != "down" && step.words[1] != "up") ||
        !ParseNumber(step.words[2], &code) || code > 255) {
        *error = "expected 'keyboard down CODE' or 'keyboard up CODE' (a scan code, 0 to 255)";
        return false;
    }
    MachineLock lock = LockMachine();
    InputDevice& keyboard = SystemKeyboard();
    keyboard.state[code] = step.words[1] == "down" ? 0x80 : 0;
    InputDeviceChanged(keyboard);
    return true;
}

namespace {

// Everything a `fail` step can name, for the message that refuses another.
std::string InjectableNames() {
    std::string names;
    for (std::string name : InjectableInputMethods()) {
        if (name.compare(0, 2, "::") == 0)
            name.erase(0, 2);
        names += (names.empty() ? "" : ", ") + name;
    }
    for (const std::string& name : InjectableKernelFunctions())
        names += ", " + name;
    return names;
}

} // namespace

bool StepFail(const Step& step, std::string* error) {
    const char* usage = "expected 'fail IFACE::METHOD [device=N] [call=K|every] code=CODE'";
    if (step.words.size() < 3) {
        *error = usage;
        return false;
    }
    const std::string& name = step.words[1];
    int device = -1;
    unsigned call = 1;
    std::int64_t code = 0;
    bool haveCode = false;
    for (std::size_t i = 2; i < step.words.size(); ++i) {
        const std::string& word = step.words[i];
        std::uint64_t number = 0;
        if (word == "call=every") {
            call = 0;
        } else if (word.compare(0, 7, "device=") == 0 && ParseNumber(word.substr(7), &number) &&
                   number < kJoystickSlots) {
            device = static_cast<int>(number);
        } else if (word.compare(0, 5, "call=") == 0 && ParseNumber(word.substr(5), &number) &&
                   number > 0 && number <= 0xFFFFFFFFu) {
            call = static_cast<unsigned>(number);
        } else if (word.compare(0, 5, "code=") == 0 && ParseSigned(word.substr(5), &code)) {
            haveCode = true;
        } else {
            *error = "unexpected '" + word + "'";
            return false;
        }
    }
    if (!haveCode) {
        *error = usage;
        return false;
    }
    MachineLock lock = LockMachine();
    const std::vector<std::string> kernel = InjectableKernelFunctions();
    const std::vector<std::string> input = InjectableInputMethods();
    // A function of the DLL itself is named without an interface.
    const std::string method = name.find("::") == std::string::npos ? "::" + name : name;
    bool kernelCall = std::find(kernel.begin(), kernel.end(), name) != kernel.end();
    if (!kernelCall && std::find(input.begin(), input.end(), method) == input.end()) {
        *error = "the machine has no method '" + name + "'; it has " + InjectableNames();
        return false;
    }
    if (kernelCall && device >= 0) {
        *error = name + " concerns no game device";
        return false;
    }
    bool injected = kernelCall
                        ? InjectKernelFailure(name, call, static_cast<DWORD>(code), error)
                        : InjectInputFailure(method, device, call,
                                             static_cast<HRESULT>(static_cast<DWORD>(code)), error);
    return injected;
}

bool StepTimer(const Step& step, std::string* error) {
    const std::vector<std::string>& w = step.words;
    MachineLock lock = LockMachine();
    TimerSettings& timers = Timers();
    if (w.size() == 3 && w[1] == "caps" && w[2] == "fail") {
        timers.capsFail = true;
        return true;
    }
    if (w.size() == 3 && w[1] == "set" && w[2] == "fails") {
        timers.setFails = true;
        return true;
    }
    std::vector<std::pair<std::string, std::uint64_t>> settings;
    if (w.size() >= 3 && w[1] == "caps") {
        if (!ParseStepSettings(step.words, 2, {"min", "max"}, &settings, error))
            return false;
        for (auto& [name, value] : settings) {
            if (value > 0xFFFFFFFFull) {
                *error = "value does not fit 32 bits";
                return false;
            }
            (name == "min" ? timers.periodMin : timers.periodMax) = static_cast<UINT>(value);
        }
        timers.capsFail = false;
        return true;
    }
    *error = "expected 'timer caps min=N max=N', 'timer caps fail' or 'timer set fails'";
    return false;
}

} // namespace hosted
