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

} // namespace hosted
