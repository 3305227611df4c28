#include "sim/steps.h"

#include <cstring>

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

bool ParseNumber(const std::string& text, std::uint64_t* value) {
    bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    std::size_t start = hex ? 2 : 0;
    if (text.size() <= start)
        return false;
    std::uint64_t result = 0;
    for (std::size_t i = start; i < text.size(); ++i) {
        char c = text[i];
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (hex && c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (hex && c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
        std::uint64_t next = result * (hex ? 16 : 10) + digit;
        if (next / (hex ? 16 : 10) != result)
            return false;
        result = next;
    }
    *value = result;
    return true;
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
