// The simulated user's hands: input queued to the active window as the
// mouse and keyboard would queue it, so the program meets it in its own
// message loop.
#include "core/format.h"
#include "user/screen.h"
#include "user/window.h"

namespace hosted {
namespace {

Window* ActiveDialog(std::string* error) {
    Window* active = ActiveTopLevel();
    if (!active || active->kind != WindowKind::Dialog) {
        *error = active ? "a message box is open" : "no window is open";
        return nullptr;
    }
    return active;
}

Window* ControlOf(Window& dialog, int id) {
    for (HWND child : dialog.children)
        if (LookupWindow(child)->id == id)
            return LookupWindow(child);
    return nullptr;
}

Window* VisibleControl(int id, std::string* error) {
    Window* dialog = ActiveDialog(error);
    if (!dialog)
        return nullptr;
    if (dialog->iconic) {
        *error = "the active window is minimised";
        return nullptr;
    }
    Window* control = ControlOf(*dialog, id);
    if (!control || !control->IsVisible()) {
        *error = Format("the active window shows no control %d", id);
        return nullptr;
    }
    return control;
}

// Where the keyboard's input goes: the focused control of the active window,
// or the window itself. A minimised window shows no controls to take it.
HWND KeyboardTarget(std::string* error) {
    Window* active = ActiveTopLevel();
    if (!active || active->iconic) {
        *error = active ? "the active window is minimised" : "no window is open";
        return nullptr;
    }
    HWND target = FocusIn(*active);
    return target ? target : active->handle;
}

} // namespace

bool ClickControl(int id, std::string* error) {
    MachineLock lock = LockMachine();
    Window* control = VisibleControl(id, error);
    if (!control)
        return false;
    if (control->IsEnabled()) { // a disabled control ignores the mouse
        PostLocked(control->handle, WM_LBUTTONDOWN, 0, 0);
        PostLocked(control->handle, WM_LBUTTONUP, 0, 0);
    }
    return true;
}

bool PressKey(WPARAM virtualKey, std::string* error, bool shift) {
    MachineLock lock = LockMachine();
    HWND target = KeyboardTarget(error);
    if (!target)
        return false;
    if (shift)
        PostLocked(target, WM_KEYDOWN, VK_SHIFT, 0);
    PostLocked(target, WM_KEYDOWN, virtualKey, 0);
    // The characters that TranslateMessage would make of the keys a control
    // types with; the dialog manager acts on the other keys themselves.
    if (virtualKey == VK_BACK || virtualKey == VK_SPACE)
        PostLocked(target, WM_CHAR, virtualKey, 0);
    PostLocked(target, WM_KEYUP, virtualKey, 0);
    if (shift)
        PostLocked(target, WM_KEYUP, VK_SHIFT, 0);
    return true;
}

bool TypeCharacter(char character, std::string* error) {
    MachineLock lock = LockMachine();
    HWND target = KeyboardTarget(error);
    if (!target)
        return false;
    PostLocked(target, WM_CHAR, static_cast<unsigned char>(character), 0);
    return true;
}

bool TypeText(int id, const std::string& text, std::string* error) {
    MachineLock lock = LockMachine();
    Window* edit = VisibleControl(id, error);
    if (!edit)
        return false;
    if (edit->kind != WindowKind::Edit) {
        *error = Format("control %d is not an edit", id);
        return false;
    }
    if (!edit->IsEnabled())
        return true;
    // Clicked into, everything selected, then typed over.
    PostLocked(edit->handle, WM_LBUTTONDOWN, 0, 0);
    PostLocked(edit->handle, WM_LBUTTONUP, 0, 0);
    PostLocked(edit->handle, EM_SETSEL, 0, -1);
    PostLocked(edit->handle, WM_KEYDOWN, VK_DELETE, 0);
    PostLocked(edit->handle, WM_KEYUP, VK_DELETE, 0);
    for (char c : text)
        PostLocked(edit->handle, WM_CHAR, static_cast<unsigned char>(c), 0);
    return true;
}

bool ClickSpin(int id, bool up, std::string* error) {
    MachineLock lock = LockMachine();
    Window* spin = VisibleControl(id, error);
    if (!spin)
        return false;
    if (spin->kind != WindowKind::UpDown) {
        *error = Format("control %d is not an up-down control", id);
        return false;
    }
    if (!spin->IsEnabled())
        return true;
    // The middle of the upper or the lower arrow.
    LONG width = spin->rect.right - spin->rect.left, height = spin->rect.bottom - spin->rect.top;
    LPARAM point = MAKELPARAM(width / 2, up ? height / 4 : height - height / 4);
    PostLocked(spin->handle, WM_LBUTTONDOWN, MK_LBUTTON, point);
    PostLocked(spin->handle, WM_LBUTTONUP, 0, point);
    return true;
}

bool ChooseSystemCommand(WPARAM command, std::string* error) {
    MachineLock lock = LockMachine();
    Window* active = ActiveTopLevel();
    if (!active) {
        *error = "no window is open";
        return false;
    }
    if (!(active->style & WS_SYSMENU)) {
        *error = "the active window has no system menu";
        return false;
    }
    PostLocked(active->handle, WM_SYSCOMMAND, command, 0);
    return true;
}

bool SendCommand(int id, std::string* error) {
    MachineLock lock = LockMachine();
    Window* dialog = ActiveDialog(error);
    if (!dialog)
        return false;
    Window* control = ControlOf(*dialog, id);
    PostLocked(dialog->handle, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(control ? control->handle : nullptr));
    return true;
}

} // namespace hosted
