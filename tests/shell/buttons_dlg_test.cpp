// The button assignment dialog as the user meets it on the simulated
// machine: what it shows, the two messages of a refused OK, where the
// focus goes after them, the spins, and what the caller gets back.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "core/machine.h"
#include "resources/resource.h"
#include "shell/buttons_dlg.h"
#include "user/screen.h"

namespace {

const char kPositive[] = "Please enter a positive integer.";
const char kRange[] = "Please enter an integer between 1 and 8.";

// One "Setup..." command: a dialog object of its own, run modally.
struct DialogRun {
    CButtonsDlg dialog;
    INT_PTR result = 0;
};

DWORD WINAPI RunDialog(LPVOID parameter) {
    DialogRun* run = static_cast<DialogRun*>(parameter);
    run->result = run->dialog.DoModal();
    return 0;
}

class ButtonsDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        // The caption of the application's message boxes.
        AfxGetApp()->m_pszAppName = "BRISKARN";
        AfxGetApp()->m_hInstance = GetModuleHandleA(nullptr);
    }

    // Opens the dialog with the caller's four numbers, as "Setup..." does.
    void Open(UINT a1, UINT a2, UINT b1, UINT b2) {
        m_run = std::make_unique<DialogRun>();
        m_run->dialog.m_nButtonA1 = a1;
        m_run->dialog.m_nButtonA2 = a2;
        m_run->dialog.m_nButtonB1 = b1;
        m_run->dialog.m_nButtonB2 = b2;
        m_thread = CreateThread(nullptr, 0, RunDialog, m_run.get(), 0, nullptr);
        ASSERT_NE(m_thread, nullptr);
        Settle();
    }

    INT_PTR WaitForEnd() {
        EXPECT_EQ(WaitForSingleObject(m_thread, INFINITE), WAIT_OBJECT_0);
        CloseHandle(m_thread);
        m_thread = nullptr;
        return m_run->result;
    }

    void TearDown() override {
        if (m_thread) { // a failed test leaves the dialog open
            std::string error;
            while (hosted::AnswerMessageBox(IDOK, &error))
                Settle();
            hosted::PressKey(VK_ESCAPE, &error);
            WaitForEnd();
        }
    }

    static void Settle() {
        std::string report;
        ASSERT_TRUE(hosted::WaitUntilQuiet(&report)) << report;
    }

    static hosted::WindowView Active() {
        hosted::WindowView window;
        EXPECT_TRUE(hosted::ActiveWindow(&window));
        return window;
    }

    static hosted::ControlView Control(int id) {
        for (const hosted::ControlView& control : Active().controls)
            if (control.id == id)
                return control;
        ADD_FAILURE() << "no control " << id;
        return {};
    }

    static std::vector<std::string> EditTexts() {
        std::vector<std::string> texts;
        for (int id : {IDC_EDIT_A1, IDC_EDIT_A2, IDC_EDIT_B1, IDC_EDIT_B2})
            texts.push_back(Control(id).text);
        return texts;
    }

    static void Type(int id, const std::string& text) {
        std::string error;
        ASSERT_TRUE(hosted::TypeText(id, text, &error)) << error;
        Settle();
    }

    static void Click(int id) {
        std::string error;
        ASSERT_TRUE(hosted::ClickControl(id, &error)) << error;
        Settle();
    }

    static void Spin(int id, bool up) {
        std::string error;
        ASSERT_TRUE(hosted::ClickSpin(id, up, &error)) << error;
        Settle();
    }

    static void Key(WPARAM key) {
        std::string error;
        ASSERT_TRUE(hosted::PressKey(key, &error)) << error;
        Settle();
    }

    // Clicks OK, expects the message, answers it and expects the dialog
    // back with the offending edit focused and its whole text selected.
    static void ExpectRefusal(int edit, const char* message) {
        SCOPED_TRACE(std::string("refusal at ") + std::to_string(edit) + ": " + message);
        Click(IDOK);
        std::vector<hosted::WindowView> stack = hosted::VisibleWindows();
        ASSERT_EQ(stack.size(), 2u);
        EXPECT_EQ(stack[0].caption, "Setup Buttons");
        EXPECT_FALSE(stack[0].enabled) << "the box is modal to the dialog";
        EXPECT_TRUE(stack[1].messageBox);
        EXPECT_EQ(stack[1].caption, "BRISKARN");
        EXPECT_EQ(stack[1].text, message);
        EXPECT_EQ(stack[1].boxType, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
        std::string error;
        ASSERT_TRUE(hosted::AnswerMessageBox(IDOK, &error)) << error;
        Settle();
        // One message per OK: the exchange stopped at this edit.
        stack = hosted::VisibleWindows();
        ASSERT_EQ(stack.size(), 1u);
        EXPECT_EQ(stack[0].caption, "Setup Buttons");
        EXPECT_TRUE(stack[0].enabled);
        hosted::ControlView offending = Control(edit);
        EXPECT_TRUE(offending.focused);
        EXPECT_EQ(offending.selStart, 0u);
        EXPECT_EQ(offending.selEnd, offending.text.size());
    }

    std::unique_ptr<DialogRun> m_run;
    HANDLE m_thread = nullptr;
};

