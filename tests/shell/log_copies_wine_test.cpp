// Briskarn.log written by many copies of the program at once, each in its
// own process of a real Win32 (under Wine), all in one folder. Started with
// --log-copy, this program is one such copy instead of the tests.
#include <cstring>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "base/log.h"
#include "log_prefix.h"
#include "temp_dir.h"

namespace {

const int kCopies = 20;
// Entries a copy writes after its start line, so that the copies' writes
// overlap however the system schedules them.
const int kEntriesAfterStart = 20;
const char kStartLine[] = "Program start. DIReq =  500.";
const DWORD kBoundMs = 60000;

// A copy: tells that it is there, waits for the start signal that all the
// copies share, and writes its entries.
int RunCopy(const char* readyName, const char* goName, const char* number) {
    HANDLE ready = ::OpenSemaphoreA(SEMAPHORE_MODIFY_STATE, FALSE, readyName);
    HANDLE go = ::OpenEventA(SYNCHRONIZE, FALSE, goName);
    if (!ready || !go)
        return 100;
    ::ReleaseSemaphore(ready, 1, nullptr);
    if (::WaitForSingleObject(go, kBoundMs) != WAIT_OBJECT_0)
        return 101;
    WriteLog((std::string(kStartLine) + "\n").c_str());
    for (int i = 0; i < kEntriesAfterStart; ++i)
        WriteLog(("Copy " + std::string(number) + " entry " + std::to_string(i) + ".\n").c_str());
    return 0;
}

} // namespace

TEST(LogCopiesUnderWindows, TwentyCopiesStartedAtOnceInOneFolderWriteWholeLines) {
    TempDir dir;
    std::string prefix = "BriskarnLogCopy-" + std::to_string(::GetCurrentProcessId());
    std::string readyName = prefix + "-ready", goName = prefix + "-go";
    HANDLE ready = ::CreateSemaphoreA(nullptr, 0, kCopies, readyName.c_str());
    HANDLE go = ::CreateEventA(nullptr, TRUE, FALSE, goName.c_str());
    ASSERT_TRUE(ready && go);
    char self[MAX_PATH];
    ::GetModuleFileNameA(nullptr, self, sizeof self);
    std::vector<HANDLE> copies;
    for (int copy = 0; copy < kCopies; ++copy) {
        std::string command = std::string("\"") + self + "\" --log-copy " + readyName + " " +
                              goName + " " + std::to_string(copy);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(::CreateProcessA(self, &command[0], nullptr, nullptr, FALSE, 0, nullptr,
                                     dir.path().c_str(), &startup, &process))
            << "error " << ::GetLastError();
        ::CloseHandle(process.hThread);
        copies.push_back(process.hProcess);
    }
    for (int copy = 0; copy < kCopies; ++copy)
        ASSERT_EQ(::WaitForSingleObject(ready, kBoundMs), WAIT_OBJECT_0) << copy << " copies ready";
    ::SetEvent(go);
    for (HANDLE copy : copies) {
        EXPECT_EQ(::WaitForSingleObject(copy, kBoundMs), WAIT_OBJECT_0);
        DWORD code = 1;
        ::GetExitCodeProcess(copy, &code);
        EXPECT_EQ(code, 0u);
        ::CloseHandle(copy);
    }
    ::CloseHandle(go);
    ::CloseHandle(ready);

    std::map<std::string, int> texts;
    std::istringstream log(dir.Read("Briskarn.log"));
    for (std::string line; std::getline(log, line);) {
        EXPECT_TRUE(StartsWithLogPrefix(line)) << line;
        ++texts[line.substr(kLogPrefixLength)];
    }
    std::map<std::string, int> expected{{kStartLine, kCopies}};
    for (int copy = 0; copy < kCopies; ++copy)
        for (int i = 0; i < kEntriesAfterStart; ++i)
            expected["Copy " + std::to_string(copy) + " entry " + std::to_string(i) + "."] = 1;
    EXPECT_EQ(texts, expected);
}

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--log-copy") == 0)
        return RunCopy(argv[2], argv[3], argv[4]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
