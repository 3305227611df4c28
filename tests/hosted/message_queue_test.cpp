// A thread's message queue as GetMessageA and PeekMessageA show it to the
// thread that owns the windows: posted messages in the order posted, a
// message sent from the same thread handled at once, WM_QUIT only after every
// posted message, and peeking with and without removing.
#include <gtest/gtest.h>

#include <vector>

#include <windows.h>

#include "resources/resource.h"
#include "test_windows.h"

namespace {

// What the dialog procedure was given, in order; only the test's thread runs it.
std::vector<UINT> g_handled;

INT_PTR CALLBACK RecordTestMessages(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message >= kTestMessage && message < kTestMessage + 10) {
        g_handled.push_back(message);
        return Answer(dialog, static_cast<LRESULT>(wParam) + 1);
    }
    return message == WM_INITDIALOG;
}

struct QueueTest : testing::Test {
    QueueTest() {
        DiscardPostedMessages();
        g_handled.clear();
    }
    ~QueueTest() override { DiscardPostedMessages(); }
    ModelessDialog dialog{IDD_ABOUTBOX, RecordTestMessages};
};

TEST_F(QueueTest, PostedMessagesComeOutInTheOrderTheyWerePostedAndWaitForDispatch) {
    ASSERT_NE(dialog.window(), nullptr);
    for (UINT i = 0; i < 5; ++i)
        ASSERT_TRUE(PostMessageA(dialog.window(), kTestMessage + i, i, 100 + i));
    EXPECT_TRUE(g_handled.empty()) << "posting calls no procedure";
    for (UINT i = 0; i < 5; ++i) {
        MSG msg{};
        ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
        EXPECT_EQ(msg.hwnd, dialog.window());
        EXPECT_EQ(msg.message, kTestMessage + i);
        EXPECT_EQ(msg.wParam, i);
        EXPECT_EQ(msg.lParam, static_cast<LPARAM>(100 + i));
        EXPECT_EQ(DispatchMessageA(&msg), static_cast<LRESULT>(i) + 1);
    }
    EXPECT_EQ(g_handled, (std::vector<UINT>{kTestMessage, kTestMessage + 1, kTestMessage + 2,
                                            kTestMessage + 3, kTestMessage + 4}));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    // A window that does not exist takes no message.
    HWND gone;
    {
        ModelessDialog other(IDD_ABOUTBOX, RecordTestMessages);
        gone = other.window();
    }
    EXPECT_FALSE(PostMessageA(gone, kTestMessage, 0, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(QueueTest, AMessageSentOnTheWindowsOwnThreadIsHandledAtOnceAheadOfPostedOnes) {
    ASSERT_TRUE(PostMessageA(dialog.window(), kTestMessage, 0, 0));
    EXPECT_EQ(SendMessageA(dialog.window(), kTestMessage + 1, 41, 0), 42);
    EXPECT_EQ(g_handled, (std::vector<UINT>{kTestMessage + 1}));
    MSG msg{};
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, kTestMessage);
}

TEST_F(QueueTest, QuitComesAfterEveryPostedMessageAndEndsGetMessage) {
    ASSERT_TRUE(PostMessageA(dialog.window(), kTestMessage, 0, 0));
    PostQuitMessage(3);
    ASSERT_TRUE(PostMessageA(dialog.window(), kTestMessage + 1, 0, 0));
    MSG msg{};
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, kTestMessage);
    ASSERT_TRUE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, kTestMessage + 1) << "posted after the quit, still before it";
    EXPECT_FALSE(GetMessageA(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << "one quit, taken once";
}

TEST_F(QueueTest, PeekingWithoutRemovingLeavesTheMessageForTheNextCall) {
    ASSERT_TRUE(PostMessageA(dialog.window(), kTestMessage, 7, 0));
    ASSERT_TRUE(PostMessageA(dialog.window(), kTestMessage + 1, 8, 0));
    struct Peek {
        UINT remove;
        UINT message; // 0: nothing there
    };
    const Peek kPeeks[] = {
        {PM_NOREMOVE, kTestMessage},
        {PM_NOREMOVE, kTestMessage},
        {PM_REMOVE, kTestMessage},
        {PM_NOREMOVE, kTestMessage + 1},
        {PM_REMOVE, kTestMessage + 1},
        {PM_NOREMOVE, 0},
        {PM_REMOVE, 0},
    };
    for (std::size_t i = 0; i < sizeof kPeeks / sizeof kPeeks[0]; ++i) {
        MSG msg{};
        BOOL found = PeekMessageA(&msg, nullptr, 0, 0, kPeeks[i].remove);
        EXPECT_EQ(found != FALSE, kPeeks[i].message != 0) << "peek " << i;
        if (found) {
            EXPECT_EQ(msg.message, kPeeks[i].message) << "peek " << i;
        }
    }
    EXPECT_TRUE(g_handled.empty()) << "peeking dispatches nothing posted";

    // The quit, too, stays until it is removed.
    PostQuitMessage(5);
    for (UINT remove : {PM_NOREMOVE, PM_REMOVE}) {
        MSG msg{};
        ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, remove)) << "remove " << remove;
        EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
        EXPECT_EQ(msg.wParam, 5u);
    }
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

} // namespace
