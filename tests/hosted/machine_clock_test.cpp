// What only the simulated machine shows: timed waits and sleeps end exactly
// at their virtual deadline, an INFINITE wait outlasts any advance, quiet
// means every program thread blocked, and the order of sent and posted
// messages that needs quiet to be set up: a send pending while messages are
// posted, a send pending when the window's thread ends.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include <windows.h>

#include "core/machine.h"
#include "resources/resource.h"
#include "test_windows.h"

namespace {

DWORD Ticks() {
    return GetTickCount();
}

bool Advance(std::int64_t ms) {
    std::string report;
    bool quiet = hosted::AdvanceVirtualClock(ms, &report);
    EXPECT_TRUE(quiet) << report;
    return quiet;
}

bool Settle() {
    std::string report;
    bool quiet = hosted::WaitUntilQuiet(&report);
    EXPECT_TRUE(quiet) << report;
    return quiet;
}

bool Running(HANDLE thread) {
    return WaitForSingleObject(thread, 0) == WAIT_TIMEOUT;
}

// Events nobody sets.
HANDLE g_never[2];

// One timed wait on a thread of its own, with the tick count when it returned.
struct TimedWait {
    const char* what;
    DWORD timeout;
    DWORD result = 0;
    std::atomic<DWORD> returnedAt{0};
};

DWORD WINAPI WaitOnce(LPVOID parameter) {
    auto* wait = static_cast<TimedWait*>(parameter);
    std::string what = wait->what;
    if (what == "Sleep") {
        Sleep(wait->timeout);
        wait->result = WAIT_OBJECT_0;
    } else if (what == "WaitForSingleObject") {
        wait->result = WaitForSingleObject(g_never[0], wait->timeout);
    } else {
        wait->result =
            WaitForMultipleObjects(2, g_never, what == "WaitForMultipleObjects all", wait->timeout);
    }
    wait->returnedAt = GetTickCount();
    return 0;
}

TEST(VirtualClock, TimedWaitsAndSleepsEndExactlyAtTheirDeadline) {
    Event never0, never1;
    g_never[0] = never0;
    g_never[1] = never1;
    DWORD start = Ticks();
    TimedWait waits[] = {
        {"Sleep", 0},
        {"Sleep", 70},
        {"WaitForSingleObject", 100},
        {"WaitForMultipleObjects any", 250},
        {"WaitForMultipleObjects all", 251},
    };
    std::vector<HANDLE> threads;
    for (TimedWait& wait : waits)
        threads.push_back(CreateThread(nullptr, 0, WaitOnce, &wait, 0, nullptr));
    ASSERT_TRUE(Settle());
    DWORD now = start;
    for (std::size_t i = 0; i < threads.size(); ++i) {
        SCOPED_TRACE(testing::Message() << waits[i].what << " " << waits[i].timeout << " ms");
        // One millisecond short of the deadline it still waits.
        if (start + waits[i].timeout > now + 1) {
            ASSERT_TRUE(Advance(start + waits[i].timeout - 1 - now));
            EXPECT_TRUE(Running(threads[i]));
            now = start + waits[i].timeout - 1;
        }
        ASSERT_TRUE(Advance(start + waits[i].timeout - now));
        now = start + waits[i].timeout;
        EXPECT_FALSE(Running(threads[i]));
        EXPECT_EQ(waits[i].returnedAt, now);
        EXPECT_EQ(waits[i].result,
                  waits[i].what == std::string("Sleep") ? WAIT_OBJECT_0 : WAIT_TIMEOUT);
        for (std::size_t later = i + 1; later < threads.size(); ++later)
            EXPECT_TRUE(Running(threads[later])) << waits[later].what;
    }
    for (HANDLE thread : threads)
        CloseHandle(thread);
}

DWORD WINAPI WaitForever(LPVOID event) {
    DWORD result = WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
    return result == WAIT_OBJECT_0 ? GetTickCount() : 0;
}

TEST(VirtualClock, AnInfiniteWaitOutlastsAnyAdvanceAndEndsWhenSignalled) {
    Event go;
    Thread thread(WaitForever, static_cast<HANDLE>(go));
    ASSERT_TRUE(Settle());
    {
        hosted::MachineLock lock = hosted::LockMachine();
        EXPECT_EQ(hosted::NextDueTime(), -1) << "nothing is due to wake";
    }
    DWORD start = Ticks();
    ASSERT_TRUE(Advance(1000000));
    EXPECT_TRUE(Running(thread.handle()));
    SetEvent(go);
    EXPECT_EQ(thread.Join(), start + 1000000) << "it woke at once, with the clock where it was";
}

// A sleeper that notes when it started and when each of its sleeps ended.
struct Sleeper {
    std::vector<DWORD> sleeps;
    std::atomic<bool> started{false};
    std::vector<DWORD> wokeAt;  // read only after the thread has ended
    HANDLE wakeAfter = nullptr; // signalled after the last sleep, when set
};

DWORD WINAPI SleepInTurn(LPVOID parameter) {
    auto* sleeper = static_cast<Sleeper*>(parameter);
    sleeper->started = true;
    for (DWORD ms : sleeper->sleeps) {
        Sleep(ms);
        sleeper->wokeAt.push_back(GetTickCount());
    }
    if (sleeper->wakeAfter)
        SetEvent(sleeper->wakeAfter);
    return 0;
}

TEST(Quiet, ComesOnlyWhenEveryThreadIsBlockedAndEachSleeperWakesOnTime) {
    Event chained;
    Sleeper sleepers[4];
    sleepers[0].sleeps = {30};
    sleepers[1].sleeps = {10};
    sleepers[2].sleeps = {20};
    sleepers[3].sleeps = {10, 15};
    sleepers[3].wakeAfter = chained;
    DWORD start = Ticks();
    std::vector<HANDLE> threads;
    for (Sleeper& sleeper : sleepers)
        threads.push_back(CreateThread(nullptr, 0, SleepInTurn, &sleeper, 0, nullptr));
    // Woken by a sleeper, at that sleeper's time.
    Thread waiter(WaitForever, static_cast<HANDLE>(chained));

    ASSERT_TRUE(Settle());
    for (Sleeper& sleeper : sleepers)
        EXPECT_TRUE(sleeper.started) << "quiet before every thread had blocked";
    {
        hosted::MachineLock lock = hosted::LockMachine();
        EXPECT_EQ(hosted::NextDueTime(), start + 10);
    }
    ASSERT_TRUE(Advance(100));
    EXPECT_EQ(Ticks(), start + 100);
    ASSERT_EQ(WaitForMultipleObjects(4, threads.data(), TRUE, 0), WAIT_OBJECT_0);
    const std::vector<DWORD> kWokeAt[] = {
        {start + 30}, {start + 10}, {start + 20}, {start + 10, start + 25}};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(sleepers[i].wokeAt, kWokeAt[i]) << "sleeper " << i;
        CloseHandle(threads[i]);
    }
    EXPECT_EQ(waiter.Join(), start + 25);
}

