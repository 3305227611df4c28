// The dialogs as the dialog manager builds them from the shipped resources:
// every control's id, class, style, text and position in dialog units.
// Only Win32 calls, so the same checks run against a real Windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "resources/resource.h"

namespace {

// Where a control ends up besides its template position: an up-down
// control with UDS_ALIGNRIGHT moves to its buddy's right edge and takes
// room from it.
enum class Placed { AsTemplate, BuddyOfSpin, SpinOfBuddy };

struct Control {
    int id;
    const char* className;
    DWORD style; // besides WS_CHILD
    DWORD exStyle;
    const char* text;
    RECT units; // left, top, width, height in dialog units
    Placed placed = Placed::AsTemplate;
};

// comctl32's up-down: its width in pixels, and how far it reaches over a
// buddy's sunken border.
const LONG kSpinWidth = 16;
const LONG kBuddyBorder = 2;

// The template gives the edits WS_BORDER; an edit control draws that as a
// sunken client edge and reports it so.
const DWORD kRadio = BS_AUTORADIOBUTTON | WS_TABSTOP;
const DWORD kReadOnly = ES_AUTOHSCROLL | ES_READONLY;
const DWORD kSunken = WS_EX_CLIENTEDGE;
const DWORD kCheck = BS_AUTOCHECKBOX | WS_DISABLED | WS_VISIBLE;
const DWORD kLabel = SS_LEFT | WS_GROUP | WS_VISIBLE;
const DWORD kCounter = ES_AUTOHSCROLL | WS_TABSTOP | WS_VISIBLE;

const Control kMainDialog[] = {
    {1015, "Button", kRadio, 0, "Enable Keyboard Polling", {42, 26, 93, 10}},
    {1016, "Button", kRadio, 0, "Enable Joystick Polling", {42, 44, 93, 10}},
    {1000, "Edit", kReadOnly, kSunken, "", {53, 77, 214, 14}},
    {1001, "Edit", kReadOnly | WS_VISIBLE, kSunken, "", {52, 118, 52, 12}},
    {1002, "Edit", kReadOnly | WS_VISIBLE, kSunken, "", {52, 138, 52, 14}},
    {1003, "Edit", kReadOnly, kSunken, "", {52, 158, 52, 14}},
    {1004, "Edit", kReadOnly, kSunken, "", {52, 178, 52, 14}},
    {1005, "Button", kCheck, 0, "Button 1", {133, 118, 45, 10}},
    {1006, "Button", kCheck, 0, "Button 2", {133, 139, 45, 10}},
    {1007, "Button", kCheck, 0, "Button 3", {133, 161, 45, 10}},
    {1008, "Button", kCheck, 0, "Button 4", {133, 182, 45, 10}},
    {1009, "Button", kCheck, 0, "Button 5", {133, 202, 45, 10}},
    {1010, "Button", kCheck, 0, "Button 6", {186, 118, 45, 10}},
    {1011, "Button", kCheck, 0, "Button 7", {186, 139, 45, 10}},
    {1012, "Button", kCheck, 0, "Button 8", {186, 161, 45, 10}},
    {1013, "Button", kCheck, 0, "Button 9", {186, 182, 45, 10}},
    {1014, "Button", kCheck, 0, "Button 10", {186, 202, 45, 10}},
    {IDOK, "Button", BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 0, "Close", {252, 7, 50, 14}},
    {IDCANCEL, "Button", BS_PUSHBUTTON | WS_TABSTOP, 0, "Cancel", {252, 25, 50, 14}},
    {-1, "Static", kLabel, 0, "X-axis", {30, 118, 20, 12}},
    {-1, "Static", kLabel, 0, "Y-axis", {30, 138, 20, 12}},
    {-1, "Static", kLabel & ~WS_VISIBLE, 0, "Z-axis", {30, 158, 20, 12}},
    {-1, "Static", kLabel & ~WS_VISIBLE, 0, "POV", {30, 178, 20, 12}},
    {-1, "Button", BS_GROUPBOX | WS_VISIBLE, 0, "Joystick Data", {17, 102, 285, 120}},
    {1017, "Button", BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 0, "Setup...", {242, 116, 50, 14}},
    {1018, "Edit", kCounter, kSunken, "", {171, 7, 60, 14}},
    {-1, "Static", kLabel, 0, "RZ4Max:", {138, 9, 30, 8}},
    {1020,
     "Button",
     BS_AUTOCHECKBOX | BS_PUSHLIKE | WS_TABSTOP | WS_VISIBLE,
     // a modal frame comes with the raised window edge
     WS_EX_STATICEDGE | WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE,
     "Enable",
     {17, 7, 47, 30}},
    {1019, "Edit", kCounter, kSunken, "", {171, 25, 60, 14}},
    {-1, "Static", kLabel, 0, "RZ4Count:", {133, 27, 36, 8}},
    {1021, "Edit", kCounter, kSunken, "", {171, 43, 60, 14}},
    {-1, "Static", kLabel, 0, "DIJoyCount:", {129, 45, 40, 8}},
};

const Control kAboutBox[] = {
    {-1, "Static", SS_ICON | WS_VISIBLE, 0, "", {11, 17, 20, 20}},
    {-1,
     "Static",
     SS_LEFT | SS_NOPREFIX | WS_GROUP | WS_VISIBLE,
     0,
     "Velomira. Ver. 0.051 (alpha)",
     {44, 14, 187, 8}},
    {-1,
     "Static",
     SS_LEFT | WS_GROUP | WS_VISIBLE,
     0,
     "Racing wheel bridge for RZ4",
     {44, 31, 148, 8}},
    {IDOK,
     "Button",
     BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP | WS_VISIBLE,
     0,
     "OK",
     {91, 49, 55, 14}},
};

const DWORD kNumber = ES_AUTOHSCROLL | WS_TABSTOP | WS_VISIBLE;
const DWORD kSpin = UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | WS_VISIBLE;
const Placed kBuddy = Placed::BuddyOfSpin;
const Placed kSpinBeside = Placed::SpinOfBuddy;

const Control kButtonsDialog[] = {
    {IDOK, "Button", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 0, "OK", {7, 125, 50, 14}},
    {IDCANCEL, "Button", BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 0, "Cancel", {91, 125, 50, 14}},
    {-1, "Static", kLabel, 0, "Virtual joystick A, button 1:", {7, 11, 84, 8}},
    {-1, "Static", kLabel, 0, "Virtual joystick A, button 2:", {7, 37, 84, 8}},
    {-1, "Static", kLabel, 0, "Virtual joystick B, button 1:", {7, 63, 84, 8}},
    {-1, "Static", kLabel, 0, "Virtual joystick B, button 2:", {7, 89, 84, 8}},
    {1000, "Edit", kNumber, kSunken, "", {98, 8, 24, 14}, kBuddy},
    {1021, "msctls_updown32", kSpin, 0, "Spin1", {119, 8, 11, 14}, kSpinBeside},
    {1001, "Edit", kNumber, kSunken, "", {98, 34, 24, 14}, kBuddy},
    {1022, "msctls_updown32", kSpin, 0, "Spin1", {119, 33, 11, 14}, kSpinBeside},
    {1002, "Edit", kNumber, kSunken, "", {98, 60, 24, 14}, kBuddy},
    {1023, "msctls_updown32", kSpin, 0, "Spin1", {119, 60, 11, 14}, kSpinBeside},
    {1003, "Edit", kNumber, kSunken, "", {98, 86, 24, 14}, kBuddy},
    {1024, "msctls_updown32", kSpin, 0, "Spin1", {119, 86, 11, 14}, kSpinBeside},
};

INT_PTR CALLBACK AcceptDefaults(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

class Dialog {
  public:
    explicit Dialog(int id)
        : m_window(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr,
                                      AcceptDefaults, 0)) {}
    ~Dialog() {
        if (m_window)
            DestroyWindow(m_window);
    }
    HWND window() const { return m_window; }

    std::vector<HWND> Children() const {
        std::vector<HWND> children;
        for (HWND child = GetWindow(m_window, GW_CHILD); child;
             child = GetWindow(child, GW_HWNDNEXT))
            children.push_back(child);
        return children;
    }

    // Position and size in pixels, each converted on its own as the dialog
    // manager does when it creates a control.
    RECT InDialogPixels(const RECT& units) const {
        RECT rect = units;
        MapDialogRect(m_window, &rect);
        return RECT{rect.left, rect.top, rect.left + rect.right, rect.top + rect.bottom};
    }

  private:
    HWND m_window;
};

std::string Text(HWND window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ClassName(HWND window) {
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

void ExpectControls(const Dialog& dialog, const Control* expected, std::size_t count) {
    std::vector<HWND> children = dialog.Children();
    ASSERT_EQ(children.size(), count);
    for (std::size_t i = 0; i < count; ++i) {
        const Control& want = expected[i];
        HWND child = children[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1) + " \"" + want.text + "\"");
        EXPECT_EQ(static_cast<short>(GetDlgCtrlID(child)), want.id);
        EXPECT_EQ(ClassName(child), want.className);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE)), want.style | WS_CHILD);
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(child, GWL_EXSTYLE)) & ~WS_EX_NOPARENTNOTIFY,
                  want.exStyle);
        if (std::string(want.className) != "Static" || (want.style & SS_TYPEMASK) != SS_ICON) {
            EXPECT_EQ(Text(child), want.text);
        }
        RECT onScreen;
        GetWindowRect(child, &onScreen);
        POINT topLeft{onScreen.left, onScreen.top}, bottomRight{onScreen.right, onScreen.bottom};
        ScreenToClient(dialog.window(), &topLeft);
        ScreenToClient(dialog.window(), &bottomRight);
        RECT want_pixels = dialog.InDialogPixels(want.units);
        if (std::string(want.className) == "Static" && (want.style & SS_TYPEMASK) == SS_ICON) {
            // An icon static takes the size of its icon.
            want_pixels.right = want_pixels.left + GetSystemMetrics(SM_CXICON);
            want_pixels.bottom = want_pixels.top + GetSystemMetrics(SM_CYICON);
        }
        if (want.placed == Placed::BuddyOfSpin) {
            want_pixels.right -= kSpinWidth;
        } else if (want.placed == Placed::SpinOfBuddy) {
            // Beside the control before it, as high as that one.
            RECT buddy = dialog.InDialogPixels(expected[i - 1].units);
            want_pixels.left = buddy.right - kSpinWidth - kBuddyBorder;
            want_pixels.right = want_pixels.left + kSpinWidth;
            want_pixels.top = buddy.top;
            want_pixels.bottom = buddy.bottom;
        }
        EXPECT_EQ(topLeft.x, want_pixels.left);
        EXPECT_EQ(topLeft.y, want_pixels.top);
        EXPECT_EQ(bottomRight.x, want_pixels.right);
        EXPECT_EQ(bottomRight.y, want_pixels.bottom);
    }
}

} // namespace

