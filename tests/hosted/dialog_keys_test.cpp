// The keyboard in the program's dialogs, through the dialog manager: Tab
// moves the focus along the visible, enabled tab stops in template order;
// Enter presses the focused push button or else the default one (IDOK when
// there is none); Escape presses IDCANCEL; Space presses the focused button.
// Once through IsDialogMessageA on the test's thread, once as keys posted to
// a modal dialog running on a thread of its own.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include <windows.h>

#include "resources/resource.h"
#include "test_windows.h"

namespace {

struct Command {
    int id;
    HWND control;
};

// The buttons pressed, in order; only the test's thread runs the procedure.
// Edits' focus notifications come as commands too, and are no press.
std::vector<Command> g_commands;

INT_PTR CALLBACK RecordCommands(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        g_commands.push_back(Command{LOWORD(wParam), reinterpret_cast<HWND>(lParam)});
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

// A key pressed while the focus is in the dialog, as a modeless dialog's
// message loop hands it to the dialog manager.
void Press(HWND dialog, WPARAM key) {
    MSG down{GetFocus(), WM_KEYDOWN, key, 1, 0, {0, 0}};
    IsDialogMessageA(dialog, &down);
    MSG up{GetFocus(), WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u), 0, {0, 0}};
    IsDialogMessageA(dialog, &up);
}

int FocusedId() {
    return GetDlgCtrlID(GetFocus());
}

struct DialogKeys : testing::Test {
    DialogKeys() { g_commands.clear(); }
    // Keys leave characters in the queue that no test here reads.
    ~DialogKeys() override { DiscardPostedMessages(); }
};

TEST_F(DialogKeys, TabVisitsTheVisibleEnabledTabStopsInTemplateOrder) {
    ModelessDialog main(IDD_BRISKARN_DIALOG, RecordCommands);
    ASSERT_NE(main.window(), nullptr);
    ASSERT_EQ(FocusedId(), IDOK) << "the first visible tab stop";
    SetDlgItemTextA(main.window(), IDC_GAMEMAX, "2048");
    // The hidden radio buttons and Cancel are tab stops too, but hidden.
    const int kOrder[] = {IDC_SETUP,          IDC_GAMEMAX,     IDC_ENABLE,
                          IDC_CALLBACK_COUNT, IDC_DIJOY_COUNT, IDOK};
    for (int id : kOrder) {
        Press(main.window(), VK_TAB);
        EXPECT_EQ(FocusedId(), id);
        if (id == IDC_GAMEMAX) {
            LRESULT selection = SendMessageA(main.Item(IDC_GAMEMAX), EM_GETSEL, 0, 0);
            EXPECT_EQ(LOWORD(selection), 0) << "an edit tabbed into has all its text selected";
            EXPECT_EQ(HIWORD(selection), 4);
        }
    }

    // A disabled tab stop is passed over, and found again once enabled.
    EnableWindow(main.Item(IDC_SETUP), FALSE);
    Press(main.window(), VK_TAB);
    EXPECT_EQ(FocusedId(), IDC_GAMEMAX);
    EnableWindow(main.Item(IDC_SETUP), TRUE);
    SetFocus(main.Item(IDOK));
    Press(main.window(), VK_TAB);
    EXPECT_EQ(FocusedId(), IDC_SETUP);
    EXPECT_TRUE(g_commands.empty()) << "moving the focus presses nothing";
}

TEST_F(DialogKeys, EnterEscapeAndSpacePressTheirButtons) {
    // One user's keys in turn, each going on from where the last left the focus.
    struct Step {
        const char* what;
        std::vector<WPARAM> keys;
        int command;
        int enableChecked; // the push-like check box's state after, or -1
    };
    const Step kMainDialog[] = {
        {"Enter on Close, where the dialog starts", {VK_RETURN}, IDOK, 0},
        {"Escape: Cancel, hidden as it is", {VK_ESCAPE}, IDCANCEL, 0},
        {"Space on Close", {VK_SPACE}, IDOK, 0},
        {"Tab to Setup..., Enter", {VK_TAB, VK_RETURN}, IDC_SETUP, 0},
        {"two Tabs on to Enable, Space", {VK_TAB, VK_TAB, VK_SPACE}, IDC_ENABLE, 1},
        {"Space on Enable again", {VK_SPACE}, IDC_ENABLE, 0},
    };
    const Step kAboutBox[] = {
        {"Enter: the default OK", {VK_RETURN}, IDOK, -1},
        {"Escape, with no Cancel in the box", {VK_ESCAPE}, IDCANCEL, -1},
    };
    auto run = [](int templateId, const Step* steps, std::size_t count) {
        ModelessDialog dialog(templateId, RecordCommands);
        for (std::size_t i = 0; i < count; ++i) {
            SCOPED_TRACE(steps[i].what);
            g_commands.clear();
            for (WPARAM key : steps[i].keys)
                Press(dialog.window(), key);
            ASSERT_EQ(g_commands.size(), 1u);
            EXPECT_EQ(g_commands[0].id, steps[i].command);
            EXPECT_EQ(g_commands[0].control, dialog.Item(steps[i].command));
            if (steps[i].enableChecked >= 0) {
                EXPECT_EQ(IsDlgButtonChecked(dialog.window(), IDC_ENABLE),
                          static_cast<UINT>(steps[i].enableChecked));
            }
        }
    };
    run(IDD_BRISKARN_DIALOG, kMainDialog, sizeof kMainDialog / sizeof kMainDialog[0]);
    run(IDD_ABOUTBOX, kAboutBox, sizeof kAboutBox / sizeof kAboutBox[0]);
}

// A modal dialog on a thread of its own, as the program runs its dialogs;
// the test posts it keys and asks it where the focus is.
const UINT kReportFocus = kTestMessage;

struct ModalRun {
    Event ready;
    Event reported;
    std::atomic<HWND> dialog{nullptr};
    std::atomic<int> focusedId{0};
    std::atomic<int> otherCommand{0}; // the last button pressed that did not end it
};

INT_PTR CALLBACK ModalProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    ModalRun* run = reinterpret_cast<ModalRun*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        run = reinterpret_cast<ModalRun*>(lParam);
        run->dialog = dialog;
        SetEvent(run->ready);
        return TRUE;
    case kReportFocus:
        run->focusedId = GetDlgCtrlID(GetFocus());
        SetEvent(run->reported);
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED)
            return FALSE;
        // As the framework's dialogs do: OK and Cancel end it.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, LOWORD(wParam));
        else
            run->otherCommand = LOWORD(wParam);
        return TRUE;
    }
    return FALSE;
}

