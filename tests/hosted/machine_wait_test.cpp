// The machine's one wait: critical sections, sleeps and thread ends under a
// moving virtual clock, and the watchdog's report of a thread that never
// blocks.
#include <atomic>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "core/machine.h"

namespace {

struct Contender {
    CRITICAL_SECTION* section;
    int rounds;
    DWORD holdMs;
    std::vector<DWORD>* entries; // GetTickCount on every entry, in entry order
    DWORD endedAt = 0;
};

DWORD WINAPI Contend(LPVOID parameter) {
    auto* contender = static_cast<Contender*>(parameter);
    for (int i = 0; i < contender->rounds; ++i) {
        EnterCriticalSection(contender->section);
        EnterCriticalSection(contender->section); // owners may enter again
        contender->entries->push_back(GetTickCount());
        Sleep(contender->holdMs);
        LeaveCriticalSection(contender->section);
        LeaveCriticalSection(contender->section);
    }
    contender->endedAt = GetTickCount();
    return 0;
}

// Runs the contenders to their end under the virtual clock; the latest end time.
DWORD RunContenders(std::vector<Contender>& contenders, std::int64_t advanceMs) {
    std::vector<HANDLE> threads;
    for (Contender& contender : contenders)
        threads.push_back(CreateThread(nullptr, 0, Contend, &contender, 0, nullptr));
    std::string report;
    EXPECT_TRUE(hosted::AdvanceVirtualClock(advanceMs, &report)) << report;
    EXPECT_EQ(WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, 0),
              WAIT_OBJECT_0);
    DWORD latest = 0;
    for (std::size_t i = 0; i < threads.size(); ++i) {
        CloseHandle(threads[i]);
        latest = std::max(latest, contenders[i].endedAt);
    }
    return latest;
}

TEST(MachineWait, ContendedCriticalSectionsLetTheClockAdvanceAndEndOnTime) {
    CRITICAL_SECTION section;
    InitializeCriticalSection(&section);
    DWORD start = GetTickCount();

    // One holder sleeps inside the section while another waits to enter.
    std::vector<DWORD> entries;
    std::vector<Contender> pair{{&section, 5, 100, &entries}, {&section, 5, 100, &entries}};
    EXPECT_EQ(RunContenders(pair, 1000), start + 1000);
    ASSERT_EQ(entries.size(), 10u);
    for (std::size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(entries[i], start + 100 * i) << "entry " << i; // never two holders at once

    // Three contenders, each holding it for 20 ms five times: 300 ms end to end.
    entries.clear();
    std::vector<Contender> three{
        {&section, 5, 20, &entries}, {&section, 5, 20, &entries}, {&section, 5, 20, &entries}};
    EXPECT_EQ(RunContenders(three, 2000), start + 1300);
    ASSERT_EQ(entries.size(), 15u);
    for (std::size_t i = 0; i < entries.size(); ++i)
        EXPECT_EQ(entries[i], start + 1000 + 20 * i) << "entry " << i;
    DeleteCriticalSection(&section);
}

std::atomic<bool> g_spin{true};

DWORD WINAPI Spin(LPVOID) {
    while (g_spin)
        ;
    return 0;
}

DWORD WINAPI SleepLong(LPVOID) {
    Sleep(5000);
    return 0;
}

TEST(MachineWait, TheWatchdogNamesTheBusyThreadAndWhatTheOthersWaitFor) {
    g_spin = true;
    std::string wakeAt = std::to_string(GetTickCount() + 5000);
    HANDLE sleeper = CreateThread(nullptr, 0, SleepLong, nullptr, 0, nullptr);
    HANDLE spinner = CreateThread(nullptr, 0, Spin, nullptr, 0, nullptr);
    std::string report;
    EXPECT_FALSE(hosted::WaitUntilQuiet(&report, 300));
    EXPECT_NE(report.find("did not become quiet within 300 ms"), std::string::npos) << report;
    EXPECT_NE(report.find("(CreateThread): running"), std::string::npos) << report;
    EXPECT_NE(report.find("(CreateThread): blocked in Sleep until " + wakeAt + " ms"),
              std::string::npos)
        << report;

    g_spin = false;
    EXPECT_EQ(WaitForSingleObject(spinner, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(hosted::AdvanceVirtualClock(5000, &report)) << report;
    EXPECT_EQ(WaitForSingleObject(sleeper, 0), WAIT_OBJECT_0);
    CloseHandle(spinner);
    CloseHandle(sleeper);
}

} // namespace
