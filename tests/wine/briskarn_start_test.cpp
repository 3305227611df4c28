// BRISKARN.EXE started on a Windows without the companion driver: one box
// with the system's error code, then the failure line in the log.
#include <gtest/gtest.h>

#include <string>

#include <windows.h>

#include "platform_facts.h"
#include "temp_dir.h"

namespace {

HWND WaitForWindow(const char* caption, DWORD process, int tries) {
    for (int i = 0; i < tries; ++i) {
        HWND window = FindWindowA("#32770", caption);
        DWORD owner = 0;
        if (window && GetWindowThreadProcessId(window, &owner) && owner == process)
            return window;
        Sleep(100);
    }
    return nullptr;
}

} // namespace

TEST(BriskarnUnderWindows, MissingDriverShowsTheErrorBoxAndLogsTheFailure) {
    TempDir dir;
    std::string exe = ProgramInBuildTree("BRISKARN.EXE");
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                               dir.path().c_str(), &startup, &process))
        << exe << ": error " << GetLastError();

    HWND box = WaitForWindow("BRISKARN", process.dwProcessId, 300);
    ASSERT_NE(box, nullptr) << "no message box captioned BRISKARN";
    char text[256] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    // Opening a device with creation disposition 0 fails with
    // ERROR_INVALID_PARAMETER when no driver answers the name.
    EXPECT_STREQ(text, "Failed to load device BRISKARN.VXD, errcode = 57 (87).");
    PostMessageA(box, WM_COMMAND, IDOK, 0);

    ASSERT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    const std::string kStart = "Program start. DIReq =  500.\n", kFailure = "Failed to load VXD.\n";
    const std::size_t kPrefix = 27;
    std::string log = dir.Read("Briskarn.log");
    ASSERT_EQ(log.size(), 2 * kPrefix + kStart.size() + kFailure.size()) << log;
    EXPECT_EQ(log.substr(kPrefix, kStart.size()), kStart);
    EXPECT_EQ(log.substr(2 * kPrefix + kStart.size()), kFailure);
}
