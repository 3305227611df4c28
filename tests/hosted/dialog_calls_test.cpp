// The calls the main dialog makes on itself and its controls: registered
// messages, the system menu's About entry, painting while minimised, focus,
// numbers in edits, check boxes and edit selections.
#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include <windows.h>

#include "resources/resource.h"
#include "test_windows.h"

namespace {

// The registered message the dialog procedure answers, with 5.
UINT g_registered = 0;

INT_PTR CALLBACK AnswerRegistered(HWND dialog, UINT message, WPARAM, LPARAM) {
    if (g_registered != 0 && message == g_registered)
        return Answer(dialog, 5);
    return message == WM_INITDIALOG;
}

TEST(RegisteredMessages, OneNameGivesOneMessageWhateverItsCase) {
    UINT keystroke = RegisterWindowMessageA("KVDI_KEYSTROKE");
    UINT axis = RegisterWindowMessageA("KVDI_DEVICEAXISCHANGED");
    EXPECT_GE(keystroke, 0xC000u);
    EXPECT_LE(keystroke, 0xFFFFu);
    EXPECT_GE(axis, 0xC000u);
    EXPECT_LE(axis, 0xFFFFu);
    EXPECT_NE(keystroke, axis);
    EXPECT_EQ(RegisterWindowMessageA("KVDI_KEYSTROKE"), keystroke);
    EXPECT_EQ(RegisterWindowMessageA("kvdi_Keystroke"), keystroke);

    ModelessDialog dialog(IDD_ABOUTBOX, AnswerRegistered);
    g_registered = axis;
    EXPECT_EQ(SendMessageA(dialog.window(), axis, 0, 0), 5);
    EXPECT_EQ(SendMessageA(dialog.window(), keystroke, 0, 0), 0) << "left to the dialog manager";
    g_registered = 0;
}

INT_PTR CALLBACK AcceptDefaults(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

std::string MenuText(HMENU menu, UINT item, UINT flags) {
    char text[64] = "";
    int length = GetMenuStringA(menu, item, text, sizeof text, flags);
    EXPECT_EQ(length, static_cast<int>(std::string(text).size()));
    return text;
}

TEST(SystemMenu, AnAppendedEntryComesLastWithItsIdAndText) {
    ModelessDialog dialog(IDD_ABOUTBOX, AcceptDefaults);
    HMENU menu = GetSystemMenu(dialog.window(), FALSE);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetSystemMenu(dialog.window(), FALSE), menu) << "the same menu every time";
    int before = GetMenuItemCount(menu);
    ASSERT_GT(before, 0);
    EXPECT_EQ(MenuText(menu, SC_CLOSE, MF_BYCOMMAND).substr(0, 6), "&Close");

    ASSERT_TRUE(AppendMenuA(menu, MF_SEPARATOR, 0, nullptr));
    ASSERT_TRUE(AppendMenuA(menu, MF_STRING, 0x10, "&About Velomira"));
    ASSERT_EQ(GetMenuItemCount(menu), before + 2);
    EXPECT_EQ(GetMenuItemID(menu, before), 0u) << "a separator";
    EXPECT_EQ(GetMenuItemID(menu, before + 1), 0x10u);
    EXPECT_EQ(MenuText(menu, static_cast<UINT>(before + 1), MF_BYPOSITION), "&About Velomira");
    EXPECT_EQ(MenuText(menu, 0x10, MF_BYCOMMAND), "&About Velomira");

    // Another window has a system menu of its own.
    ModelessDialog other(IDD_ABOUTBOX, AcceptDefaults);
    HMENU otherMenu = GetSystemMenu(other.window(), FALSE);
    ASSERT_NE(otherMenu, nullptr);
    EXPECT_NE(otherMenu, menu);
    EXPECT_EQ(GetMenuItemCount(otherMenu), before);
}

// The main dialog, made once for the tests below: each leaves it as it found
// it where the next one looks.
class MainDialog : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        s_main = new ModelessDialog(IDD_BRISKARN_DIALOG, AcceptDefaults);
    }
    static void TearDownTestSuite() {
        delete s_main;
        s_main = nullptr;
    }
    HWND window() const { return s_main->window(); }
    HWND Item(int id) const { return s_main->Item(id); }

  private:
    static ModelessDialog* s_main;
};

ModelessDialog* MainDialog::s_main = nullptr;

