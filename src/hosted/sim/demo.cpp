#include "sim/demo.h"

#include "resources/resource.h"
#include "sim/runner.h"
#include "sim/wheel_pose.h"

namespace hosted {

// The main dialog's Enable and Close buttons, as a user finds them.
constexpr int kEnableButton = IDC_ENABLE;
constexpr int kCloseButton = IDOK;

bool CheckMachineText(const std::string& machine, std::string* reason) {
    for (const Step& step : ParseScenario(machine))
        if (step.words[0] == "start" || step.words[0] == "signal") {
            *reason = "line " + std::to_string(step.line) +
                      ": a machine description holds set-up steps only; the program is "
                      "started after them";
            return false;
        }
    return true;
}

std::string DemoScenario(const std::string& machine, int seconds) {
    std::string text = machine;
    if (!text.empty() && text.back() != '\n')
        text += '\n';
    text += "start\nclick " + std::to_string(kEnableButton) + "\n";
    WheelPose pose;
    for (std::int64_t ms = 0; ms < seconds * 1000; ms += kAutopilotPeriodMs) {
        WheelPose next = AutopilotPose(ms);
        std::string line = WheelStepLine(0, pose, next);
        if (!line.empty())
            text += line + "\n";
        text += "advance " + std::to_string(kAutopilotPeriodMs) + "ms\n";
        pose = next;
    }
    text += "snapshot\nclick " + std::to_string(kCloseButton) + "\n";
    return text;
}

} // namespace hosted
