// The hosted user layer's window table: every window and control, with the
// state that Windows keeps for it. All access with the machine lock held.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <windows.h>

#include "core/machine.h"
#include "user/screen.h"

namespace hosted {

struct Window {
    HWND handle = nullptr;
    WindowKind kind = WindowKind::Other;
    std::string className;
    DWORD style = 0, exStyle = 0;
    int id = 0;
    std::string text;
    RECT rect{};           // pixels; children relative to the parent's client area
    HWND parent = nullptr; // children only
    HWND owner = nullptr;  // top-level windows only
    std::vector<HWND> children;
    DWORD threadId = 0;
    WNDPROC proc = nullptr;

    // Dialogs
    DLGPROC dialogProc = nullptr;
    LONG_PTR dialogUser = 0, dialogResultSlot = 0;
    WORD templateId = 0;
    int baseUnitX = 6, baseUnitY = 13;
    bool modal = false, shownAsModal = false, ended = false;
    INT_PTR endResult = 0;
    HMENU systemMenu = nullptr;
    // The control that had the focus when it last lost the activation.
    HWND savedFocus = nullptr;
    HICON bigIcon = nullptr, smallIcon = nullptr;
    bool iconic = false;
    // What DrawIcon last put into it while painting, and where.
    HICON drawnIcon = nullptr;
    POINT drawnAt{};

    // Controls
    int check = 0;
    HICON staticIcon = nullptr;
    DWORD selStart = 0, selEnd = 0;
    LONG_PTR userData = 0;
    // An edit whose arrow keys an up-down control takes over.
    HWND upDown = nullptr;

    // Up-down controls: the window they drive and their range, upper end
    // first as the range messages pack it; a new control counts 100 down to 0.
    HWND buddy = nullptr;
    short upper = 0, lower = 100, position = 0;

    // Message boxes
    std::string caption;
    UINT boxType = 0;
    int answer = 0;

    bool IsVisible() const { return (style & WS_VISIBLE) != 0; }
    bool IsEnabled() const { return (style & WS_DISABLED) == 0; }
};

Window* LookupWindow(HWND handle);
Window& CreateWindowRecord(WindowKind kind, const std::string& className, HWND parent, HWND owner);
// Removes the window and its children from the table (no messages).
void DeleteWindowRecord(HWND handle);

// Top-level windows in creation order; the last visible, enabled one is active.
std::vector<Window*> TopLevelWindows();
Window* ActiveTopLevel();
// A message box's buttons for its MB_ type, left to right.
std::vector<int> MessageBoxButtons(UINT type);
// The focused window of the thread that owns top, when it lies in top.
HWND FocusIn(Window& top);
void SetThreadFocus(Window& window);
// The dialog manager's part when the active window changes: the window
// losing the activation keeps its focused control, and the one getting it
// back has that control focused again. Either may be null.
void SaveFocusOnDeactivation(Window* top);
void RestoreFocusOnActivation(Window* top);

// Calls a window's procedure on the calling thread; takes the lock off
// for the call and back on afterwards.
LRESULT CallProcedure(MachineLock& lock, HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
// SendMessageA with the lock already held.
LRESULT SendLocked(MachineLock& lock, HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
void PostLocked(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);

// The system's own handling of what a window's procedure leaves to it
// (texts, icons, closing, the system commands); every procedure here ends in it.
LRESULT CALLBACK DefaultWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK DialogWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK UpDownProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// comctl32's classes exist once the program has asked for them.
bool CommonControlsInitialized();
// As on a machine where no program has asked for them yet; machine lock held.
void ForgetCommonControls();
// A new up-down control takes its buddy and its place beside it, as its
// styles ask; the buddy is created before it.
void AttachUpDown(Window& upDown);
// One step up or down, as an arrow or an arrow key gives it.
void StepUpDown(MachineLock& lock, HWND upDown, bool up);

} // namespace hosted
