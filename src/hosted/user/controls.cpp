// Stands in for the standard controls: buttons (push, check box, radio,
// group box; clicked by mouse or Space, notifying the parent with
// BN_CLICKED), edits (typing over the selection, Backspace and Delete, the
// caret keys, read-only ones taking no typing; their Up and Down going to an
// up-down control that drives them) and statics.
#include <algorithm>

#include "user/window.h"

namespace hosted {
namespace {

DWORD ButtonType(const Window& button) {
    return button.style & BS_TYPEMASK;
}

// A button keeps no check state beyond those it can show: DirectInput's 0x80
// for a pressed button ticks a check box as 1 does.
int HighestCheck(const Window& button) {
    switch (ButtonType(button)) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return BST_CHECKED;
    case BS_3STATE:
    case BS_AUTO3STATE:
        return 2; // indeterminate
    default:
        return BST_UNCHECKED;
    }
}

// Auto radio buttons of one group: from the nearest WS_GROUP at or before
// the button up to the next WS_GROUP.
void UncheckGroupSiblings(Window& button) {
    Window* parent = LookupWindow(button.parent);
    if (!parent)
        return;
    auto& children = parent->children;
    std::size_t self = 0;
    while (children[self] != button.handle)
        ++self;
    std::size_t first = self;
    while (first > 0 && !(LookupWindow(children[first])->style & WS_GROUP))
        --first;
    for (std::size_t i = first; i < children.size(); ++i) {
        Window* sibling = LookupWindow(children[i]);
        if (i > first && (sibling->style & WS_GROUP))
            break;
        if (sibling != &button && sibling->kind == WindowKind::Button &&
            ButtonType(*sibling) == BS_AUTORADIOBUTTON)
            sibling->check = BST_UNCHECKED;
    }
}

LRESULT Click(MachineLock& lock, HWND handle) {
    Window* button = LookupWindow(handle);
    if (!button || !button->IsEnabled())
        return 0;
    switch (ButtonType(*button)) {
    case BS_GROUPBOX:
        return 0;
    case BS_AUTOCHECKBOX:
        button->check = button->check ? BST_UNCHECKED : BST_CHECKED;
        break;
    case BS_AUTO3STATE:
        button->check = (button->check + 1) % 3;
        break;
    case BS_AUTORADIOBUTTON:
        button->check = BST_CHECKED;
        UncheckGroupSiblings(*button);
        break;
    }
    HWND parent = button->parent;
    int id = button->id;
    SendLocked(lock, parent, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(handle));
    return 0;
}

// Typing changes the text and tells the parent, as Windows does with EN_CHANGE.
LRESULT EditReplaceSelection(MachineLock& lock, Window& edit, const std::string& with) {
    DWORD from = std::min(edit.selStart, edit.selEnd), to = std::max(edit.selStart, edit.selEnd);
    edit.text.replace(from, to - from, with);
    edit.selStart = edit.selEnd = from + static_cast<DWORD>(with.size());
    HWND parent = edit.parent, handle = edit.handle;
    SendLocked(lock, parent, WM_COMMAND, MAKEWPARAM(edit.id, EN_CHANGE),
               reinterpret_cast<LPARAM>(handle));
    return 0;
}

// Backspace (-1) or Delete (+1): the selection, or else one character.
LRESULT EditDelete(MachineLock& lock, Window& edit, int direction) {
    if (edit.style & ES_READONLY)
        return 0;
    if (edit.selStart == edit.selEnd) {
        DWORD caret = edit.selEnd;
        if (direction < 0 ? caret == 0 : caret >= edit.text.size())
            return 0;
        if (direction < 0)
            edit.selStart = caret - 1;
        else
            edit.selEnd = caret + 1;
    }
    return EditReplaceSelection(lock, edit, "");
}

// The caret keys, read-only or not. The caret is the selection's end, so
// from a selection Left goes one before that end, as the classic edit does.
void MoveCaret(Window& edit, WPARAM key) {
    DWORD caret = edit.selEnd, length = static_cast<DWORD>(edit.text.size());
    switch (key) {
    case VK_LEFT:
        caret = caret > 0 ? caret - 1 : 0;
        break;
    case VK_RIGHT:
        caret = caret < length ? caret + 1 : length;
        break;
    case VK_HOME:
        caret = 0;
        break;
    case VK_END:
        caret = length;
        break;
    default:
        return;
    }
    edit.selStart = edit.selEnd = caret;
}

} // namespace