TEST(DialogTemplates, MainDialogHasItsCaptionStylesAndThirtyTwoControlsInTabOrder) {
    Dialog dialog(IDD_BRISKARN_DIALOG);
    ASSERT_NE(dialog.window(), nullptr);
    EXPECT_EQ(Text(dialog.window()), "Velomira");
    DWORD style = static_cast<DWORD>(GetWindowLongA(dialog.window(), GWL_STYLE));
    const DWORD kStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                         DS_MODALFRAME | DS_SETFONT;
    EXPECT_EQ(style & kStyle, kStyle);
    EXPECT_TRUE(GetWindowLongA(dialog.window(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    RECT client;
    GetClientRect(dialog.window(), &client);
    RECT size = dialog.InDialogPixels(RECT{0, 0, 320, 239});
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
    ExpectControls(dialog, kMainDialog, sizeof kMainDialog / sizeof kMainDialog[0]);
    // The first visible tab stop in template order gets the focus.
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog.window(), IDOK));
}

TEST(DialogTemplates, AboutBoxShowsTheIconTheVersionAndOk) {
    Dialog dialog(IDD_ABOUTBOX);
    ASSERT_NE(dialog.window(), nullptr);
    EXPECT_EQ(Text(dialog.window()), "About ...");
    DWORD style = static_cast<DWORD>(GetWindowLongA(dialog.window(), GWL_STYLE));
    const DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    EXPECT_EQ(style & kStyle, kStyle);
    ExpectControls(dialog, kAboutBox, sizeof kAboutBox / sizeof kAboutBox[0]);
}

TEST(DialogTemplates, ButtonsDialogHasFourEditsEachWithItsSpin) {
    // The spins' class is comctl32's.
    InitCommonControls();
    Dialog dialog(IDD_BUTTONS_DIALOG);
    ASSERT_NE(dialog.window(), nullptr);
    EXPECT_EQ(Text(dialog.window()), "Setup Buttons");
    DWORD style = static_cast<DWORD>(GetWindowLongA(dialog.window(), GWL_STYLE));
    const DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    EXPECT_EQ(style & (kStyle | WS_VISIBLE), kStyle);
    RECT client;
    GetClientRect(dialog.window(), &client);
    RECT size = dialog.InDialogPixels(RECT{0, 0, 148, 146});
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
    ExpectControls(dialog, kButtonsDialog, sizeof kButtonsDialog / sizeof kButtonsDialog[0]);
    // Each spin drives the edit before it; none has a number yet.
    const int kPairs[][2] = {{1021, 1000}, {1022, 1001}, {1023, 1002}, {1024, 1003}};
    for (const auto& pair : kPairs) {
        SCOPED_TRACE("spin " + std::to_string(pair[0]));
        HWND spin = GetDlgItem(dialog.window(), pair[0]);
        EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(spin, UDM_GETBUDDY, 0, 0)),
                  GetDlgItem(dialog.window(), pair[1]));
        EXPECT_EQ(Text(GetDlgItem(dialog.window(), pair[1])), "");
    }
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog.window(), IDOK));
}

TEST(DialogTemplates, StringsAndIconComeFromTheResources) {
    char text[64];
    EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, text, sizeof text), 15);
    EXPECT_STREQ(text, "&About Velomira");
    EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), 102, text, sizeof text), 0);
    // The dialog framework's messages, with the places for the bounds.
    EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), 0xF100, text, sizeof text), 32);
    EXPECT_STREQ(text, "Please enter a positive integer.");
    EXPECT_EQ(LoadStringA(GetModuleHandleA(nullptr), 0xF101, text, sizeof text), 42);
    EXPECT_STREQ(text, "Please enter an integer between %1 and %2.");
    EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME)), nullptr);
    EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_BUTTONS_DIALOG)), nullptr);
}
