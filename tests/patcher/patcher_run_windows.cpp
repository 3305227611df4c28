#include "patcher_run.h"

#include <windows.h>

#include "platform_facts.h"

// Windows has no shell in between: the patcher starts directly, its
// standard output going to a file.
PatcherRun RunPatcher(const TempDir& dir, const std::string& shellPrefix) {
    PatcherRun run;
    if (!shellPrefix.empty())
        return run;
    TempDir outputDir;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE output =
        CreateFileA(outputDir.File("output.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE)
        return run;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    std::string exe = ProgramInBuildTree("PATCHER.EXE");
    if (CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, TRUE, 0, nullptr, dir.path().c_str(),
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        run.exitCode = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(output);
    // The console's text mode ends each line with CR LF.
    std::string text = outputDir.Read("output.txt");
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.erase(at, 1);
    run.output = text;
    return run;
}