LRESULT CALLBACK ButtonProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    MachineLock lock = LockMachine();
    Window* button = LookupWindow(handle);
    if (!button)
        return 0;
    switch (message) {
    case BM_GETCHECK:
        return button->check;
    case BM_SETCHECK: {
        int highest = HighestCheck(*button);
        button->check = wParam > static_cast<WPARAM>(highest) ? highest : static_cast<int>(wParam);
        return 0;
    }
    case BM_CLICK:
    case WM_LBUTTONUP:
        return Click(lock, handle);
    case WM_LBUTTONDOWN:
        if (ButtonType(*button) != BS_GROUPBOX)
            SetThreadFocus(*button);
        return 0;
    case WM_KEYUP:
        return wParam == VK_SPACE ? Click(lock, handle) : 0;
    case WM_GETDLGCODE:
        switch (ButtonType(*button)) {
        case BS_DEFPUSHBUTTON:
            return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_PUSHBUTTON:
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX:
            return DLGC_STATIC;
        default:
            return DLGC_BUTTON;
        }
    }
    lock.unlock();
    return DefaultWindowProc(handle, message, wParam, lParam);
}

LRESULT CALLBACK EditProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    MachineLock lock = LockMachine();
    Window* edit = LookupWindow(handle);
    if (!edit)
        return 0;
    switch (message) {
    case EM_SETSEL: {
        DWORD length = static_cast<DWORD>(edit->text.size());
        auto clamp = [&](LONG_PTR position) {
            return position < 0 || static_cast<DWORD>(position) > length
                       ? length
                       : static_cast<DWORD>(position);
        };
        // A start of -1 drops the selection and leaves the caret where it was.
        if (static_cast<LONG_PTR>(wParam) == -1) {
            edit->selStart = edit->selEnd;
            return 0;
        }
        DWORD from = clamp(static_cast<LONG_PTR>(wParam)), to = clamp(lParam);
        edit->selStart = from < to ? from : to;
        edit->selEnd = from < to ? to : from;
        return 0;
    }
    case EM_GETSEL:
        if (wParam)
            *reinterpret_cast<DWORD*>(wParam) = edit->selStart;
        if (lParam)
            *reinterpret_cast<DWORD*>(lParam) = edit->selEnd;
        return MAKELRESULT(edit->selStart, edit->selEnd);
    case WM_SETTEXT:
        // New text leaves the caret at its start, nothing selected.
        edit->selStart = edit->selEnd = 0;
        break;
    case WM_CHAR:
        if (wParam == VK_BACK)
            return EditDelete(lock, *edit, -1);
        if (wParam < 0x20 || (edit->style & ES_READONLY))
            return 0;
        return EditReplaceSelection(lock, *edit, std::string(1, static_cast<char>(wParam)));
    case WM_KEYDOWN:
        if ((wParam == VK_UP || wParam == VK_DOWN) && edit->upDown) {
            StepUpDown(lock, edit->upDown, wParam == VK_UP);
            return 0;
        }
        if (wParam == VK_DELETE)
            return EditDelete(lock, *edit, +1);
        MoveCaret(*edit, wParam);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
        SetThreadFocus(*edit);
        return 0;
    }
    lock.unlock();
    return DefaultWindowProc(handle, message, wParam, lParam);
}

LRESULT CALLBACK StaticProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETDLGCODE)
        return DLGC_STATIC;
    return DefaultWindowProc(handle, message, wParam, lParam);
}

} // namespace hosted
