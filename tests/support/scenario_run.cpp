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

std::string WithoutGameDeviceSetUp(const std::string& text) {
    static const char* const kSetUp[] = {"JoyConfig", "DIConfig #", "Init: device# ",
                                         "No DIDevice created."};
    std::string kept;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string line = text.substr(at, end - at);
        bool setUp = false;
        for (const char* marker : kSetUp)
            setUp = setUp || line.find(marker) != std::string::npos;
        if (!setUp)
            kept += line;
        at = end;
    }
    return kept;
}
