// Stands in for user32's window manager: window records, styles, texts,
// geometry, parents and children, visibility, enabling and focus.
#include "user/threads.h"
#include "user/window.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "core/forever.h"

namespace hosted {
namespace {

struct WindowTable {
    std::map<std::uintptr_t, std::unique_ptr<Window>> windows;
    std::vector<HWND> topLevels;
    std::uintptr_t next = 0x20010;
};

WindowTable& Table() {
    static Forever<WindowTable> table;
    return *table;
}

Window* Checked(HWND handle) {
    Window* window = LookupWindow(handle);
    if (!window)
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return window;
}

} // namespace

Window* LookupWindow(HWND handle) {
    auto& windows = Table().windows;
    auto it = windows.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == windows.end() ? nullptr : it->second.get();
}

Window& CreateWindowRecord(WindowKind kind, const std::string& className, HWND parent, HWND owner) {
    WindowTable& table = Table();
    auto window = std::make_unique<Window>();
    window->handle = reinterpret_cast<HWND>(table.next);
    table.next += 4;
    window->kind = kind;
    window->className = className;
    window->parent = parent;
    window->owner = owner;
    window->threadId = CurrentThread().id;
    Window& record = *window;
    table.windows[reinterpret_cast<std::uintptr_t>(record.handle)] = std::move(window);
    if (parent)
        LookupWindow(parent)->children.push_back(record.handle);
    else
        table.topLevels.push_back(record.handle);
    return record;
}

void DeleteWindowRecord(HWND handle) {
    Window* window = LookupWindow(handle);
    if (!window)
        return;
    for (HWND child : std::vector<HWND>(window->children))
        DeleteWindowRecord(child);
    if (Window* parent = LookupWindow(window->parent)) {
        auto& siblings = parent->children;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), handle), siblings.end());
    }
    auto& tops = Table().topLevels;
    tops.erase(std::remove(tops.begin(), tops.end(), handle), tops.end());
    if (UserThread* thread = FindUserThread(window->threadId))
        if (thread->focus == handle)
            thread->focus = nullptr;
    Table().windows.erase(reinterpret_cast<std::uintptr_t>(handle));
}

std::vector<Window*> TopLevelWindows() {
    std::vector<Window*> windows;
    for (HWND handle : Table().topLevels)
        if (Window* window = LookupWindow(handle))
            windows.push_back(window);
    return windows;
}

Window* ActiveTopLevel() {
    auto& tops = Table().topLevels;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {
        Window* window = LookupWindow(*it);
        if (window && window->IsVisible() && window->IsEnabled())
            return window;
    }
    return nullptr;
}

HWND FocusIn(Window& top) {
    UserThread* thread = FindUserThread(top.threadId);
    if (!thread || !thread->focus)
        return nullptr;
    Window* focus = LookupWindow(thread->focus);
    if (focus && (focus->handle == top.handle || focus->parent == top.handle))
        return focus->handle;
    return nullptr;
}

void SetThreadFocus(Window& window) {
    if (UserThread* thread = FindUserThread(window.threadId))
        thread->focus = window.handle;
}

void SaveFocusOnDeactivation(Window* top) {
    if (top && top->kind == WindowKind::Dialog)
        if (HWND focus = FocusIn(*top); focus && focus != top->handle)
            top->savedFocus = focus;
}

// A window activated with no control to go back to has the focus itself,
// as one that is not a dialog always does; a dialog already ended is left
// alone.
void RestoreFocusOnActivation(Window* top) {
    if (!top || top->ended)
        return;
    Window* saved = LookupWindow(top->savedFocus);
    top->savedFocus = nullptr;
    if (saved && saved->parent == top->handle)
        SetThreadFocus(*saved);
    else if (!FocusIn(*top))
        SetThreadFocus(*top);
}

} // namespace hosted

using namespace hosted;

BOOL WINAPI IsWindow(HWND handle) {
    MachineLock lock = LockMachine();
    return LookupWindow(handle) != nullptr;
}

