// One scenario step and the table of step kinds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace hosted {

struct Step {
    int line = 0;
    std::vector<std::string> words; // words[0] names the step
    std::string rest;               // the text after words[0] and words[1], for free text
};

// Carries out a step; false with a one-line reason when it is malformed or
// cannot be carried out now.
using StepHandler = bool (*)(const Step& step, std::string* error);

struct StepKind {
    const char* name;
    StepHandler handler;
};

const StepKind* FindStepKind(const std::string& name);

enum class StepOutcome {
    Done,
    Refused, // malformed or not possible now; nothing happened
    Stuck,   // the machine did not become quiet: the run cannot go on
};
// Carries out a step and waits until the machine is quiet, as a scenario
// run does every step.
StepOutcome CarryOutStep(const Step& step, std::string* error);

// Program control, owned by the runner.
bool RequestProgramStart(std::string* error);
bool ProgramRunning();
// Its WinMain has returned; no step can be carried out any more.
bool ProgramEnded();
// Waits until the machine is quiet; false with the watchdog's report when it
// does not become quiet in time.
bool SettleMachine(std::string* error);

bool StepClock(const Step&, std::string*);
bool StepDriver(const Step&, std::string*);
bool StepStart(const Step&, std::string*);
bool StepAdvance(const Step&, std::string*);
bool StepClick(const Step&, std::string*);
bool StepType(const Step&, std::string*);
bool StepSpin(const Step&, std::string*);
bool StepKey(const Step&, std::string*);
bool StepAnswer(const Step&, std::string*);
bool StepSnapshot(const Step&, std::string*);
bool StepSend(const Step&, std::string*);
bool StepRegistry(const Step&, std::string*);
bool StepSlot(const Step&, std::string*);
bool StepWheel(const Step&, std::string*);
bool StepKeyboard(const Step&, std::string*);
bool StepFail(const Step&, std::string*);
bool StepTimer(const Step&, std::string*);
bool StepPriority(const Step&, std::string*);
bool StepSyscommand(const Step&, std::string*);
bool StepMinimizeRestore(const Step&, std::string*);
bool StepSignal(const Step&, std::string*);

} // namespace hosted
