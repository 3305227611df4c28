// The screen view and the input interface against a real dialog template:
// what the view shows, and the input reaching the program's own loop;
// Shift+Tab back along the tab stops, and the system menu as a user opens it.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "core/machine.h"
#include "resources/resource.h"
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

// As the program's main dialog does: its About entry below the system menu.
INT_PTR CALLBACK AppendingAboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        char about[64];
        HMENU menu = GetSystemMenu(dialog, FALSE);
        if (menu && LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, about, sizeof about) > 0) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(menu, MF_STRING, 0x10, about);
        }
    }
    return RecordingProc(dialog, message, wParam, lParam);
}

DWORD WINAPI RunAppendingDialog(LPVOID) {
    return static_cast<DWORD>(DialogBoxParamA(GetModuleHandleA(nullptr),
                                              MAKEINTRESOURCEA(IDD_BRISKARN_DIALOG), nullptr,
                                              AppendingAboutProc, 0));
}

int FocusedId() {
    hosted::WindowView window;
    if (!hosted::ActiveWindow(&window))
        return 0;
    for (const hosted::ControlView& control : window.controls)
        if (control.focused)
            return control.id;
    return 0;
}

TEST(Screen, ShiftTabGoesBackAlongTheTabStopsAndTheSystemMenuShowsAppendedItems) {
    Seen seen;
    g_seen = &seen;
    std::vector<hosted::MenuItemView> items;
    EXPECT_FALSE(hosted::SystemMenuItems(&items)) << "no window, no menu";
    HANDLE thread = CreateThread(nullptr, 0, RunAppendingDialog, nullptr, 0, nullptr);
    Settle();
    ASSERT_EQ(FocusedId(), IDOK);

    // From Close, the last tab stop, back round to it; Tab alone still goes on.
    const struct {
        bool shift;
        int focused;
    } kKeys[] = {{true, IDC_DIJOY_COUNT}, {true, IDC_CALLBACK_COUNT},
                 {true, IDC_ENABLE},      {true, IDC_GAMEMAX},
                 {true, IDC_SETUP},       {true, IDOK},
                 {false, IDC_SETUP},      {true, IDOK},
                 {false, IDC_SETUP}};
    std::string error;
    for (const auto& key : kKeys) {
        ASSERT_TRUE(hosted::PressKey(VK_TAB, &error, key.shift)) << error;
        Settle();
        EXPECT_EQ(FocusedId(), key.focused) << (key.shift ? "Shift+Tab" : "Tab");
    }
    EXPECT_EQ(std::count_if(seen.commands.begin(), seen.commands.end(),
                            [](const std::string& command) {
                                return command.size() > 2 &&
                                       command.compare(command.size() - 2, 2, "/0") == 0;
                            }),
              0)
        << "moving the focus presses nothing";

    ASSERT_TRUE(hosted::SystemMenuItems(&items));
    ASSERT_GE(items.size(), 3u);
    EXPECT_EQ(items.front().id, static_cast<UINT>(SC_RESTORE));
    const hosted::MenuItemView& close = items[items.size() - 3];
    EXPECT_EQ(close.id, static_cast<UINT>(SC_CLOSE));
    EXPECT_TRUE(items[items.size() - 2].separator);
    EXPECT_EQ(items.back().id, 0x10u);
    EXPECT_EQ(items.back().text, "&About Velomira");
    EXPECT_FALSE(items.back().separator || items.back().grayed);

    // A message box's own menu has no such entry.
    ASSERT_TRUE(hosted::ClickControl(IDC_SETUP, &error)) << error;
    Settle();
    ASSERT_TRUE(hosted::SystemMenuItems(&items));
    for (const hosted::MenuItemView& item : items)
        EXPECT_NE(item.id, 0x10u);
    ASSERT_TRUE(hosted::AnswerMessageBox(IDCANCEL, &error)) << error;
    Settle();

    ASSERT_TRUE(hosted::ClickControl(IDOK, &error)) << error;
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    CloseHandle(thread);
    g_seen = nullptr;
}

} // namespace
