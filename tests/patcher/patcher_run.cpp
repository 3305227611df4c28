#include "patcher_run.h"

#include <cstdlib>
#include <sys/wait.h>

PatcherRun RunPatcher(const TempDir& dir, const std::string& shellPrefix) {
    // The output goes elsewhere, so that the patcher's directory holds only
    // the files the test put there and the ones the patcher made.
    TempDir outputDir;
    std::string command = "cd '" + dir.path() + "' && " + shellPrefix + "'" PATCHER_EXE "' >'" +
                          outputDir.File("output.txt") + "'";
    int status = std::system(command.c_str());
    PatcherRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.output = outputDir.Read("output.txt");
    return run;
}
