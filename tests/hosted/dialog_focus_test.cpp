// The dialog manager's memory of the focus: a dialog that a modal dialog or
// a message box takes the activation from has the focus back on the same
// control once that window is gone.
#include <gtest/gtest.h>

#include <cstring>

#include <windows.h>

#include "resources/resource.h"
#include "test_windows.h"

namespace {

const UINT kLookAndEnd = kTestMessage;

// What the test saw while the other window was open.
struct Seen {
    HWND focus = nullptr;
    BOOL visible = FALSE;
};

// The About box: shown at once, then ended by a message it posts itself.
INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        ShowWindow(dialog, SW_SHOW);
        PostMessageA(dialog, kLookAndEnd, 0, 0);
        return TRUE;
    case kLookAndEnd: {
        Seen* seen = reinterpret_cast<Seen*>(GetWindowLongPtrA(dialog, DWLP_USER));
        seen->focus = GetFocus();
        seen->visible = IsWindowVisible(dialog);
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    }
    return FALSE;
}

struct BoxSearch {
    HWND owner;
    HWND box = nullptr;
};

BOOL CALLBACK FindMessageBox(HWND window, LPARAM lParam) {
    BoxSearch* search = reinterpret_cast<BoxSearch*>(lParam);
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (window != search->owner && std::strcmp(name, "#32770") == 0) {
        search->box = window;
        return FALSE;
    }
    return TRUE;
}

// The main dialog's procedure: a message posted to it before MessageBoxA
// reaches it through the box's own loop, and answers the box.
INT_PTR CALLBACK MainProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message != kLookAndEnd)
        return message == WM_INITDIALOG;
    Seen* seen = reinterpret_cast<Seen*>(lParam);
    BoxSearch search{dialog};
    EnumThreadWindows(GetCurrentThreadId(), FindMessageBox, reinterpret_cast<LPARAM>(&search));
    seen->focus = GetFocus();
    seen->visible = search.box && IsWindowVisible(search.box);
    if (search.box)
        PostMessageA(search.box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return Answer(dialog, 0);
}

TEST(DialogFocus, TheFocusComesBackWhenAModalDialogOrAMessageBoxCloses) {
    ModelessDialog main(IDD_BRISKARN_DIALOG, MainProc);
    ASSERT_NE(main.window(), nullptr);
    for (int id : {IDC_SETUP, IDC_GAMEMAX}) {
        SCOPED_TRACE(testing::Message() << "focus on control " << id);
        SetFocus(main.Item(id));
        ASSERT_EQ(GetFocus(), main.Item(id));

        Seen seen;
        EXPECT_EQ(DialogBoxParamA(ProgramModule(), MAKEINTRESOURCEA(IDD_ABOUTBOX), main.window(),
                                  AboutProc, reinterpret_cast<LPARAM>(&seen)),
                  IDOK);
        EXPECT_TRUE(seen.visible) << "the About box showed";
        EXPECT_NE(seen.focus, main.Item(id)) << "the About box had the focus meanwhile";
        EXPECT_EQ(GetFocus(), main.Item(id)) << "after DialogBox";

        seen = Seen{};
        PostMessageA(main.window(), kLookAndEnd, 0, reinterpret_cast<LPARAM>(&seen));
        EXPECT_EQ(MessageBoxA(main.window(), "Focus", "Test", MB_OK), IDOK);
        EXPECT_TRUE(seen.visible) << "the message box showed";
        EXPECT_NE(seen.focus, main.Item(id)) << "the message box had the focus meanwhile";
        EXPECT_EQ(GetFocus(), main.Item(id)) << "after MessageBox";
    }
}

} // namespace
