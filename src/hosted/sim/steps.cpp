#include "sim/steps.h"

#include <cstring>

#include "testbed/step_words.h"

namespace hosted {
namespace {

const StepKind kSteps[] = {
    {"clock", StepClock},
    {"driver", StepDriver},
    {"start", StepStart},
    {"advance", StepAdvance},
    {"click", StepClick},
    {"key", StepKey},
    {"answer", StepAnswer},
    {"snapshot", StepSnapshot},
    {"send", StepSend},
    {"registry", StepRegistry},
    {"slot", StepSlot},
    {"wheel", StepWheel},
    {"keyboard", StepKeyboard},
    {"fail", StepFail},
    {"timer", StepTimer},
    {"priority", StepPriority},
    {"syscommand", StepSyscommand},
    {"minimize", StepMinimizeRestore},
    {"restore", StepMinimizeRestore},
    {"type", StepType},
    {"spin", StepSpin},
    {"signal", StepSignal},
};

} // namespace

const StepKind* FindStepKind(const std::string& name) {
    for (const StepKind& kind : kSteps)
        if (name == kind.name)
            return &kind;
    return nullptr;
}

bool ParseSettings(const Step& step, std::size_t skip, const std::vector<std::string>& allowed,
                   std::vector<std::pair<std::string, std::uint64_t>>* settings,
                   std::string* error) {
    for (std::size_t i = skip; i < step.words.size(); ++i) {
        const std::string& word = step.words[i];
        std::size_t equals = word.find('=');
        std::string name = word.substr(0, equals);
        bool known = false;
        for (const std::string& candidate : allowed)
            known = known || candidate == name;
        std::uint64_t value = 0;
        if (equals == std::string::npos || !known ||
            !ParseNumber(word.substr(equals + 1), &value)) {
            *error = "unexpected '" + word + "'";
            return false;
        }
        settings->emplace_back(name, value);
    }
    return true;
}

} // namespace hosted
