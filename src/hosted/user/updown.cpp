// Stands in for comctl32's up-down control as dialogs use it: the buddy it
// takes from the template (the control before it), its place at the
// buddy's right edge, its range and position, the buddy's text as the
// position in decimal, the arrow keys of the buddy, and clicks on its two
// arrows; it never steps outside its range. Placement and the reading of
// the buddy's text follow what Wine's comctl32 shows.
#include <commctrl.h>

#include <algorithm>
#include <string>

#include "user/window.h"

namespace hosted {
namespace {

bool g_commonControls = false;

// The up-down's width, and how far it moves over a buddy with a border.
const LONG kUpDownWidth = 16;
const LONG kBuddyBorder = 2;

bool InRange(const Window& upDown, int value) {
    return value >= std::min(upDown.lower, upDown.upper) &&
           value <= std::max(upDown.lower, upDown.upper);
}

// The buddy's text counts only as a plain decimal number inside the range:
// an optional minus and digits, not even blanks around them.
bool ReadBuddy(const Window& upDown, short* value) {
    const Window* buddy = LookupWindow(upDown.buddy);
    if (!buddy || buddy->kind != WindowKind::Edit)
        return false;
    const std::string& text = buddy->text;
    std::size_t i = !text.empty() && text[0] == '-' ? 1 : 0;
    if (i == text.size() || text.size() - i > 6)
        return false;
    long number = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        number = number * 10 + (text[i] - '0');
    }
    if (text[0] == '-')
        number = -number;
    if (!InRange(upDown, static_cast<int>(number)))
        return false;
    *value = static_cast<short>(number);
    return true;
}

void WriteBuddy(MachineLock& lock, const Window& upDown) {
    if (!(upDown.style & UDS_SETBUDDYINT) || !LookupWindow(upDown.buddy))
        return;
    std::string text = std::to_string(upDown.position);
    SendLocked(lock, upDown.buddy, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

} // namespace

bool CommonControlsInitialized() {
    return g_commonControls;
}

void ForgetCommonControls() {
    g_commonControls = false;
}

void AttachUpDown(Window& upDown) {
    Window* parent = LookupWindow(upDown.parent);
    if (!parent || !(upDown.style & UDS_AUTOBUDDY))
        return;
    auto self = std::find(parent->children.begin(), parent->children.end(), upDown.handle);
    if (self == parent->children.begin() || self == parent->children.end())
        return;
    Window& buddy = *LookupWindow(*(self - 1));
    upDown.buddy = buddy.handle;
    if (buddy.kind == WindowKind::Edit && (upDown.style & UDS_ARROWKEYS))
        buddy.upDown = upDown.handle;
    if (upDown.style & UDS_ALIGNRIGHT) {
        // The buddy gives up room for the arrows, which overlap its border.
        buddy.rect.right -= kUpDownWidth;
        bool border = (buddy.exStyle & WS_EX_CLIENTEDGE) || (buddy.style & WS_BORDER);
        LONG left = buddy.rect.right - (border ? kBuddyBorder : 0);
        upDown.rect = RECT{left, buddy.rect.top, left + kUpDownWidth, buddy.rect.bottom};
    }
}

void StepUpDown(MachineLock& lock, HWND handle, bool up) {
    Window* upDown = LookupWindow(handle);
    if (!upDown || upDown->kind != WindowKind::UpDown)
        return;
    short typed = 0;
    if (ReadBuddy(*upDown, &typed))
        upDown->position = typed;
    // Up goes towards the upper end, whichever way the range runs.
    int toUpper = upDown->upper >= upDown->lower ? 1 : -1;
    int next = upDown->position + (up ? toUpper : -toUpper);
    if (!InRange(*upDown, next)) {
        if (!(upDown->style & UDS_WRAP))
            return;
        next = up ? upDown->lower : upDown->upper;
    }
    upDown->position = static_cast<short>(next);
    WriteBuddy(lock, *upDown);
}

LRESULT CALLBACK UpDownProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    MachineLock lock = LockMachine();
    Window* upDown = LookupWindow(handle);
    if (!upDown)
        return 0;
    switch (message) {
    case UDM_SETRANGE:
        upDown->upper = static_cast<short>(LOWORD(lParam));
        upDown->lower = static_cast<short>(HIWORD(lParam));
        // A position outside the new range starts again at its lower end.
        if (!InRange(*upDown, upDown->position))
            upDown->position = upDown->lower;
        return 0;
    case UDM_SETPOS: {
        short previous = upDown->position;
        int wanted = static_cast<short>(LOWORD(lParam));
        int low = std::min(upDown->lower, upDown->upper),
            high = std::max(upDown->lower, upDown->upper);
        upDown->position = static_cast<short>(std::clamp(wanted, low, high));
        WriteBuddy(lock, *upDown);
        return previous;
    }
    case UDM_GETBUDDY:
        return reinterpret_cast<LRESULT>(upDown->buddy);
    case WM_LBUTTONDOWN: {
        if (!upDown->IsEnabled())
            return 0;
        LONG height = upDown->rect.bottom - upDown->rect.top;
        bool up = static_cast<short>(HIWORD(lParam)) < height / 2;
        HWND buddy = upDown->buddy;
        StepUpDown(lock, handle, up);
        // The arrows hand the focus to the buddy, its whole text selected.
        Window* target = LookupWindow(buddy);
        if (target && target->kind == WindowKind::Edit) {
            SetThreadFocus(*target);
            SendLocked(lock, buddy, EM_SETSEL, 0, -1);
        }
        return 0;
    }
    case WM_LBUTTONUP:
        return 0;
    }
    lock.unlock();
    return DefaultWindowProc(handle, message, wParam, lParam);
}

} // namespace hosted

using namespace hosted;

void WINAPI InitCommonControls(void) {
    MachineLock lock = LockMachine();
    g_commonControls = true;
}