TEST_F(ButtonsDialog, ShowsTheCallersNumbersAndOkAtOnceGivesThemBack) {
    Open(2, 3, 4, 5);
    hosted::WindowView window = Active();
    EXPECT_EQ(window.templateId, IDD_BUTTONS_DIALOG);
    EXPECT_EQ(window.caption, "Setup Buttons");
    EXPECT_EQ(EditTexts(), (std::vector<std::string>{"2", "3", "4", "5"}));
    for (int id : {IDC_SPIN1, IDC_SPIN2, IDC_SPIN3, IDC_SPIN4})
        EXPECT_EQ(Control(id).kind, hosted::WindowKind::UpDown);
    EXPECT_EQ(Control(IDC_SPIN3).position, 4);
    EXPECT_TRUE(Control(IDOK).focused);
    Click(IDOK);
    EXPECT_EQ(WaitForEnd(), IDOK);
    EXPECT_EQ(m_run->dialog.m_nButtonA1, 2u);
    EXPECT_EQ(m_run->dialog.m_nButtonA2, 3u);
    EXPECT_EQ(m_run->dialog.m_nButtonB1, 4u);
    EXPECT_EQ(m_run->dialog.m_nButtonB2, 5u);
}

TEST_F(ButtonsDialog, RefusesWhatIsNoNumberFromOneToEightWithItsMessage) {
    struct Case {
        const char* typed;
        const char* message;
    };
    const Case cases[] = {
        {"9", kRange},          {"0", kRange},      {"-1", kPositive}, {"", kPositive},
        {"5a", kPositive},      {"7 7", kPositive}, {"+3", kPositive}, {"4294967296", kPositive},
        {"4294967295", kRange},
    };
    Open(2, 3, 4, 5);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("typed \"") + c.typed + "\"");
        Type(IDC_EDIT_A2, c.typed);
        ExpectRefusal(IDC_EDIT_A2, c.message);
        EXPECT_EQ(Control(IDC_EDIT_A2).text, c.typed);
    }
    // Blanks around a number are no reason to refuse it.
    Type(IDC_EDIT_A2, " 7 ");
    Click(IDOK);
    EXPECT_EQ(WaitForEnd(), IDOK);
    EXPECT_EQ(m_run->dialog.m_nButtonA2, 7u);
}

TEST_F(ButtonsDialog, TheFirstRefusedEditStopsTheExchange) {
    Open(2, 3, 4, 5);
    Type(IDC_EDIT_A1, "0");
    Type(IDC_EDIT_A2, "x");
    Type(IDC_EDIT_B2, "12");
    ExpectRefusal(IDC_EDIT_A1, kRange);
    EXPECT_EQ(m_run->dialog.m_nButtonA2, 3u) << "edit 1001 was looked at";
    Type(IDC_EDIT_A1, "1");
    ExpectRefusal(IDC_EDIT_A2, kPositive);
    Type(IDC_EDIT_A2, "8");
    ExpectRefusal(IDC_EDIT_B2, kRange);
    EXPECT_EQ(m_run->dialog.m_nButtonB1, 4u);
    // The same wheel button may stand for all four.
    for (int id : {IDC_EDIT_A1, IDC_EDIT_A2, IDC_EDIT_B1, IDC_EDIT_B2})
        Type(id, "6");
    Click(IDOK);
    EXPECT_EQ(WaitForEnd(), IDOK);
    EXPECT_EQ(m_run->dialog.m_nButtonA1, 6u);
    EXPECT_EQ(m_run->dialog.m_nButtonA2, 6u);
    EXPECT_EQ(m_run->dialog.m_nButtonB1, 6u);
    EXPECT_EQ(m_run->dialog.m_nButtonB2, 6u);
}

