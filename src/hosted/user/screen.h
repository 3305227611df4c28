// The simulated screen as a user sees it, and the input a user gives it:
// the one way the scenario steps, the tests and a terminal front end look at
// windows and act on them. Every call takes the machine lock itself; a view
// is a copy, true at the moment it was taken.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

namespace hosted {

// What a window is, by its class.
enum class WindowKind { Dialog, Button, Edit, Static, UpDown, MessageBox, Other };

struct ControlView {
    HWND handle = nullptr;
    int id = 0;
    WindowKind kind = WindowKind::Other; // its style tells a button's and a static's look
    std::string className;
    std::string text; // as WM_GETTEXT gives it
    int position = 0; // an up-down control's
    DWORD style = 0;
    RECT rect{}; // pixels, in the dialog's client area
    int check = 0;
    DWORD selStart = 0, selEnd = 0; // an edit's selection
    bool visible = false, enabled = false, focused = false;
};

struct WindowView {
    HWND handle = nullptr;
    bool messageBox = false;
    WORD templateId = 0; // dialogs made from a numbered template
    std::string caption;
    std::string text;         // a message box's message
    UINT boxType = 0;         // a message box's MB_ flags
    std::vector<int> buttons; // a message box's, left to right: IDOK, IDCANCEL, ...
    RECT rect{};              // pixels, on the screen
    // A dialog unit is a quarter of baseUnitX pixels across and an eighth of
    // baseUnitY down.
    int baseUnitX = 0, baseUnitY = 0;
    bool enabled = false, iconic = false, hasSystemMenu = false;
    HICON drawnIcon = nullptr; // what the program last drew into it, and where
    POINT drawnAt{};
    std::vector<ControlView> controls; // in tab order
};

// A button control's look, which its style decides.
enum class ButtonLook { Push, CheckBox, Radio, GroupBox };
ButtonLook ButtonLookOf(DWORD style);
// A static control that shows an icon rather than text.
bool ShowsIcon(const ControlView& control);

// Every visible top-level window, from the bottom of the stack to the top.
std::vector<WindowView> VisibleWindows();
// The window that takes input: the topmost visible, enabled one; false when
// there is none.
bool ActiveWindow(WindowView* view);

struct MenuItemView {
    UINT id = 0;
    std::string text; // as the menu holds it, '&' and tab included
    bool separator = false;
    bool grayed = false; // offered but not to be chosen now
};

// The active window's system menu; false when it has none.
bool SystemMenuItems(std::vector<MenuItemView>* items);

// A user's input, always to the active window; false with a one-line reason
// when it cannot be given (no window, no such control, ...). Each only
// queues what the user did; the program handles it when it next runs.
bool ClickControl(int id, std::string* error); // left button down and up
// To the focused control; with `shift`, Shift is held around it.
bool PressKey(WPARAM virtualKey, std::string* error, bool shift = false);
// A character key, as the focused control meets it once TranslateMessage
// has made it a WM_CHAR.
bool TypeCharacter(char character, std::string* error);
bool TypeText(int id, const std::string& text, std::string* error); // replaces an edit's text
bool ClickSpin(int id, bool up, std::string* error); // an up-down control's upper or lower arrow
bool ChooseSystemCommand(WPARAM command, std::string* error); // from the system menu
bool AnswerMessageBox(int button, std::string* error);        // IDOK, IDCANCEL, ...
// BN_CLICKED for control id (visible or not) by message, as a program might.
bool SendCommand(int id, std::string* error);

} // namespace hosted
