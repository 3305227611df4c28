// The button assignment dialog's data exchange and spins against a real
// user32 and comctl32: each test runs the dialog modally and drives it from
// inside its own loop by steps posted to it, answering the message boxes of
// a refused OK from inside theirs. Only Win32 calls, so the same steps run
// on the simulated machine and under Wine.
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "resources/resource.h"
#include "shell/buttons_dlg.h"

namespace {

const char kPositive[] = "Please enter a positive integer.";
const char kRange[] = "Please enter an integer between 1 and 8.";

const UINT g_stepMessage = RegisterWindowMessageA("BriskarnButtonsTestStep");

using StepAction = std::function<void(HWND dialog)>;

// The dialog under test, running one step for each step message it takes
// and posting the next behind whatever the step itself posted.
class ScriptedButtonsDlg : public CButtonsDlg {
  public:
    std::vector<StepAction> m_steps;
    std::size_t m_nextStep = 0;

  protected:
    BOOL OnInitDialog() override {
        BOOL result = CButtonsDlg::OnInitDialog();
        ::PostMessageA(m_hWnd, g_stepMessage, 0, 0);
        return result;
    }

    LRESULT OnStep(WPARAM, LPARAM) {
        if (m_nextStep < m_steps.size()) {
            HWND dialog = m_hWnd;
            m_steps[m_nextStep++](dialog);
            if (::IsWindow(dialog))
                ::PostMessageA(dialog, g_stepMessage, 0, 0);
        }
        return 0;
    }

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ScriptedButtonsDlg, CButtonsDlg)
ON_REGISTERED_MESSAGE(g_stepMessage, OnStep)
END_MESSAGE_MAP()

std::string Text(HWND window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ItemText(HWND dialog, int id) {
    return Text(GetDlgItem(dialog, id));
}

void PostCommand(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

struct BoxSearch {
    HWND dialog;
    HWND box;
};

BOOL CALLBACK FindBox(HWND window, LPARAM parameter) {
    BoxSearch* search = reinterpret_cast<BoxSearch*>(parameter);
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (window != search->dialog && IsWindowVisible(window) && std::string(name) == "#32770") {
        search->box = window;
        return FALSE;
    }
    return TRUE;
}

struct Box {
    bool shown = false;
    std::string caption, text;
    bool dialogEnabled = true;
};

// Runs inside the message box's own loop: notes what it says and ends it
// with its OK button.
StepAction AnswerBox(Box* seen) {
    return [seen](HWND dialog) {
        BoxSearch search{dialog, nullptr};
        EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&search));
        seen->shown = search.box != nullptr;
        if (!search.box)
            return;
        seen->caption = Text(search.box);
        seen->text = ItemText(search.box, 0xFFFF);
        seen->dialogEnabled = IsWindowEnabled(dialog) != FALSE;
        PostMessageA(search.box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    };
}

// Back in the dialog after the box: the offending edit has the focus and
// its whole text is selected.
StepAction ExpectHandedBack(const Box* seen, int edit, const char* message) {
    return [seen, edit, message](HWND dialog) {
        SCOPED_TRACE(std::string("edit ") + std::to_string(edit) + ", message " + message);
        EXPECT_TRUE(seen->shown);
        EXPECT_EQ(seen->caption, "BRISKARN");
        EXPECT_EQ(seen->text, message);
        EXPECT_FALSE(seen->dialogEnabled) << "the box is modal to the dialog";
        HWND control = GetDlgItem(dialog, edit);
        EXPECT_EQ(GetFocus(), control);
        DWORD start = 1, end = 0;
        SendMessageA(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, static_cast<DWORD>(Text(control).size()));
    };
}

// A key as the dialog's loop hands it to the focused edit.
void PressKey(HWND control, WPARAM key) {
    SendMessageA(control, WM_KEYDOWN, key, 0);
    SendMessageA(control, WM_KEYUP, key, 0);
}

void ClickArrow(HWND spin, bool up) {
    RECT client;
    GetClientRect(spin, &client);
    LPARAM point = MAKELPARAM(client.right / 2, up ? client.bottom / 4 : client.bottom * 3 / 4);
    SendMessageA(spin, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(spin, WM_LBUTTONUP, 0, point);
}

class ButtonsExchange : public ::testing::Test {
  protected:
    void SetUp() override {
        // The caption of the application's message boxes, and the module
        // with the dialog.
        AfxGetApp()->m_pszAppName = "BRISKARN";
        AfxGetApp()->m_hInstance = GetModuleHandleA(nullptr);
    }

    INT_PTR Run(UINT a1, UINT a2, UINT b1, UINT b2, std::vector<StepAction> steps) {
        m_dialog.m_nButtonA1 = a1;
        m_dialog.m_nButtonA2 = a2;
        m_dialog.m_nButtonB1 = b1;
        m_dialog.m_nButtonB2 = b2;
        m_dialog.m_steps = std::move(steps);
        INT_PTR result = m_dialog.DoModal();
        EXPECT_EQ(m_dialog.m_nextStep, m_dialog.m_steps.size()) << "steps left over";
        return result;
    }

    ScriptedButtonsDlg m_dialog;
};

TEST_F(ButtonsExchange, RefusedNumbersBringTheirMessageAndTheEditBack) {
    struct Case {
        const char* typed;
        const char* message;
    };
    const Case cases[] = {
        {"9", kRange},     {"0", kRange},       {"-1", kPositive},        {"", kPositive},
        {"5a", kPositive}, {"7\t7", kPositive}, {"4294967296", kPositive}};
    std::vector<Box> boxes(sizeof cases / sizeof cases[0]);
    std::vector<StepAction> steps;
    // A bad number below stays unexamined while the one above is refused.
    steps.push_back([](HWND dialog) { SetDlgItemTextA(dialog, IDC_EDIT_B2, "x"); });
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        const char* typed = cases[i].typed;
        steps.push_back([typed](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_EDIT_A2, typed);
            PostCommand(dialog, IDOK);
        });
        steps.push_back(AnswerBox(&boxes[i]));
        steps.push_back(ExpectHandedBack(&boxes[i], IDC_EDIT_A2, cases[i].message));
    }
    // Blanks and tabs around a number are no reason to refuse it.
    steps.push_back([](HWND dialog) {
        SetDlgItemTextA(dialog, IDC_EDIT_A2, " \t7 \t");
        SetDlgItemTextA(dialog, IDC_EDIT_B2, "1");
        PostCommand(dialog, IDOK);
    });
    EXPECT_EQ(Run(2, 3, 4, 5, std::move(steps)), IDOK);
    EXPECT_EQ(m_dialog.m_nButtonA1, 2u);
    EXPECT_EQ(m_dialog.m_nButtonA2, 7u);
    EXPECT_EQ(m_dialog.m_nButtonB1, 4u);
    EXPECT_EQ(m_dialog.m_nButtonB2, 1u);
}

TEST_F(ButtonsExchange, CancelAfterARefusedOkEndsWithoutTakingTheNumbers) {
    Box box;
    std::vector<StepAction> steps = {
        [](HWND dialog) {
            SetDlgItemTextA(dialog, IDC_EDIT_A1, "6");
            SetDlgItemTextA(dialog, IDC_EDIT_A2, "0");
            PostCommand(dialog, IDOK);
        },
        AnswerBox(&box),
        ExpectHandedBack(&box, IDC_EDIT_A2, kRange),
        [](HWND dialog) { PostCommand(dialog, IDCANCEL); },
    };
    EXPECT_EQ(Run(2, 3, 4, 5, std::move(steps)), IDCANCEL);
    // The refused exchange took the first number, and the refused one too
    // before checking it; only the result tells the caller not to use them.
    EXPECT_EQ(m_dialog.m_nButtonA1, 6u);
    EXPECT_EQ(m_dialog.m_nButtonA2, 0u);
    EXPECT_EQ(m_dialog.m_nButtonB1, 4u);
}

TEST_F(ButtonsExchange, ArrowsAndArrowKeysStepWithinOneToEight) {
    std::vector<StepAction> steps = {
        [](HWND dialog) {
            EXPECT_EQ(ItemText(dialog, IDC_EDIT_A1), "7");
            HWND edit = GetDlgItem(dialog, IDC_EDIT_A1);
            SetFocus(edit);
            const char* const want[] = {"8", "8", "8"};
            for (const char* text : want) {
                PressKey(edit, VK_UP);
                EXPECT_EQ(Text(edit), text);
            }
        },
        [](HWND dialog) {
            HWND spin = GetDlgItem(dialog, IDC_SPIN2);
            const char* const want[] = {"1", "1"};
            for (const char* text : want) {
                ClickArrow(spin, false);
                EXPECT_EQ(ItemText(dialog, IDC_EDIT_A2), text);
            }
            // The arrows hand the edit the focus, its text selected.
            EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_EDIT_A2));
            EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_EDIT_A2, EM_GETSEL, 0, 0), MAKELRESULT(0, 1));
            ClickArrow(spin, true);
            EXPECT_EQ(ItemText(dialog, IDC_EDIT_A2), "2");
        },
        [](HWND dialog) {
            // A typed number is where the next step starts from.
            HWND edit = GetDlgItem(dialog, IDC_EDIT_B1);
            SetDlgItemTextA(dialog, IDC_EDIT_B1, "6");
            SetFocus(edit);
            const char* const want[] = {"7", "8", "8"};
            for (const char* text : want) {
                PressKey(edit, VK_UP);
                EXPECT_EQ(Text(edit), text);
            }
            // Text the spin cannot read leaves its position as it was.
            SetDlgItemTextA(dialog, IDC_EDIT_B1, "9");
            PressKey(edit, VK_DOWN);
            EXPECT_EQ(Text(edit), "7");
            PostCommand(dialog, IDOK);
        },
    };
    EXPECT_EQ(Run(7, 2, 4, 5, std::move(steps)), IDOK);
    EXPECT_EQ(m_dialog.m_nButtonA1, 8u);
    EXPECT_EQ(m_dialog.m_nButtonA2, 2u);
    EXPECT_EQ(m_dialog.m_nButtonB1, 7u);
    EXPECT_EQ(m_dialog.m_nButtonB2, 5u);
}

