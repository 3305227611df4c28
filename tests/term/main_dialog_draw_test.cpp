// The program's own main dialog, made by the hosted user layer from the
// compiled resources, drawn: its texts where the template's dialog units put them.
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "core/machine.h"
#include "resources/resource.h"
#include "term/draw.h"
#include "term/text_layout.h"
#include "user/screen.h"

namespace {

using namespace hosted::term;

INT_PTR CALLBACK QuietProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

DWORD WINAPI RunMainDialog(LPVOID) {
    return static_cast<DWORD>(DialogBoxParamA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_BRISKARN_DIALOG), nullptr, QuietProc, 0));
}

// Where a text starts in the template's dialog units, as a cell of the drawn
// window: the frame takes the first column and row, a cell is four units
// across (half a cell rounding left) and eight down. `textTop` is the top of
// the text's line: a label's own top, a button's or check box's middle less
// half a line.
struct Expected {
    const char* text;
    int x, textTop;
};

TEST(DrawMainDialog, TheTemplatesTextsLandOnTheCellsOfTheirDialogUnits) {
    HANDLE thread = CreateThread(nullptr, 0, RunMainDialog, nullptr, 0, nullptr);
    std::string report;
    ASSERT_TRUE(hosted::WaitUntilQuiet(&report)) << report;
    std::vector<hosted::WindowView> windows = hosted::VisibleWindows();
    ASSERT_EQ(windows.size(), 1u);

    int width = 0, height = 0;
    WindowCells(windows[0], &width, &height);
    EXPECT_EQ(width, 82);
    EXPECT_EQ(height, 32);
    Canvas canvas(width, height);
    std::vector<Hit> hits;
    DrawWindows(canvas, 0, 0, windows, &hits);
    SCOPED_TRACE(canvas.Text());

    EXPECT_EQ(canvas.Row(0).substr(0, 14), "+[-] Velomira ");
    const Expected texts[] = {
        {"RZ4Max:", 138, 9},
        {"RZ4Count:", 133, 27},
        {"DIJoyCount:", 129, 45},
        {"X-axis", 30, 118},
        {"Y-axis", 30, 138},
        {"- Joystick Data -", 17 + 4, 102}, // a cell after the group's corner
        {"[ ] Button 1", 133, 118 + 5 - 4},
        {"[ ] Button 5", 133, 202 + 5 - 4},
        {"[ ] Button 10", 186, 202 + 5 - 4},
    };
    for (const Expected& e : texts) {
        std::string row = canvas.Row(1 + e.textTop / 8);
        EXPECT_EQ(row.find(e.text), static_cast<std::size_t>(1 + (e.x + 1) / 4))
            << e.text << " in\n"
            << row;
    }
    // A push button's face is centred between its edges (252 and 302); an
    // edit's field starts at its left edge, on the row of the label before it,
    // or a cell later where the label's text would touch it: the template
    // keeps a gap between the two.
    int left = (252 + 1) / 4, right = (252 + 50 + 1) / 4, face = 9;
    EXPECT_EQ(canvas.Row(1 + (7 + 7 - 4) / 8).find("[>Close<]"),
              static_cast<std::size_t>(1 + left + (right - left - face) / 2));
    const std::pair<const char*, int> fields[] = {
        {"RZ4Max:", 171}, {"RZ4Count:", 171}, {"DIJoyCount:", 171}, {"X-axis", 52}, {"Y-axis", 52}};
    for (const auto& field : fields) {
        for (int y = 0; y < height; ++y) {
            std::string row = canvas.Row(y);
            std::size_t label = row.find(field.first), at = 1 + (field.second + 1) / 4;
            if (label == std::string::npos)
                continue;
            if (label + std::string(field.first).size() == at)
                ++at;
            EXPECT_EQ(row.substr(at - 1, 3), " __") << row;
        }
    }
    // Made to fit a terminal of 80 x 24 with its bottom line, the dialog
    // keeps every text, each still clear of the next.
    hosted::WindowView fitted = FitWindow(windows[0], 80, 23);
    WindowCells(fitted, &width, &height);
    EXPECT_EQ(width, 80);
    EXPECT_EQ(height, 23);
    Canvas small(width, height);
    DrawWindows(small, 0, 0, {fitted}, nullptr);
    for (const hosted::ControlView& control : windows[0].controls) {
        std::string text =
            control.kind == hosted::WindowKind::Edit ? "" : StripMnemonics(control.text);
        if (control.visible && !text.empty()) {
            EXPECT_NE(small.Text().find(text), std::string::npos) << text << "\n" << small.Text();
        }
    }
    for (const auto& field : fields)
        EXPECT_NE(small.Text().find(std::string(field.first) + " _"), std::string::npos)
            << field.first;

    // Hidden controls stay out; disabled ones take no clicks.
    EXPECT_EQ(canvas.Text().find("Cancel"), std::string::npos);
    EXPECT_EQ(canvas.Text().find("Polling"), std::string::npos);
    int controlHits = 0;
    for (const Hit& hit : hits)
        controlHits += hit.kind == Hit::Control ? 1 : 0;
    EXPECT_EQ(controlHits, 8); // Enable, Close, Setup and five edits

    std::string error;
    ASSERT_TRUE(hosted::PressKey(VK_ESCAPE, &error)) << error;
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    CloseHandle(thread);
}

} // namespace
