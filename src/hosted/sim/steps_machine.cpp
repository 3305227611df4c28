// Scenario steps that set up or change the simulated machine itself.
#include "core/clock.h"
#include "sim/driver_device.h"
#include "core/machine.h"
#include "kernel/priority.h"
#include "sim/ending_signals.h"
#include "sim/run_end.h"
#include "sim/steps.h"
#include "testbed/step_words.h"

namespace hosted {

bool StepClock(const Step& step, std::string* error) {
    SYSTEMTIME time;
    if (step.words.size() != 3 ||
        !ParseLocalTime((step.words[1] + " " + step.words[2]).c_str(), &time)) {
        *error = "expected 'clock YYYY-MM-DD HH:MM:SS.mmm'";
        return false;
    }
    MachineLock lock = LockMachine();
    SetLocalTimeBase(time);
    return true;
}

bool StepDriver(const Step& step, std::string* error) {
    const std::string verb = step.words.size() > 1 ? step.words[1] : "";
    std::vector<std::pair<std::string, std::uint64_t>> settings;
    MachineLock lock = LockMachine();
    DriverSettings& driver = Driver();
    auto checked = [&](std::uint64_t value, DWORD* field) {
        if (value > 0xFFFFFFFFu) {
            *error = "value does not fit 32 bits";
            return false;
        }
        *field = static_cast<DWORD>(value);
        return true;
    };
    if (verb == "absent") {
        if (!ParseStepSettings(step.words, 2, {"error"}, &settings, error))
            return false;
        driver.present = false;
        driver.openError = ERROR_FILE_NOT_FOUND;
        for (auto& [name, value] : settings)
            if (!checked(value, &driver.openError))
                return false;
        return true;
    }
    if (verb == "present" || verb == "set") {
        if (!ParseStepSettings(step.words, 2, {"gamemax", "count", "rate"}, &settings, error))
            return false;
        if (verb == "set" && settings.empty()) {
            *error = "expected 'driver set gamemax=N', 'count=N' or 'rate=N'";
            return false;
        }
        if (verb == "present") {
            driver = DriverSettings{};
            driver.present = true;
            SetDriverCount(0);
        }
        for (auto& [name, value] : settings) {
            DWORD number = 0;
            if (!checked(value, &number))
                return false;
            if (name == "gamemax") {
                driver.gameMax = number;
            } else if (name == "count") {
                SetDriverCount(number);
            } else { // a new rate counts on from the count reached so far
                DWORD reached = CurrentDriverCount();
                driver.rate = number;
                SetDriverCount(reached);
            }
        }
        return true;
    }
    if (verb == "refuse" && step.words.size() == 3) {
        const std::string& what = step.words[2];
        if (what == "read")
            driver.refuseRead = true;
        else if (what == "write")
            driver.refuseWrite = true;
        else if (what == "none")
            driver.refuseRead = driver.refuseWrite = false;
        else {
            *error = "expected 'driver refuse read', 'write' or 'none'";
            return false;
        }
        return true;
    }
    *error = "expected 'driver absent', 'present', 'set' or 'refuse'";
    return false;
}

bool StepPriority(const Step& step, std::string* error) {
    const std::vector<std::string>& w = step.words;
    if (w.size() != 3 || (w[1] != "class" && w[1] != "thread") || w[2] != "fails") {
        *error = "expected 'priority class fails' or 'priority thread fails'";
        return false;
    }
    MachineLock lock = LockMachine();
    (w[1] == "class" ? Priorities().classFails : Priorities().threadFails) = true;
    return true;
}

// The process got the signal: a recording ends so when a person's Ctrl-C,
// a kill or a crash ended the session, and its replay ends there too.
bool StepSignal(const Step& step, std::string* error) {
    const EndingSignal* signal =
        step.words.size() == 2 ? FindEndingSignal(step.words[1].c_str()) : nullptr;
    if (!signal) {
        *error = "expected 'signal NAME' with a signal that ends a process, e.g. INT, TERM, KILL";
        return false;
    }
    NoteRunEndedBySignal(signal->number);
    return true;
}

} // namespace hosted