TEST_F(ButtonsExchange, StoredNumbersOutsideTheRangeShowAsTheSpinsHoldThem) {
    std::vector<StepAction> steps = {[](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_EDIT_A1), "8");
        EXPECT_EQ(ItemText(dialog, IDC_EDIT_A2), "1");
        EXPECT_EQ(ItemText(dialog, IDC_EDIT_B1), "5");
        EXPECT_EQ(ItemText(dialog, IDC_EDIT_B2), "3");
        EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDOK));
        PostCommand(dialog, IDOK);
    }};
    EXPECT_EQ(Run(9, 0, 0x10005, 3, std::move(steps)), IDOK);
    EXPECT_EQ(m_dialog.m_nButtonA1, 8u);
    EXPECT_EQ(m_dialog.m_nButtonA2, 1u);
    EXPECT_EQ(m_dialog.m_nButtonB1, 5u);
    EXPECT_EQ(m_dialog.m_nButtonB2, 3u);
}

TEST(DataExchangeText, UnsignedNumbersAndTheMessagesPlaces) {
    struct Parse {
        const char* text;
        bool ok;
        UINT value;
    };
    const Parse parses[] = {
        {"7", true, 7},
        {" 7 ", true, 7},
        {"\t8\t", true, 8},
        {"007", true, 7},
        {"4294967295", true, 0xFFFFFFFFu},
        {"4294967296", false, 0},
        {"", false, 0},
        {"  ", false, 0},
        {"-1", false, 0},
        {"+1", false, 0},
        {"5a", false, 0},
        {"1 2", false, 0},
        {"0x5", false, 0},
        {"\n5", false, 0},
    };
    for (const Parse& p : parses) {
        UINT value = 12345;
        EXPECT_EQ(AfxParseUInt(p.text, &value) != FALSE, p.ok) << '"' << p.text << '"';
        EXPECT_EQ(value, p.ok ? p.value : 12345u) << '"' << p.text << '"';
    }
    struct Format {
        const char* pattern;
        int size;
        const char* result;
    };
    const LPCSTR args[] = {"1", "8"};
    const Format formats[] = {
        {"between %1 and %2.", 64, "between 1 and 8."},
        {"%2%1%3 100%", 64, "81%3 100%"},
        {"between %1 and %2.", 12, "between 1 a"},
    };
    for (const Format& f : formats) {
        char out[64];
        AfxFormatStrings(out, f.size, f.pattern, args, 2);
        EXPECT_STREQ(out, f.result) << f.pattern;
    }
}

} // namespace