BOOL WINAPI IsWindowVisible(HWND handle) {
    MachineLock lock = LockMachine();
    for (Window* window = LookupWindow(handle); window; window = LookupWindow(window->parent))
        if (!window->IsVisible())
            return FALSE;
    return LookupWindow(handle) != nullptr;
}

BOOL WINAPI IsWindowEnabled(HWND handle) {
    MachineLock lock = LockMachine();
    Window* window = LookupWindow(handle);
    return window && window->IsEnabled();
}

// Returns whether the window was disabled before, as Windows does.
BOOL WINAPI EnableWindow(HWND handle, BOOL enable) {
    MachineLock lock = LockMachine();
    Window* window = Checked(handle);
    if (!window)
        return FALSE;
    BOOL wasDisabled = !window->IsEnabled();
    if (enable)
        window->style &= ~static_cast<DWORD>(WS_DISABLED);
    else
        window->style |= WS_DISABLED;
    return wasDisabled;
}

BOOL WINAPI ShowWindow(HWND handle, int command) {
    MachineLock lock = LockMachine();
    Window* window = Checked(handle);
    if (!window)
        return FALSE;
    BOOL wasVisible = window->IsVisible();
    if (command == SW_HIDE) {
        window->style &= ~static_cast<DWORD>(WS_VISIBLE);
    } else {
        window->style |= WS_VISIBLE;
        if (command == SW_MINIMIZE || command == SW_SHOWMINIMIZED)
            window->iconic = true;
        else if (command == SW_RESTORE || command == SW_SHOWNORMAL)
            window->iconic = false;
    }
    return wasVisible;
}

BOOL WINAPI IsIconic(HWND handle) {
    MachineLock lock = LockMachine();
    Window* window = LookupWindow(handle);
    return window && window->iconic;
}

HWND WINAPI GetWindow(HWND handle, UINT relation) {
    MachineLock lock = LockMachine();
    Window* window = Checked(handle);
    if (!window)
        return nullptr;
    if (relation == GW_CHILD)
        return window->children.empty() ? nullptr : window->children.front();
    if (relation == GW_HWNDNEXT && window->parent) {
        auto& siblings = LookupWindow(window->parent)->children;
        auto it = std::find(siblings.begin(), siblings.end(), handle);
        return it + 1 == siblings.end() ? nullptr : *(it + 1);
    }
    return nullptr;
}

HWND WINAPI GetDlgItem(HWND dialog, int id) {
    MachineLock lock = LockMachine();
    Window* window = Checked(dialog);
    if (!window)
        return nullptr;
    for (HWND child : window->children)
        if (LookupWindow(child)->id == id)
            return child;
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND handle) {
    MachineLock lock = LockMachine();
    Window* window = Checked(handle);
    return window && window->parent ? window->id : 0;
}

HWND WINAPI GetFocus(void) {
    MachineLock lock = LockMachine();
    return CurrentUserThread().focus;
}

HWND WINAPI SetFocus(HWND handle) {
    MachineLock lock = LockMachine();
    HWND previous = CurrentUserThread().focus;
    if (handle == nullptr) {
        CurrentUserThread().focus = nullptr;
        return previous;
    }
    Window* window = Checked(handle);
    if (!window || window->threadId != CurrentThread().id)
        return nullptr;
    CurrentUserThread().focus = handle;
    return previous;
}

HWND WINAPI GetActiveWindow(void) {
    MachineLock lock = LockMachine();
    Window* active = ActiveTopLevel();
    return active && active->threadId == CurrentThread().id ? active->handle : nullptr;
}

// The thread's top-level windows, from the oldest; the callback ends the
// walk by returning FALSE.
BOOL WINAPI EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM lParam) {
    std::vector<HWND> windows;
    {
        MachineLock lock = LockMachine();
        for (Window* window : TopLevelWindows())
            if (window->threadId == threadId)
                windows.push_back(window->handle);
    }
    for (HWND window : windows)
        if (IsWindow(window) && !proc(window, lParam))
            return FALSE;
    return !windows.empty();
}

