#include "platform_facts.h"

#include <windows.h>

std::string ProgramInBuildTree(const char* fileName) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string dir(path);
    for (int up = 0; up < 3; ++up)
        dir = dir.substr(0, dir.find_last_of("\\/"));
    return dir + "\\" + fileName;
}

// Wine's ntdll exports its version; Windows' does not.
bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}