TEST_F(MainDialog, WhenMinimisedItIsPaintedWithItsIconUntilRestored) {
    HICON icon = LoadIconA(ProgramModule(), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(IsIconic(window()));

    // The system commands of the system menu, left to the default handling.
    SendMessageA(window(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(window()));
    EXPECT_TRUE(IsWindowVisible(window())) << "minimised, not hidden";
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window(), &paint);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(paint.hdc, dc);
    EXPECT_TRUE(DrawIcon(dc, 0, 0, icon));
    EXPECT_TRUE(EndPaint(window(), &paint));
    SendMessageA(window(), WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsIconic(window()));

    // ShowWindow tells that the window was visible before.
    EXPECT_TRUE(ShowWindow(window(), SW_MINIMIZE));
    EXPECT_TRUE(IsIconic(window()));
    EXPECT_TRUE(ShowWindow(window(), SW_RESTORE));
    EXPECT_FALSE(IsIconic(window()));
}

TEST_F(MainDialog, SetFocusMovesTheFocusWithinTheThreadAndTellsWhereItWas) {
    EXPECT_EQ(GetActiveWindow(), window());
    SetFocus(Item(IDOK));
    ASSERT_EQ(GetFocus(), Item(IDOK));
    EXPECT_EQ(SetFocus(Item(IDC_GAMEMAX)), Item(IDOK));
    EXPECT_EQ(GetFocus(), Item(IDC_GAMEMAX));
    EXPECT_EQ(SetFocus(Item(IDC_ENABLE)), Item(IDC_GAMEMAX));
    EXPECT_EQ(GetFocus(), Item(IDC_ENABLE));
    EXPECT_EQ(SetFocus(nullptr), Item(IDC_ENABLE));
    EXPECT_EQ(GetFocus(), nullptr);
    SetFocus(Item(IDOK));
}

TEST_F(MainDialog, NumbersAreWrittenSignedOrUnsignedAndReadBack) {
    HWND dialog = window();
    struct Written {
        UINT value;
        BOOL isSigned;
        const char* text;
    };
    const Written kWritten[] = {
        {2048, TRUE, "2048"},
        {0, TRUE, "0"},
        {static_cast<UINT>(-7), TRUE, "-7"},
        {0x80000000u, TRUE, "-2147483648"},
        {static_cast<UINT>(-7), FALSE, "4294967289"},
        {0xFFFFFFFFu, FALSE, "4294967295"},
    };
    for (const Written& w : kWritten) {
        ASSERT_TRUE(SetDlgItemInt(dialog, IDC_CALLBACK_COUNT, w.value, w.isSigned));
        char text[32] = "";
        GetDlgItemTextA(dialog, IDC_CALLBACK_COUNT, text, sizeof text);
        EXPECT_STREQ(text, w.text);
    }

    struct Read {
        const char* text;
        BOOL isSigned;
        BOOL translated;
        UINT value;
    };
    const Read kRead[] = {
        {"2048", FALSE, TRUE, 2048},
        {"  15", FALSE, TRUE, 15},
        {"-7", TRUE, TRUE, static_cast<UINT>(-7)},
        {"", FALSE, FALSE, 0},
        {"", TRUE, FALSE, 0},
        {"abc", FALSE, FALSE, 0},
    };
    for (const Read& r : kRead) {
        SCOPED_TRACE(std::string("\"") + r.text + "\"");
        ASSERT_TRUE(SetDlgItemTextA(dialog, IDC_CALLBACK_COUNT, r.text));
        BOOL translated = !r.translated;
        EXPECT_EQ(GetDlgItemInt(dialog, IDC_CALLBACK_COUNT, &translated, r.isSigned), r.value);
        EXPECT_EQ(translated, r.translated);
    }
}

TEST_F(MainDialog, ACheckStateIsOneTheButtonCanShow) {
    struct Case {
        int id;
        UINT set;
        UINT shown;
    };
    // The check boxes of the wheel's buttons are given DirectInput's 0x80 for
    // a pressed button.
    const Case kCases[] = {
        {IDC_BUTTON3, BST_CHECKED, BST_CHECKED}, {IDC_BUTTON3, BST_UNCHECKED, BST_UNCHECKED},
        {IDC_BUTTON3, 0x80, BST_CHECKED},        {IDC_BUTTON10, 2, BST_CHECKED},
        {IDC_ENABLE, BST_CHECKED, BST_CHECKED},  {IDC_KEYBOARD_POLLING, BST_CHECKED, BST_CHECKED},
        {IDOK, BST_CHECKED, BST_UNCHECKED},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << "control " << c.id << " set to " << c.set);
        EXPECT_TRUE(CheckDlgButton(window(), c.id, c.set));
        EXPECT_EQ(IsDlgButtonChecked(window(), c.id), c.shown);
        EXPECT_EQ(static_cast<UINT>(SendDlgItemMessageA(window(), c.id, BM_GETCHECK, 0, 0)),
                  c.shown);
    }
}

