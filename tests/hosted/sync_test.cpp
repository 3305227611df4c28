// Events, waits and threads as the input engine uses them: auto-reset
// events that one wait consumes, named events shared by name, waits for any
// or all of several objects, thread handles that are signalled when the
// thread ends, and the exit code queried until the thread has ended.
#include <gtest/gtest.h>

#include <windows.h>

#include "test_windows.h"

namespace {

DWORD Poll(HANDLE object) {
    return WaitForSingleObject(object, 0);
}

TEST(Events, AnAutoResetEventWakesOneWaitAndAManualResetOneStaysSignalled) {
    struct Case {
        BOOL manualReset, initiallySet;
        DWORD first, afterSet, afterThat;
    };
    const Case kCases[] = {
        {FALSE, FALSE, WAIT_TIMEOUT, WAIT_OBJECT_0, WAIT_TIMEOUT},
        {FALSE, TRUE, WAIT_OBJECT_0, WAIT_OBJECT_0, WAIT_TIMEOUT},
        {TRUE, FALSE, WAIT_TIMEOUT, WAIT_OBJECT_0, WAIT_OBJECT_0},
        {TRUE, TRUE, WAIT_OBJECT_0, WAIT_OBJECT_0, WAIT_OBJECT_0},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message()
                     << "manual reset " << c.manualReset << ", initially set " << c.initiallySet);
        HANDLE event = CreateEventA(nullptr, c.manualReset, c.initiallySet, nullptr);
        ASSERT_NE(event, nullptr);
        EXPECT_EQ(Poll(event), c.first);
        ASSERT_TRUE(SetEvent(event));
        ASSERT_TRUE(SetEvent(event)) << "setting a set event changes nothing";
        EXPECT_EQ(Poll(event), c.afterSet);
        EXPECT_EQ(Poll(event), c.afterThat);
        EXPECT_TRUE(CloseHandle(event));
    }
}

TEST(Events, NamedEventsAreSharedByNameWhileAHandleIsOpen) {
    const char kName[] = "BRISKARN-TEST-SHARED-EVENT";
    SetLastError(ERROR_INVALID_FUNCTION);
    HANDLE first = CreateEventA(nullptr, FALSE, FALSE, kName);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));

    // The second creation opens the first one's event: its own reset mode
    // and initial state are ignored.
    HANDLE second = CreateEventA(nullptr, TRUE, TRUE, kName);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_NE(second, first);
    EXPECT_EQ(Poll(second), WAIT_TIMEOUT);
    ASSERT_TRUE(SetEvent(first));
    EXPECT_EQ(Poll(second), WAIT_OBJECT_0);
    EXPECT_EQ(Poll(first), WAIT_TIMEOUT) << "still auto-reset: one wait took it";

    // Other names and unnamed events are other events.
    HANDLE other = CreateEventA(nullptr, FALSE, FALSE, "BRISKARN-TEST-OTHER-EVENT");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    HANDLE unnamed1 = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE unnamed2 = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_TRUE(SetEvent(other));
    ASSERT_TRUE(SetEvent(unnamed1));
    EXPECT_EQ(Poll(first), WAIT_TIMEOUT);
    EXPECT_EQ(Poll(unnamed2), WAIT_TIMEOUT);
    for (HANDLE handle : {other, unnamed1, unnamed2})
        EXPECT_TRUE(CloseHandle(handle));

    // Once every handle is closed the name is free, and a new event takes it.
    EXPECT_TRUE(CloseHandle(first));
    EXPECT_TRUE(CloseHandle(second));
    HANDLE again = CreateEventA(nullptr, TRUE, TRUE, kName);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(Poll(again), WAIT_OBJECT_0);
    EXPECT_EQ(Poll(again), WAIT_OBJECT_0);
    EXPECT_TRUE(CloseHandle(again));
}

TEST(Events, ClosedHandlesCanNeitherBeWaitedForNorClosedAgain) {
    HANDLE event = CreateEventA(nullptr, FALSE, TRUE, nullptr);
    ASSERT_TRUE(CloseHandle(event));
    EXPECT_EQ(Poll(event), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(SetEvent(event));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(CloseHandle(event));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(Waits, WaitingForAnyTakesTheFirstSignalledObjectAndWaitingForAllTakesAllOrNone) {
    HANDLE events[3];
    for (HANDLE& event : events)
        event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    auto any = [&] { return WaitForMultipleObjects(3, events, FALSE, 0); };
    auto all = [&] { return WaitForMultipleObjects(3, events, TRUE, 0); };

    EXPECT_EQ(any(), WAIT_TIMEOUT);
    SetEvent(events[2]);
    EXPECT_EQ(any(), WAIT_OBJECT_0 + 2);
    EXPECT_EQ(any(), WAIT_TIMEOUT) << "the wait took the event it returned";

    // Of several signalled objects the lowest index wins and only it is taken.
    SetEvent(events[2]);
    SetEvent(events[1]);
    EXPECT_EQ(any(), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(any(), WAIT_OBJECT_0 + 2);
    EXPECT_EQ(any(), WAIT_TIMEOUT);

    // Waiting for all takes none while one is missing.
    SetEvent(events[0]);
    SetEvent(events[1]);
    EXPECT_EQ(all(), WAIT_TIMEOUT);
    EXPECT_EQ(Poll(events[1]), WAIT_OBJECT_0) << "the failed wait for all took nothing";
    SetEvent(events[1]);
    SetEvent(events[2]);
    EXPECT_EQ(all(), WAIT_OBJECT_0);
    EXPECT_EQ(any(), WAIT_TIMEOUT) << "the wait for all took every one";

    for (HANDLE event : events)
        CloseHandle(event);
}

DWORD WINAPI ReturnWhenSet(LPVOID event) {
    return WaitForSingleObject(static_cast<HANDLE>(event), INFINITE) == WAIT_OBJECT_0 ? 1234 : 1;
}

TEST(Threads, AThreadHandleIsSignalledWhenTheThreadEndsAndKeepsTheExitCode) {
    Event go;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, ReturnWhenSet, static_cast<HANDLE>(go), 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, GetCurrentThreadId());

    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_EQ(Poll(thread), WAIT_TIMEOUT);

    // A thread and an event in one wait: the event is the one signalled.
    Event other;
    SetEvent(other);
    HANDLE both[] = {thread, other};
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, INFINITE), WAIT_OBJECT_0 + 1);

    SetEvent(go);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(Poll(thread), WAIT_OBJECT_0) << "an ended thread stays signalled";
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 1234u);
    EXPECT_TRUE(CloseHandle(thread));
}

TEST(Threads, QueryingTheExitCodeAgainAndAgainSeesTheThreadEnd) {
    // The input engine's teardown waits for its worker this way, without sleeping.
    Event go;
    Thread thread(ReturnWhenSet, static_cast<HANDLE>(go));
    SetEvent(go);
    DWORD code = STILL_ACTIVE;
    while (GetExitCodeThread(thread.handle(), &code) && code == STILL_ACTIVE) {
    }
    EXPECT_EQ(code, 1234u);
}

TEST(Threads, TheCurrentProcessAndThreadHaveTheirPseudoHandles) {
    // Valid in the calling process or thread only, and never closed.
    EXPECT_EQ(GetCurrentProcess(), reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)));
    EXPECT_EQ(GetCurrentThread(), reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-2)));
}

} // namespace