// Messages for a dialog on the test's thread, from other threads.
const UINT kPosted = kTestMessage;
const UINT kSent = kTestMessage + 1;

std::vector<UINT> g_handled; // only the test's thread runs the procedure

INT_PTR CALLBACK RecordTestMessages(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == kPosted || message == kSent) {
        g_handled.push_back(message);
        return Answer(dialog, 17);
    }
    return message == WM_INITDIALOG;
}

DWORD WINAPI PostThenSend(LPVOID window) {
    HWND target = static_cast<HWND>(window);
    PostMessageA(target, kPosted, 0, 0);
    return static_cast<DWORD>(SendMessageA(target, kSent, 0, 0));
}

TEST(SentMessages, APendingSendIsHandledBeforeMessagesPostedEarlier) {
    DiscardPostedMessages();
    ModelessDialog dialog(IDD_ABOUTBOX, RecordTestMessages);
    struct Case {
        const char* what;
        UINT remove; // PM_REMOVE or PM_NOREMOVE for PeekMessageA, or WM_QUIT for GetMessageA
    };
    const Case kCases[] = {{"GetMessageA", WM_QUIT},
                           {"PeekMessageA, removing", PM_REMOVE},
                           {"PeekMessageA, not removing", PM_NOREMOVE}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        g_handled.clear();
        Thread sender(PostThenSend, dialog.window());
        ASSERT_TRUE(Settle()); // the sender waits in SendMessageA
        MSG msg{};
        if (c.remove == WM_QUIT)
            ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
        else
            ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, c.remove));
        EXPECT_EQ(g_handled, std::vector<UINT>{kSent});
        EXPECT_EQ(msg.message, kPosted);
        EXPECT_EQ(sender.Join(), 17u);
        DiscardPostedMessages();
    }
}

struct Owner {
    Event ready;
    Event end;
    std::atomic<HWND> dialog{nullptr};
};

std::atomic<int> g_ownerHandled{0};

INT_PTR CALLBACK CountTestMessages(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (message == kSent) {
        ++g_ownerHandled;
        return Answer(dialog, 17);
    }
    return message == WM_INITDIALOG;
}

// Makes a dialog, then waits without looking at its messages, and ends.
DWORD WINAPI OwnWithoutPumping(LPVOID parameter) {
    auto* owner = static_cast<Owner*>(parameter);
    ModelessDialog dialog(IDD_ABOUTBOX, CountTestMessages);
    owner->dialog = dialog.window();
    SetEvent(owner->ready);
    WaitForSingleObject(owner->end, INFINITE);
    return 0;
}

DWORD WINAPI SendOnce(LPVOID window) {
    return static_cast<DWORD>(SendMessageA(static_cast<HWND>(window), kSent, 0, 0));
}

TEST(SentMessages, AThreadThatEndsAnswersTheSendsWaitingForItWithZero) {
    Owner owner;
    Thread ownerThread(OwnWithoutPumping, &owner);
    ASSERT_EQ(WaitForSingleObject(owner.ready, INFINITE), WAIT_OBJECT_0);
    Thread sender(SendOnce, owner.dialog.load());
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(Running(sender.handle())) << "the send waits for the window's thread";
    SetEvent(owner.end);
    EXPECT_EQ(sender.Join(), 0u);
    EXPECT_EQ(g_ownerHandled, 0) << "the window's procedure never saw it";
}

} // namespace
