#include "scenario_run.h"

#include <cstdlib>
#include <sys/wait.h>

ScenarioRun RunScenario(const TempDir& dir, const std::string& scenario) {
    dir.Write("scenario.txt", scenario);
    std::string command = "cd '" + dir.path() +
                          "' && '" BRISKARN_EXE
                          "' --scenario scenario.txt --transcript transcript.txt 2>errors.txt";
    int status = std::system(command.c_str());
    ScenarioRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.transcript = dir.Read("transcript.txt");
    run.errors = dir.Read("errors.txt");
    run.dir = &dir;
    return run;
}

int RunBriskarn(const TempDir& dir, const std::string& arguments, std::string* errors) {
    std::string command =
        "cd '" + dir.path() + "' && '" BRISKARN_EXE "' " + arguments + " 2>errors.txt";
    int status = std::system(command.c_str());
    *errors = dir.Read("errors.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