TEST_F(ButtonsDialog, CancelAfterARefusedOkLeavesTheCallersMapAlone) {
    UINT buttonMap[4] = {2, 3, 4, 5};
    Open(buttonMap[0], buttonMap[1], buttonMap[2], buttonMap[3]);
    Type(IDC_EDIT_A1, "7");
    Type(IDC_EDIT_A2, "9");
    ExpectRefusal(IDC_EDIT_A2, kRange);
    // The refused exchange has already taken the first edit's number ...
    EXPECT_EQ(m_run->dialog.m_nButtonA1, 7u);
    Click(IDCANCEL);
    // ... which is why the caller copies the members back only on IDOK.
    INT_PTR result = WaitForEnd();
    EXPECT_EQ(result, IDCANCEL);
    if (result == IDOK) {
        buttonMap[0] = m_run->dialog.m_nButtonA1;
        buttonMap[1] = m_run->dialog.m_nButtonA2;
    }
    EXPECT_EQ(buttonMap[0], 2u);
    EXPECT_EQ(buttonMap[1], 3u);
}

TEST_F(ButtonsDialog, EscapeAndTheCloseBoxCancelWithoutLookingAtTheEdits) {
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Escape");
        Open(2, 3, 4, 5);
        Type(IDC_EDIT_A1, "x");
        std::string error;
        if (closeBox)
            ASSERT_TRUE(hosted::ChooseSystemCommand(SC_CLOSE, &error)) << error;
        else
            ASSERT_TRUE(hosted::PressKey(VK_ESCAPE, &error)) << error;
        Settle();
        EXPECT_EQ(hosted::VisibleWindows().size(), 0u) << "no message";
        EXPECT_EQ(WaitForEnd(), IDCANCEL);
        EXPECT_EQ(m_run->dialog.m_nButtonA1, 2u);
    }
}

TEST_F(ButtonsDialog, SpinArrowsAndArrowKeysStepWithinOneToEight) {
    Open(7, 2, 4, 5);
    // Each click on an arrow steps once and leaves the edit's text selected.
    const char* const up[] = {"8", "8", "8"};
    for (const char* want : up) {
        Spin(IDC_SPIN1, true);
        EXPECT_EQ(Control(IDC_EDIT_A1).text, want);
    }
    EXPECT_TRUE(Control(IDC_EDIT_A1).focused);
    EXPECT_EQ(Control(IDC_EDIT_A1).selEnd, 1u);
    const char* const down[] = {"1", "1"};
    for (const char* want : down) {
        Spin(IDC_SPIN2, false);
        EXPECT_EQ(Control(IDC_EDIT_A2).text, want);
    }
    // Up and Down in the focused edit step it through its spin, from what
    // was typed there.
    Key(VK_DOWN);
    EXPECT_EQ(Control(IDC_EDIT_A2).text, "1");
    Key(VK_UP);
    EXPECT_EQ(Control(IDC_EDIT_A2).text, "2");
    Type(IDC_EDIT_B1, "6");
    Key(VK_UP);
    Key(VK_UP);
    Key(VK_UP);
    EXPECT_EQ(Control(IDC_EDIT_B1).text, "8");
    EXPECT_EQ(Control(IDC_SPIN3).position, 8);
    EXPECT_EQ(Control(IDC_EDIT_A1).text, "8") << "only the focused edit steps";
    Click(IDOK);
    EXPECT_EQ(WaitForEnd(), IDOK);
    EXPECT_EQ(m_run->dialog.m_nButtonA1, 8u);
    EXPECT_EQ(m_run->dialog.m_nButtonA2, 2u);
    EXPECT_EQ(m_run->dialog.m_nButtonB1, 8u);
    EXPECT_EQ(m_run->dialog.m_nButtonB2, 5u);
}

TEST_F(ButtonsDialog, StoredNumbersOutsideTheRangeShowAsTheSpinsHoldThem) {
    // Only the spin's 16 bits reach it, and it keeps to 1..8.
    Open(9, 0, 0x10005, 3);
    EXPECT_EQ(EditTexts(), (std::vector<std::string>{"8", "1", "5", "3"}));
    Click(IDOK);
    EXPECT_EQ(WaitForEnd(), IDOK);
    EXPECT_EQ(m_run->dialog.m_nButtonA1, 8u);
    EXPECT_EQ(m_run->dialog.m_nButtonA2, 1u);
    EXPECT_EQ(m_run->dialog.m_nButtonB1, 5u);
}

} // namespace
