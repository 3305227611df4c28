// The terminal's drawing of hand-made views: what a user reads off the
// cells, with and without the attributes a plain capture loses.
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>

#include "term/draw.h"
#include "user/window.h"

namespace {

using hosted::ControlView;
using hosted::MenuItemView;
using hosted::WindowKind;
using hosted::WindowView;
using namespace hosted::term;

// Pixels of a template's dialog units, rounded as the dialog manager rounds them.
RECT Units(int x, int y, int cx, int cy) {
    auto scale = [](int value, int pixels, int units) {
        return (value * pixels + units / 2) / units;
    };
    LONG left = scale(x, 6, 4), top = scale(y, 13, 8);
    return RECT{left, top, left + scale(cx, 6, 4), top + scale(cy, 13, 8)};
}

ControlView Control(int id, WindowKind kind, const char* text, RECT rect, DWORD style = 0) {
    ControlView control;
    control.id = id;
    control.kind = kind;
    control.text = text;
    control.rect = rect;
    control.style = style;
    control.visible = control.enabled = true;
    return control;
}

WindowView Dialog(const char* caption, int cx, int cy, std::vector<ControlView> controls) {
    WindowView window;
    window.caption = caption;
    window.rect = Units(0, 0, cx, cy);
    window.baseUnitX = 6;
    window.baseUnitY = 13;
    window.enabled = window.hasSystemMenu = true;
    window.controls = std::move(controls);
    return window;
}

WindowView Box(const char* caption, const char* text, UINT type) {
    WindowView box;
    box.messageBox = true;
    box.caption = caption;
    box.text = text;
    box.boxType = type;
    box.buttons = hosted::MessageBoxButtons(type);
    box.enabled = box.hasSystemMenu = true;
    return box;
}

struct Drawn {
    Canvas canvas{100, 40};
    std::vector<Hit> hits;
    std::string Row(int y) const { return canvas.Row(y); }
    // The first rows as a capture shows them.
    std::string Picture(int rows) const {
        std::string text;
        for (int y = 0; y < rows; ++y)
            text += Row(y) + '\n';
        return text;
    }
    // The attributes where `text` first appears.
    unsigned char AttrAt(const std::string& text) const {
        for (int y = 0; y < canvas.Height(); ++y) {
            std::size_t at = Row(y).find(text);
            if (at != std::string::npos)
                return canvas.At(static_cast<int>(at), y).attr;
        }
        ADD_FAILURE() << "no " << text;
        return 0;
    }
    // Every reversed character, left to right and top to bottom.
    std::string Reversed() const {
        std::string text;
        for (int y = 0; y < canvas.Height(); ++y)
            for (int x = 0; x < canvas.Width(); ++x)
                if (canvas.At(x, y).attr & kReverse)
                    text += canvas.At(x, y).ch;
        return text;
    }
};

Drawn Draw(const std::vector<WindowView>& windows) {
    Drawn drawn;
    DrawWindows(drawn.canvas, 0, 0, windows, &drawn.hits);
    return drawn;
}

TEST(DrawControls, EachKindShowsItsStateInPlainText) {
    ControlView hidden = Control(9, WindowKind::Button, "Hidden", Units(4, 72, 40, 14));
    hidden.visible = false;
    ControlView disabled =
        Control(10, WindowKind::Button, "Off", Units(112, 42, 40, 10), BS_AUTOCHECKBOX);
    disabled.enabled = false;
    ControlView checked =
        Control(2, WindowKind::Button, "&Check", Units(4, 20, 60, 10), BS_AUTOCHECKBOX);
    checked.check = BST_CHECKED;
    ControlView pressed = Control(5, WindowKind::Button, "Enable", Units(4, 40, 48, 14),
                                  BS_AUTOCHECKBOX | BS_PUSHLIKE);
    pressed.check = BST_CHECKED;
    ControlView chosen =
        Control(4, WindowKind::Button, "Two", Units(60, 30, 40, 10), BS_AUTORADIOBUTTON);
    chosen.check = BST_CHECKED;
    WindowView window = Dialog(
        "Kinds", 160, 90,
        {Control(1, WindowKind::Button, "&Close", Units(100, 4, 48, 14)),
         Control(11, WindowKind::Button, "OK", Units(100, 20, 48, 14), BS_DEFPUSHBUTTON), checked,
         Control(3, WindowKind::Button, "One", Units(4, 30, 40, 10), BS_AUTORADIOBUTTON), chosen,
         pressed,
         Control(6, WindowKind::Button, "Idle", Units(60, 40, 48, 14),
                 BS_AUTOCHECKBOX | BS_PUSHLIKE),
         disabled, Control(7, WindowKind::Edit, "42", Units(4, 56, 32, 14)),
         Control(8, WindowKind::UpDown, "42", Units(34, 56, 11, 14)), hidden,
         Control(-1, WindowKind::Button, "Axes", Units(80, 56, 72, 30), BS_GROUPBOX),
         Control(-1, WindowKind::Static, "", Units(4, 72, 20, 20), SS_ICON),
         Control(-1, WindowKind::Static, "Fish && Chips", Units(88, 68, 60, 8))});
    Drawn drawn = Draw({window});

    EXPECT_EQ(drawn.Picture(13), R"(+[-] Kinds ------------------------------+
|                          [ Close ]     |
|                                        |
| [x] Check                  [ OK ]      |
| ( ) One       (*) Two                  |
|                                        |
|  [*Enable*]     [ Idle ]   [ ] Off     |
|                    +- Axes ---------+  |
| 42______^          |                |  |
| (B)     v          | Fish & Chips   |  |
|                    +----------------+  |
|                                        |
+----------------------------------------+
)");
    // What a plain capture cannot show.
    EXPECT_EQ(drawn.AttrAt("[*Enable*]"), kReverse);
    EXPECT_EQ(drawn.AttrAt("[ ] Off"), kDim);
    EXPECT_EQ(drawn.AttrAt("[ OK ]"), kBold);
    EXPECT_EQ(drawn.AttrAt("42__"), kUnderline);
}

TEST(DrawControls, TheFocusedControlIsMarkedInPlainTextAndReversed) {
    struct Case {
        ControlView control;
        const char* seen;
        const char* reversed;
    };
    ControlView edit = Control(1, WindowKind::Edit, "12345", Units(4, 4, 40, 14));
    edit.selStart = 1;
    edit.selEnd = 3;
    ControlView caret = Control(1, WindowKind::Edit, "12", Units(4, 4, 40, 14));
    caret.selStart = caret.selEnd = 2;
    ControlView check =
        Control(1, WindowKind::Button, "Button 1", Units(4, 4, 60, 10), BS_AUTOCHECKBOX);
    check.check = BST_CHECKED;
    ControlView pushLike = Control(1, WindowKind::Button, "Enable", Units(4, 4, 48, 14),
                                   BS_AUTOCHECKBOX | BS_PUSHLIKE);
    pushLike.check = BST_CHECKED;
    const Case cases[] = {
        {Control(1, WindowKind::Button, "&Setup...", Units(4, 4, 50, 14)), "[>Setup...<]",
         "Setup..."},
        {check, "[x]>Button 1<", "Button 1"},
        {Control(1, WindowKind::Button, "Joystick", Units(4, 4, 60, 10), BS_AUTORADIOBUTTON),
         "( )>Joystick<", "Joystick"},
        {pushLike, "[*>Enable<*]", "[*>Enable<*]"},
        {edit, "12345____<", "23"},
        {caret, "12_______<", "_"},
    };
    for (const Case& c : cases) {
        ControlView focused = c.control;
        focused.focused = true;
        Drawn drawn = Draw({Dialog("Focus", 80, 24, {focused})});
        std::string row = drawn.Row(1);
        SCOPED_TRACE(row);
        EXPECT_NE(row.find(c.seen), std::string::npos);
        EXPECT_EQ(drawn.Reversed(), c.reversed);
    }
}

TEST(DrawControls, StaticsAlignWrapAndKeepClearOfTheirNeighbours) {
    WindowView window =
        Dialog("Labels", 100, 110,
               {Control(-1, WindowKind::Static, "Left", Units(4, 4, 80, 8)),
                Control(-1, WindowKind::Static, "Centre", Units(4, 12, 80, 8), SS_CENTER),
                Control(-1, WindowKind::Static, "Right", Units(4, 20, 80, 8), SS_RIGHT),
                Control(-1, WindowKind::Static, "a & b", Units(4, 28, 80, 8), SS_NOPREFIX),
                Control(-1, WindowKind::Static, "The quick brown fox jumps over the lazy dog",
                        Units(4, 36, 60, 24)),
                // Longer than their rects: on into free cells up to the next control,
                // a cell apart from it, then onto free rows below.
                Control(-1, WindowKind::Static, "DIJoyCount:", Units(4, 62, 40, 8)),
                Control(1, WindowKind::Edit, "", Units(48, 60, 40, 14)),
                Control(-1, WindowKind::Static, "Count of things:", Units(4, 78, 40, 8)),
                Control(2, WindowKind::Edit, "", Units(48, 76, 40, 14)),
                Control(-1, WindowKind::Static, "X-axis-label", Units(4, 94, 20, 8))});
    Drawn drawn = Draw({window});

    EXPECT_EQ(drawn.Picture(16), R"(+[-] Labels --------------+
| Left                    |
|        Centre           |
|                Right    |
| a & b                   |
| The quick brown         |
| fox jumps over          |
| the lazy dog            |
| DIJoyCount: _________   |
|                         |
| Count of   __________   |
| things:                 |
| X-axis-label            |
|                         |
|                         |
+-------------------------+
)");
}

TEST(DrawWindows, LaterWindowsAreCentredOverTheFirstAndOnlyTheTopOneTakesInput) {
    ControlView disabled = Control(3, WindowKind::Button, "Off", Units(44, 4, 32, 14));
    disabled.enabled = false;
    ControlView hidden = Control(4, WindowKind::Button, "Gone", Units(50, 40, 40, 14));
    hidden.visible = false;
    WindowView main = Dialog("Main", 120, 80,
                             {Control(1, WindowKind::Button, "Below", Units(40, 30, 40, 14)),
                              Control(2, WindowKind::Button, "Also", Units(4, 4, 40, 14))});
    WindowView modal =
        Dialog("Modal", 80, 64,
               {Control(IDOK, WindowKind::Button, "OK", Units(4, 4, 40, 14)), disabled, hidden,
                Control(-1, WindowKind::Button, "Group", Units(2, 20, 76, 30), BS_GROUPBOX),
                Control(-1, WindowKind::Static, "Label", Units(8, 31, 24, 8)),
                Control(5, WindowKind::Edit, "7", Units(32, 28, 24, 14)),
                Control(6, WindowKind::UpDown, "7", Units(56, 28, 11, 14))});
    modal.hasSystemMenu = false;
    Drawn drawn = Draw({main, modal});

    EXPECT_EQ(drawn.Picture(12), R"(+[-] Main ---------------------+
|  [ + Modal -------------+    |
|    |   [ OK ]  [ Off ]  |    |
|    |                    |    |
|    |+- Group ---------+ |    |
|    || Label 7_____ ^  | |    |
|    ||              v  | |    |
|    |+-----------------+ |    |
|    |                    |    |
|    |                    |    |
|    +--------------------+    |
+------------------------------+
)");
    // No hits for the window below, the disabled or hidden button, the
    // label or the group; each hit lies on what it stands for.
    const std::pair<Hit::Kind, int> kinds[] = {
        {Hit::Control, IDOK}, {Hit::Control, 5}, {Hit::SpinUp, 6}, {Hit::SpinDown, 6}};
    const char* const shown[] = {"[ OK ]", "7_____", "^", "v"};
    ASSERT_EQ(drawn.hits.size(), 4u);
    for (std::size_t i = 0; i < drawn.hits.size(); ++i) {
        const Hit& hit = drawn.hits[i];
        EXPECT_EQ(hit.kind, kinds[i].first) << i;
        EXPECT_EQ(hit.id, kinds[i].second) << i;
        std::string covered;
        for (int y = hit.top; y <= hit.bottom; ++y)
            covered += drawn.Row(y).substr(hit.left, hit.right - hit.left + 1) + "|";
        EXPECT_NE(covered.find(shown[i]), std::string::npos) << covered;
    }

    // With the system-menu mark on the caption, it is a hit too.
    modal.hasSystemMenu = true;
    drawn = Draw({main, modal});
    const Hit& mark = drawn.hits.front();
    EXPECT_EQ(mark.kind, Hit::SystemMenuMark);
    EXPECT_EQ(drawn.Row(mark.top).substr(mark.left, mark.right - mark.left + 1), "[-]");
}

TEST(DrawWindows, AMinimisedWindowShowsItsIconAndCaption) {
    WindowView main =
        Dialog("Velomira", 120, 80, {Control(1, WindowKind::Button, "Close", Units(4, 4, 40, 14))});
    main.iconic = true;
    Drawn drawn = Draw({main});
    EXPECT_EQ(drawn.Picture(4), "+--------------+\n| ( ) Velomira |\n+--------------+\n\n");
    main.drawnIcon = reinterpret_cast<HICON>(0x50200);
    drawn = Draw({main});
    EXPECT_EQ(drawn.Row(1), "| (B) Velomira |");
    ASSERT_EQ(drawn.hits.size(), 1u);
    EXPECT_EQ(drawn.hits[0].kind, Hit::SystemMenuMark);
}

TEST(DrawMessageBox, SizedFromItsTextWithItsIconAndButtons) {
    struct Case {
        UINT type;
        const char* buttons; // the button row, trimmed
        std::vector<int> ids;
        const char* icon;
    };
    const Case cases[] = {
        {MB_OK, "[>OK<]", {IDOK}, ""},
        {MB_OKCANCEL | MB_ICONQUESTION, "[>OK<]  [ Cancel ]", {IDOK, IDCANCEL}, "(?)"},
        {MB_ABORTRETRYIGNORE | MB_ICONSTOP | MB_DEFBUTTON2,
         "[ Abort ]  [>Retry<]  [ Ignore ]",
         {IDABORT, IDRETRY, IDIGNORE},
         "(X)"},
        {MB_YESNOCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON3,
         "[ Yes ]  [ No ]  [>Cancel<]",
         {IDYES, IDNO, IDCANCEL},
         "(!)"},
        {MB_YESNO | MB_ICONINFORMATION, "[>Yes<]  [ No ]", {IDYES, IDNO}, "(i)"},
        {MB_RETRYCANCEL | MB_DEFBUTTON3, "[>Retry<]  [ Cancel ]", {IDRETRY, IDCANCEL}, ""},
    };
    for (const Case& c : cases) {
        WindowView box = Box("Velomira", "Sure?", c.type);
        Drawn drawn = Draw({box});
        SCOPED_TRACE(drawn.canvas.Text());
        int width = 0, height = 0;
        WindowCells(box, &width, &height);
        EXPECT_EQ(height, 6);
        EXPECT_EQ(drawn.Row(height - 1), "+" + std::string(width - 2, '-') + "+");
        std::string buttons = drawn.Row(height - 2);
        buttons = buttons.substr(buttons.find_first_not_of("| "));
        EXPECT_EQ(buttons.substr(0, buttons.find_last_not_of("| ") + 1), c.buttons);
        if (*c.icon) {
            EXPECT_EQ(drawn.Row(2).find(c.icon), 3u);
        }
        std::vector<int> ids;
        for (const Hit& hit : drawn.hits)
            if (hit.kind == Hit::BoxButton)
                ids.push_back(hit.id + 10 * (drawn.Row(hit.top)[hit.right] != ']'));
        EXPECT_EQ(ids, c.ids); // each on its button's face
    }

    // A long message wraps at fifty columns and keeps its own line breaks.
    WindowView box = Box("Velomira",
                         "The driver BRISKARN.VXD is not loaded, so nothing can be forwarded "
                         "to the game.\nInstall it and start again.",
                         MB_OK | MB_ICONSTOP);
    Drawn drawn = Draw({box});
    EXPECT_EQ(drawn.Picture(8), R"(+[-] Velomira ---------------------------------------------+
|                                                          |
|  (X)  The driver BRISKARN.VXD is not loaded, so nothing  |
|       can be forwarded to the game.                      |
|       Install it and start again.                        |
|                                                          |
|                          [>OK<]                          |
+----------------------------------------------------------+
)");
}

TEST(DrawMenu, ListsTheSystemMenuBelowTheMark) {
    std::vector<MenuItemView> items = {{SC_RESTORE, "&Restore", false},
                                       {SC_MINIMIZE, "Mi&nimize", false},
                                       {0, "", true},
                                       {SC_CLOSE, "&Close\tAlt+F4", false}};
    WindowView main = Dialog("Velomira", 120, 80, {});
    Drawn drawn = Draw({main});
    DrawSystemMenu(drawn.canvas, 0, 0, main, items, 1, &drawn.hits);
    EXPECT_EQ(drawn.Picture(7), R"(+[-] Velomira -----------------+
|+-------------------+         |
|| Restore           |         |
|| Minimize          |         |
||-------------------|         |
|| Close      Alt+F4 |         |
|+-------------------+         |
)");
    ASSERT_EQ(drawn.hits.size(), 3u);
    EXPECT_EQ(drawn.hits[1].kind, Hit::MenuItem);
    EXPECT_EQ(drawn.hits[1].id, SC_MINIMIZE);
    EXPECT_EQ(drawn.Reversed(), " Minimize          ");
    // The letters that choose the entries are underlined.
    std::string underlined;
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < drawn.canvas.Width(); ++x)
            if (drawn.canvas.At(x, y).attr & kUnderline)
                underlined += drawn.canvas.At(x, y).ch;
    EXPECT_EQ(underlined, "RnC");
}

TEST(DrawMenu, AGreyedEntryIsDimmedAndCannotBeClicked) {
    std::vector<MenuItemView> items = {{SC_RESTORE, "&Restore", false, true},
                                       {SC_MINIMIZE, "Mi&nimize", false, false}};
    WindowView main = Dialog("Velomira", 120, 80, {});
    Drawn drawn = Draw({main});
    DrawSystemMenu(drawn.canvas, 0, 0, main, items, 1, &drawn.hits);
    ASSERT_EQ(drawn.hits.size(), 1u);
    EXPECT_EQ(drawn.hits[0].id, SC_MINIMIZE);
    EXPECT_TRUE(drawn.canvas.At(3, 2).attr & kDim) << drawn.canvas.Row(2);
    EXPECT_FALSE(drawn.canvas.At(3, 3).attr & kDim) << drawn.canvas.Row(3);
}

TEST(DrawPanel, ShowsTheWheelsOwnButtonsAndHatOrThatThereIsNone) {
    WheelPanelState state;
    state.name = "Simulated wheel";
    state.present = true;
    state.x = 65535;
    state.y = 0;
    state.buttons[2] = state.buttons[9] = true;
    state.hat = 9000;
    Canvas canvas(kPanelWidth, 24);
    DrawWheelPanel(canvas, 0, 0, state);
    EXPECT_EQ(canvas.Text().substr(0, canvas.Text().find("\n\n\n")), R"(Simulated wheel
polled

X [##################] 65535
Y [..................]     0

 1    2   [3]   4    5
 6    7    8    9   [10]

Hat E
Autopilot off)");
    EXPECT_EQ(WheelPanelRows(state), 11);
    EXPECT_EQ(canvas.At(11, 6).attr, kReverse);

    const std::pair<DWORD, const char*> hats[] = {
        {0xFFFFFFFF, "Hat centred"}, {0, "Hat N"}, {31500, "Hat NW"}, {12345, "Hat 123.45 deg"}};
    for (const auto& hat : hats) {
        state.hat = hat.first;
        canvas.Clear();
        DrawWheelPanel(canvas, 0, 0, state);
        EXPECT_NE(canvas.Text().find(hat.second), std::string::npos) << hat.second;
    }

    // A wheel of four buttons and no hat shows just those.
    state.buttonCount = 4;
    state.hatCount = 0;
    canvas.Clear();
    DrawWheelPanel(canvas, 0, 0, state);
    EXPECT_EQ(canvas.Row(6), " 1    2   [3]   4");
    EXPECT_EQ(canvas.Row(8), "no hat");

    state.present = false;
    canvas.Clear();
    DrawWheelPanel(canvas, 0, 0, state);
    EXPECT_EQ(canvas.Text().substr(0, 10), "no wheel\n\n");
}

TEST(DrawPanel, TheDriversLastReportIsDecodedAndTheLogFollows) {
    DriverPanelState state;
    state.present = true;
    state.gameMax = 2048;
    state.callbacks = 1312;
    state.reports = 39;
    state.reportsPerSecond = 50;
    state.haveReport = true;
    state.axisX = 255;
    state.axisY = 127;
    state.buttons = 0xF0 & ~0x10u & ~0x80u; // A button 1 and B button 2 pressed
    Canvas canvas(kPanelWidth, 12);
    EXPECT_EQ(DrawDriverPanel(canvas, 0, 0, state), 7);
    SCOPED_TRACE(canvas.Text());
    const char* const rows[] = {"2048", "1312", "39", "50", "X 255  Y 127"};
    for (int i = 0; i < 5; ++i) {
        std::string row = canvas.Row(1 + i);
        EXPECT_EQ(row.substr(row.size() - std::string(rows[i]).size()), rows[i]);
        EXPECT_EQ(row.size(), static_cast<std::size_t>(kPanelWidth));
    }
    EXPECT_EQ(canvas.Row(6), "Buttons [A1] A2  B1 [B2]");
    std::string lit;
    for (int x = 0; x < kPanelWidth; ++x)
        if (canvas.At(x, 6).attr & kReverse)
            lit += canvas.At(x, 6).ch;
    EXPECT_EQ(lit, "[A1][B2]");

    state.present = false;
    state.openError = 2;
    canvas.Clear();
    EXPECT_EQ(DrawDriverPanel(canvas, 0, 0, state), 1);
    EXPECT_NE(canvas.Row(0).find("absent"), std::string::npos);
    EXPECT_NE(canvas.Row(0).find("2"), std::string::npos);

    // Entries by their time of day, wrapped; the newest at the bottom.
    canvas.Clear();
    DrawLogLines(canvas, 0, 0, 20, 3,
                 {"07/12/2026 05:58:09-0000 * Program start.\n",
                  "07/12/2026 05:58:10-0020 * RZ4 Callback enabled.\n", "not stamped"});
    EXPECT_EQ(canvas.Text().substr(0, canvas.Text().find("\n\n")),
              "05:58:10 RZ4\nCallback enabled.\nnot stamped");
}

} // namespace