TEST_F(MainDialog, AnEditSelectionStaysWithinTheTextAndRunsForwards) {
    HWND edit = Item(IDC_GAMEMAX);
    SetWindowTextA(edit, "2048");
    struct Case {
        WPARAM start;
        LPARAM end;
        WORD from, to;
    };
    const Case kCases[] = {
        {1, 3, 1, 3},
        {0, -1, 0, 4},                      // all of it
        {3, 1, 1, 3},                       // given backwards
        {2, 10, 2, 4},                      // past the end
        {static_cast<WPARAM>(-1), 0, 4, 4}, // no selection, the caret where it was
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message()
                     << "EM_SETSEL " << static_cast<LONG_PTR>(c.start) << ", " << c.end);
        SendMessageA(edit, EM_SETSEL, c.start, c.end);
        LRESULT selection = SendMessageA(edit, EM_GETSEL, 0, 0);
        EXPECT_EQ(LOWORD(selection), c.from);
        EXPECT_EQ(HIWORD(selection), c.to);
    }
}

// Keys as an edit meets them once TranslateMessage has made characters of
// them: typing replaces the selection, Backspace and Delete take it or one
// character, the caret keys move the caret (the selection's end) and drop
// the selection; a read-only edit moves its caret but takes no typing.
TEST_F(MainDialog, AnEditTypesOverItsSelectionUnlessItIsReadOnly) {
    struct Key {
        UINT message;
        WPARAM key;
        const char* text;
        WORD from, to;
    };
    const Key kGameMax[] = {
        {WM_CHAR, 'x', "2x8", 2, 2},        {WM_CHAR, VK_BACK, "28", 1, 1},
        {WM_KEYDOWN, VK_END, "28", 2, 2},   {WM_KEYDOWN, VK_LEFT, "28", 1, 1},
        {WM_KEYDOWN, VK_DELETE, "2", 1, 1}, {WM_KEYDOWN, VK_HOME, "2", 0, 0},
        {WM_CHAR, VK_BACK, "2", 0, 0},      {WM_KEYDOWN, VK_RIGHT, "2", 1, 1},
        {WM_KEYDOWN, VK_RIGHT, "2", 1, 1},  {WM_CHAR, '5', "25", 2, 2},
        {WM_KEYDOWN, VK_LEFT, "25", 1, 1},  {WM_CHAR, '	', "25", 1, 1},
    };
    const Key kReadOnlyX[] = {
        {WM_CHAR, '7', "2048", 1, 3},          {WM_CHAR, VK_BACK, "2048", 1, 3},
        {WM_KEYDOWN, VK_DELETE, "2048", 1, 3}, {WM_KEYDOWN, VK_HOME, "2048", 0, 0},
        {WM_KEYDOWN, VK_RIGHT, "2048", 1, 1},  {WM_CHAR, '7', "2048", 1, 1},
    };
    const struct {
        int id;
        const Key* keys;
        std::size_t count;
    } kEdits[] = {{IDC_GAMEMAX, kGameMax, std::size(kGameMax)},
                  {IDC_EDIT_X, kReadOnlyX, std::size(kReadOnlyX)}};
    for (const auto& edit : kEdits) {
        HWND handle = Item(edit.id);
        SetWindowTextA(handle, "2048");
        SendMessageA(handle, EM_SETSEL, 1, 3);
        for (std::size_t i = 0; i < edit.count; ++i) {
            const Key& k = edit.keys[i];
            SCOPED_TRACE(testing::Message() << "control " << edit.id << ", key " << i);
            SendMessageA(handle, k.message, k.key, 1);
            char text[16] = "";
            GetWindowTextA(handle, text, sizeof text);
            EXPECT_STREQ(text, k.text);
            LRESULT selection = SendMessageA(handle, EM_GETSEL, 0, 0);
            EXPECT_EQ(LOWORD(selection), k.from);
            EXPECT_EQ(HIWORD(selection), k.to);
        }
    }
}

} // namespace
