// SendMessageA to a window of another thread, as the input engine uses it:
// the sender waits until the window's thread has handled the message and
// gets its answer; meanwhile it handles what is sent to itself; and the
// window's thread handles it wherever it waits for messages, in its own
// loop, in a modal dialog's loop or in a message box's.
#include <gtest/gtest.h>

#include <atomic>

#include <windows.h>

#include "resources/resource.h"
#include "test_windows.h"

namespace {

const UINT kTriple = kTestMessage;      // answers 3 * wParam
const UINT kAskBack = kTestMessage + 1; // sends kTriple to the window in lParam, answers that + 1
const UINT kEnd = kTestMessage + 2;     // ends the dialog or the thread's loop with wParam
const UINT kOpenBox = kTestMessage + 3; // opens a message box
const UINT kWhichActive = kTestMessage + 4; // answers the thread's active window

// The thread on which kTriple was last handled.
std::atomic<DWORD> g_tripledOn{0};

struct Peer {
    bool modal;
    Event ready{TRUE};
    Event boxOpening{TRUE};
    std::atomic<HWND> dialog{nullptr};
};

INT_PTR CALLBACK PeerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    Peer* peer = reinterpret_cast<Peer*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        peer = reinterpret_cast<Peer*>(lParam);
        if (peer) {
            peer->dialog = dialog;
            SetEvent(peer->ready);
        }
        return TRUE;
    case kTriple:
        g_tripledOn = GetCurrentThreadId();
        return Answer(dialog, 3 * static_cast<LRESULT>(wParam));
    case kAskBack:
        return Answer(dialog, SendMessageA(reinterpret_cast<HWND>(lParam), kTriple, wParam, 0) + 1);
    case kEnd:
        if (peer->modal)
            EndDialog(dialog, static_cast<INT_PTR>(wParam));
        else
            PostQuitMessage(static_cast<int>(wParam));
        return Answer(dialog, 1);
    case kOpenBox: {
        SetEvent(peer->boxOpening);
        int answer = MessageBoxA(dialog, "Continue?", "Peer", MB_OKCANCEL);
        EndDialog(dialog, answer);
        return TRUE;
    }
    case kWhichActive:
        return Answer(dialog, reinterpret_cast<LRESULT>(GetActiveWindow()));
    }
    return FALSE;
}

// A thread with a modeless dialog and its own message loop; the loop's quit
// code is the thread's exit code.
DWORD WINAPI RunModelessPeer(LPVOID parameter) {
    ModelessDialog dialog(IDD_ABOUTBOX, PeerProc, reinterpret_cast<LPARAM>(parameter));
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<DWORD>(msg.wParam);
}

// A thread that runs a modal dialog; its result is the thread's exit code.
template <int kTemplate> DWORD WINAPI RunModalPeer(LPVOID parameter) {
    return static_cast<DWORD>(DialogBoxParamA(ProgramModule(), MAKEINTRESOURCEA(kTemplate), nullptr,
                                              PeerProc, reinterpret_cast<LPARAM>(parameter)));
}

TEST(SendMessage, ToAnotherThreadsWindowWaitsForItsAnswer) {
    Peer peer{false};
    Thread thread(RunModelessPeer, &peer);
    ASSERT_EQ(WaitForSingleObject(peer.ready, INFINITE), WAIT_OBJECT_0);
    HWND window = peer.dialog;

    EXPECT_EQ(SendMessageA(window, kTriple, 14, 0), 42);
    EXPECT_EQ(g_tripledOn, thread.id());
    EXPECT_EQ(GetWindowThreadProcessId(window, nullptr), thread.id());

    // The waiting sender handles what the window's thread sends back to it
    // meanwhile, on its own thread.
    ModelessDialog mine(IDD_ABOUTBOX, PeerProc);
    EXPECT_EQ(SendMessageA(window, kAskBack, 5, reinterpret_cast<LPARAM>(mine.window())), 16);
    EXPECT_EQ(g_tripledOn, GetCurrentThreadId());

    EXPECT_EQ(SendMessageA(window, kEnd, 9, 0), 1);
    EXPECT_EQ(thread.Join(), 9u) << "the loop's quit code";
}

TEST(SendMessage, ReachesAThreadInsideItsModalDialogLoop) {
    Peer peer{true};
    Thread thread(RunModalPeer<IDD_BRISKARN_DIALOG>, &peer);
    ASSERT_EQ(WaitForSingleObject(peer.ready, INFINITE), WAIT_OBJECT_0);
    HWND window = peer.dialog;

    EXPECT_EQ(SendMessageA(window, kTriple, 2, 0), 6);
    EXPECT_EQ(g_tripledOn, thread.id());
    EXPECT_TRUE(IsWindowVisible(window)) << "the modal loop shows the dialog";

    EXPECT_EQ(SendMessageA(window, kEnd, 77, 0), 1);
    EXPECT_EQ(thread.Join(), 77u) << "DialogBoxParamA's result";
    EXPECT_FALSE(IsWindow(window)) << "the modal loop destroys the dialog when it ends";
}

TEST(SendMessage, ReachesAThreadInsideAMessageBoxOverItsDialog) {
    Peer peer{true};
    Thread thread(RunModalPeer<IDD_ABOUTBOX>, &peer);
    ASSERT_EQ(WaitForSingleObject(peer.ready, INFINITE), WAIT_OBJECT_0);
    HWND window = peer.dialog;
    ASSERT_TRUE(PostMessageA(window, kOpenBox, 0, 0));
    ASSERT_EQ(WaitForSingleObject(peer.boxOpening, INFINITE), WAIT_OBJECT_0);

    // The box becomes the thread's active window as soon as it is up; each
    // ask is handled inside whichever loop the thread is in.
    HWND box = window;
    for (int ask = 0; (box == window || box == nullptr) && ask < 100000; ++ask)
        box = reinterpret_cast<HWND>(SendMessageA(window, kWhichActive, 0, 0));
    ASSERT_NE(box, window);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindowThreadProcessId(box, nullptr), thread.id());
    EXPECT_FALSE(IsWindowEnabled(window)) << "the box's owner is disabled while it is open";
    EXPECT_EQ(SendMessageA(window, kTriple, 3, 0), 9);
    EXPECT_EQ(g_tripledOn, thread.id());

    ASSERT_TRUE(PostMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0));
    EXPECT_EQ(thread.Join(), static_cast<DWORD>(IDCANCEL)) << "Escape answers Cancel";
}

} // namespace
