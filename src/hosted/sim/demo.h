// The demo machine that ships with the hosted program (machines/demo.txt,
// built in), and the demo run of a session without a terminal.
#pragma once

#include <string>

namespace hosted {

extern const char kDemoMachine[];

// False with the reason when a machine description holds a step that is no
// set-up step (the program is started after it, not by it).
bool CheckMachineText(const std::string& machine, std::string* reason);

// The scenario of a run without a terminal: the machine, the program
// started, forwarding switched on with Enable, `seconds` of the autopilot
// steering the wheel in slot 0, the dialog's controls written down, Close.
std::string DemoScenario(const std::string& machine, int seconds);

} // namespace hosted