DWORD WINAPI GetWindowThreadProcessId(HWND handle, LPDWORD processId) {
    MachineLock lock = LockMachine();
    Window* window = Checked(handle);
    if (processId)
        *processId = window ? 1 : 0;
    return window ? window->threadId : 0;
}

int WINAPI GetClassNameA(HWND handle, LPSTR buffer, int size) {
    MachineLock lock = LockMachine();
    Window* window = Checked(handle);
    if (!window || size <= 0)
        return 0;
    int copied = std::min<int>(static_cast<int>(window->className.size()), size - 1);
    std::memcpy(buffer, window->className.data(), static_cast<std::size_t>(copied));
    buffer[copied] = '\0';
    return copied;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND handle, int index) {
    MachineLock lock = LockMachine();
    Window* window = Checked(handle);
    if (!window)
        return 0;
    switch (index) {
    case GWL_STYLE:
        return static_cast<LONG>(window->style);
    case GWL_EXSTYLE:
        return static_cast<LONG>(window->exStyle);
    case GWL_ID:
        return window->id;
    case GWLP_USERDATA:
        return window->userData;
    }
    if (window->kind == WindowKind::Dialog) {
        if (index == DWLP_MSGRESULT)
            return window->dialogResultSlot;
        if (index == DWLP_USER)
            return window->dialogUser;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

LONG_PTR WINAPI SetWindowLongPtrA(HWND handle, int index, LONG_PTR value) {
    MachineLock lock = LockMachine();
    Window* window = Checked(handle);
    if (!window)
        return 0;
    LONG_PTR previous = 0;
    auto swap = [&](auto& field) {
        previous = static_cast<LONG_PTR>(field);
        field = static_cast<std::remove_reference_t<decltype(field)>>(value);
    };
    switch (index) {
    case GWL_STYLE:
        swap(window->style);
        return static_cast<LONG>(previous);
    case GWL_EXSTYLE:
        swap(window->exStyle);
        return static_cast<LONG>(previous);
    case GWL_ID:
        swap(window->id);
        return previous;
    case GWLP_USERDATA:
        swap(window->userData);
        return previous;
    }
    if (window->kind == WindowKind::Dialog && index == DWLP_MSGRESULT) {
        swap(window->dialogResultSlot);
        return previous;
    }
    if (window->kind == WindowKind::Dialog && index == DWLP_USER) {
        swap(window->dialogUser);
        return previous;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

LONG WINAPI GetWindowLongA(HWND handle, int index) {
    return static_cast<LONG>(GetWindowLongPtrA(handle, index));
}

BOOL WINAPI SetWindowTextA(HWND handle, LPCSTR text) {
    return SendMessageA(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0;
}

int WINAPI GetWindowTextA(HWND handle, LPSTR buffer, int size) {
    return static_cast<int>(SendMessageA(handle, WM_GETTEXT, static_cast<WPARAM>(size),
                                         reinterpret_cast<LPARAM>(buffer)));
}

BOOL WINAPI GetClientRect(HWND handle, LPRECT rect) {
    MachineLock lock = LockMachine();
    Window* window = Checked(handle);
    if (!window)
        return FALSE;
    *rect =
        RECT{0, 0, window->rect.right - window->rect.left, window->rect.bottom - window->rect.top};
    return TRUE;
}

// Windows have no frame on the simulated screen: the client area is the whole window.
BOOL WINAPI GetWindowRect(HWND handle, LPRECT rect) {
    MachineLock lock = LockMachine();
    Window* window = Checked(handle);
    if (!window)
        return FALSE;
    *rect = window->rect;
    for (Window* parent = LookupWindow(window->parent); parent;
         parent = LookupWindow(parent->parent)) {
        rect->left += parent->rect.left;
        rect->right += parent->rect.left;
        rect->top += parent->rect.top;
        rect->bottom += parent->rect.top;
    }
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND handle, LPPOINT point) {
    RECT rect;
    if (!GetWindowRect(handle, &rect))
        return FALSE;
    point->x -= rect.left;
    point->y -= rect.top;
    return TRUE;
}
