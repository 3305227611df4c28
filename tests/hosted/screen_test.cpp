// The screen view and the input interface against a real dialog template:
// what the view shows, and the input reaching the program's own loop.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "core/machine.h"
#include "resource.h"
#include "user/screen.h"

namespace {

struct Seen {
    std::vector<std::string> commands; // "id/code", as the dialog received them
    std::vector<WPARAM> sysCommands;
};

Seen* g_seen = nullptr;

INT_PTR CALLBACK RecordingProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_SYSCOMMAND) {
        g_seen->sysCommands.push_back(wParam);
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    g_seen->commands.push_back(std::to_string(LOWORD(wParam)) + "/" +
                               std::to_string(HIWORD(wParam)));
    if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)
        EndDialog(dialog, LOWORD(wParam));
    else if (LOWORD(wParam) == IDC_SETUP)
        MessageBoxA(dialog, "Sure?", "Question", MB_OKCANCEL);
    return TRUE;
}

DWORD WINAPI RunMainDialog(LPVOID) {
    return static_cast<DWORD>(DialogBoxParamA(GetModuleHandleA(nullptr),
                                              MAKEINTRESOURCEA(IDD_BRISKARN_DIALOG), nullptr,
                                              RecordingProc, 0));
}

void Settle() {
    std::string report;
    ASSERT_TRUE(hosted::WaitUntilQuiet(&report)) << report;
}

const hosted::ControlView* Find(const hosted::WindowView& window, int id) {
    for (const hosted::ControlView& control : window.controls)
        if (control.id == id)
            return &control;
    return nullptr;
}

TEST(Screen, TheViewShowsTheDialogAndInputReachesItsLoop) {
    Seen seen;
    g_seen = &seen;
    HANDLE thread = CreateThread(nullptr, 0, RunMainDialog, nullptr, 0, nullptr);
    Settle();

    hosted::WindowView window;
    ASSERT_TRUE(hosted::ActiveWindow(&window));
    EXPECT_FALSE(window.messageBox);
    EXPECT_EQ(window.templateId, IDD_BRISKARN_DIALOG);
    EXPECT_EQ(window.caption, "Velomira");
    EXPECT_TRUE(window.hasSystemMenu);
    ASSERT_NE(Find(window, IDCANCEL), nullptr);
    EXPECT_FALSE(Find(window, IDCANCEL)->visible);
    int focused = 0;
    for (const hosted::ControlView& control : window.controls)
        focused += control.focused ? 1 : 0;
    EXPECT_EQ(focused, 1);

    // Typing over an edit's text, with a Backspace among the characters.
    std::string error;
    ASSERT_TRUE(hosted::TypeText(IDC_GAMEMAX, "12x\b3", &error)) << error;
    Settle();
    ASSERT_TRUE(hosted::ActiveWindow(&window));
    EXPECT_EQ(Find(window, IDC_GAMEMAX)->text, "123");
    EXPECT_TRUE(Find(window, IDC_GAMEMAX)->focused);
    std::string change = std::to_string(IDC_GAMEMAX) + "/" + std::to_string(EN_CHANGE);
    EXPECT_EQ(std::count(seen.commands.begin(), seen.commands.end(), change), 5);

    // What cannot be done says why.
    EXPECT_FALSE(hosted::ClickControl(IDCANCEL, &error));
    EXPECT_EQ(error, "the active window shows no control 2");
    EXPECT_FALSE(hosted::TypeText(IDC_SETUP, "x", &error));
    EXPECT_FALSE(hosted::AnswerMessageBox(IDOK, &error));
    EXPECT_EQ(error, "no message box is open");

    ASSERT_TRUE(hosted::ChooseSystemCommand(SC_MINIMIZE, &error)) << error;
    Settle();
    EXPECT_EQ(seen.sysCommands, std::vector<WPARAM>{SC_MINIMIZE});

    // A message box stacks over its owner and takes the input.
    ASSERT_TRUE(hosted::ClickControl(IDC_SETUP, &error)) << error;
    Settle();
    std::vector<hosted::WindowView> stack = hosted::VisibleWindows();
    ASSERT_EQ(stack.size(), 2u);
    EXPECT_EQ(stack[0].caption, "Velomira");
    EXPECT_FALSE(stack[0].enabled);
    EXPECT_TRUE(stack[1].messageBox);
    EXPECT_EQ(stack[1].caption, "Question");
    EXPECT_EQ(stack[1].text, "Sure?");
    EXPECT_FALSE(hosted::ClickControl(IDOK, &error));
    EXPECT_EQ(error, "a message box is open");
    EXPECT_FALSE(hosted::AnswerMessageBox(IDYES, &error));
    ASSERT_TRUE(hosted::AnswerMessageBox(IDCANCEL, &error)) << error;
    Settle();
    EXPECT_EQ(hosted::VisibleWindows().size(), 1u);

    ASSERT_TRUE(hosted::PressKey(VK_ESCAPE, &error)) << error;
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    DWORD result = 0;
    GetExitCodeThread(thread, &result);
    EXPECT_EQ(result, static_cast<DWORD>(IDCANCEL));
    CloseHandle(thread);
    EXPECT_FALSE(hosted::ActiveWindow(&window));
    g_seen = nullptr;
}

} // namespace