DWORD WINAPI RunModalMainDialog(LPVOID parameter) {
    return static_cast<DWORD>(DialogBoxParamA(ProgramModule(),
                                              MAKEINTRESOURCEA(IDD_BRISKARN_DIALOG), nullptr,
                                              ModalProc, reinterpret_cast<LPARAM>(parameter)));
}

TEST(ModalDialogKeys, KeysPostedToTheFocusedControlMoveTheFocusAndEndTheDialog) {
    struct Case {
        const char* what;
        std::vector<WPARAM> keys;
        std::vector<int> focus; // after each key but the last
        int result;
        int otherCommand;
    };
    const Case kCases[] = {
        {"Enter at once", {VK_RETURN}, {}, IDOK, 0},
        {"Tab, Space on Setup..., Tab, then Escape",
         {VK_TAB, VK_SPACE, VK_TAB, VK_ESCAPE},
         {IDC_SETUP, IDC_SETUP, IDC_GAMEMAX},
         IDCANCEL,
         IDC_SETUP},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        ModalRun run;
        Thread thread(RunModalMainDialog, &run);
        ASSERT_EQ(WaitForSingleObject(run.ready, INFINITE), WAIT_OBJECT_0);
        HWND dialog = run.dialog;
        int focus = IDOK;
        for (std::size_t i = 0; i < c.keys.size(); ++i) {
            HWND control = GetDlgItem(dialog, focus);
            PostMessageA(control, WM_KEYDOWN, c.keys[i], 1);
            if (c.keys[i] == VK_SPACE)
                PostMessageA(control, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0000001u));
            if (i + 1 == c.keys.size())
                break;
            // Posted after the key, so handled after it.
            PostMessageA(dialog, kReportFocus, 0, 0);
            ASSERT_EQ(WaitForSingleObject(run.reported, INFINITE), WAIT_OBJECT_0);
            focus = run.focusedId;
            EXPECT_EQ(focus, c.focus[i]) << "after key " << i;
        }
        EXPECT_EQ(thread.Join(), static_cast<DWORD>(c.result));
        EXPECT_EQ(run.otherCommand, c.otherCommand);
    }
}

} // namespace
