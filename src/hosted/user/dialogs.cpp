// Stands in for user32's dialog manager: dialogs built from the compiled
// templates (controls, styles, positions, initial focus), the modal loop of
// DialogBoxParamA with the owner disabled meanwhile and its focus given back
// after, EndDialog, and the keyboard handling of IsDialogMessageA (Tab,
// Enter, Escape, Space).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <strings.h>

#include "user/dialog_template.h"
#include "core/format.h"
#include "core/transcript.h"
#include "kernel/resources.h"
#include "user/threads.h"
#include "user/window.h"

namespace hosted {
HICON IconForResource(WORD id);

namespace {

WindowKind KindOfClass(const std::string& name) {
    if (strcasecmp(name.c_str(), "Button") == 0)
        return WindowKind::Button;
    if (strcasecmp(name.c_str(), "Edit") == 0)
        return WindowKind::Edit;
    if (strcasecmp(name.c_str(), "Static") == 0)
        return WindowKind::Static;
    if (strcasecmp(name.c_str(), "msctls_updown32") == 0)
        return WindowKind::UpDown;
    return WindowKind::Other;
}

// Class names are case-insensitive; GetClassNameA gives the spelling the
// class was registered with.
std::string RegisteredClassName(const std::string& name) {
    static const char* const kSystemClasses[] = {
        "Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox", "msctls_updown32"};
    for (const char* registered : kSystemClasses)
        if (strcasecmp(name.c_str(), registered) == 0)
            return registered;
    return name;
}

// user32's own classes always exist; comctl32's only once the program has
// called InitCommonControls.
bool ClassExists(const std::string& name) {
    static const char* const kUserClasses[] = {"Button",  "Edit",      "Static",
                                               "ListBox", "ScrollBar", "ComboBox"};
    for (const char* registered : kUserClasses)
        if (strcasecmp(name.c_str(), registered) == 0)
            return true;
    return CommonControlsInitialized() && strcasecmp(name.c_str(), "msctls_updown32") == 0;
}

// Windows gives a window the raised outer edge exactly when it has a dialog
// frame that no static edge overrides.
DWORD WindowEdgeRule(DWORD style, DWORD exStyle) {
    bool frame = (exStyle & WS_EX_DLGMODALFRAME) ||
                 (!(exStyle & WS_EX_STATICEDGE) && (style & (WS_DLGFRAME | WS_THICKFRAME)));
    return frame ? exStyle | WS_EX_WINDOWEDGE : exStyle & ~static_cast<DWORD>(WS_EX_WINDOWEDGE);
}

WNDPROC ProcOfKind(WindowKind kind) {
    switch (kind) {
    case WindowKind::Button:
        return ButtonProc;
    case WindowKind::Edit:
        return EditProc;
    case WindowKind::Static:
        return StaticProc;
    case WindowKind::UpDown:
        return UpDownProc;
    default:
        return DefaultWindowProc;
    }
}

// MulDiv: rounds to the nearest whole number, halves away from zero.
LONG ScaleRounded(LONG value, LONG numerator, LONG denominator) {
    long long product = static_cast<long long>(value) * numerator;
    long long half = denominator / 2;
    return static_cast<LONG>(product >= 0 ? (product + half) / denominator
                                          : (product - half) / denominator);
}

// The dialog manager converts position and size each on its own, so the
// right edge is not always where converting x + cx would put it.
RECT ToPixels(const Window& dialog, short x, short y, short cx, short cy) {
    LONG left = ScaleRounded(x, dialog.baseUnitX, 4), top = ScaleRounded(y, dialog.baseUnitY, 8);
    return RECT{left, top, left + ScaleRounded(cx, dialog.baseUnitX, 4),
                top + ScaleRounded(cy, dialog.baseUnitY, 8)};
}

bool IsTabStop(const Window& control) {
    return (control.style & WS_TABSTOP) && control.IsVisible() && control.IsEnabled();
}

HWND FirstTabStop(const Window& dialog) {
    for (HWND child : dialog.children)
        if (IsTabStop(*LookupWindow(child)))
            return child;
    return nullptr;
}

// The next tab stop after `from`, or with `backwards` the one before it.
HWND NextTabStop(const Window& dialog, HWND from, bool backwards = false) {
    const auto& children = dialog.children;
    auto start = std::find(children.begin(), children.end(), from);
    std::size_t n = children.size();
    std::size_t index = start != children.end() ? static_cast<std::size_t>(start - children.begin())
                        : backwards             ? 0
                                                : n - 1;
    for (std::size_t step = 1; step <= n; ++step) {
        HWND candidate = children[(backwards ? index + n - step : index + step) % n];
        if (IsTabStop(*LookupWindow(candidate)))
            return candidate;
    }
    return nullptr;
}

// The dialog manager's focus: an edit it moves the focus to has its whole
// text selected, so that typing replaces it.
void FocusDialogControl(MachineLock& lock, HWND control) {
    SetThreadFocus(*LookupWindow(control));
    if (SendLocked(lock, control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendLocked(lock, control, EM_SETSEL, 0, -1);
}

bool IsPushButton(const Window& control) {
    DWORD type = control.style & BS_TYPEMASK;
    return control.kind == WindowKind::Button &&
           (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

std::string ResultName(INT_PTR result) {
    static const char* const kNames[] = {"0",       "IDOK",     "IDCANCEL", "IDABORT",
                                         "IDRETRY", "IDIGNORE", "IDYES",    "IDNO"};
    if (result >= 0 && result <= 7)
        return kNames[result];
    return std::to_string(static_cast<long long>(result));
}

std::string TemplateName(LPCSTR name) {
    if (IS_INTRESOURCE(name))
        return std::to_string(reinterpret_cast<ULONG_PTR>(name));
    return name;
}

// Builds the dialog and its controls and runs WM_INITDIALOG; null when the
// template is missing or damaged.
HWND CreateFromTemplate(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc, LPARAM param) {
    MachineLock lock = LockMachine();
    const ResourceEntry* entry = FindResourceIn(instance, RT_DIALOG, name);
    DialogTemplate t;
    if (!entry)
        return nullptr;
    if (!ParseDialogTemplate(entry->data, entry->size, &t)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    // A control that cannot be made fails the whole dialog.
    for (const DialogItemTemplate& item : t.items)
        if (!ClassExists(item.className)) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
    Window& dialog = CreateWindowRecord(WindowKind::Dialog, "#32770", nullptr, owner);
    dialog.style = t.style & ~static_cast<DWORD>(WS_VISIBLE);
    dialog.exStyle = WindowEdgeRule(dialog.style, t.exStyle);
    dialog.text = t.caption;
    dialog.templateId =
        IS_INTRESOURCE(name) ? static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)) : 0;
    dialog.proc = DialogWindowProc;
    dialog.dialogProc = proc;
    dialog.rect = ToPixels(dialog, t.x, t.y, t.cx, t.cy);
    HWND handle = dialog.handle;
    for (const DialogItemTemplate& item : t.items) {
        WindowKind kind = KindOfClass(item.className);
        Window& control =
            CreateWindowRecord(kind, RegisteredClassName(item.className), handle, nullptr);
        control.style = item.style | WS_CHILD;
        control.exStyle = WindowEdgeRule(control.style, item.exStyle);
        control.id = item.id;
        control.text = item.text;
        control.proc = ProcOfKind(kind);
        control.rect = ToPixels(*LookupWindow(handle), item.x, item.y, item.cx, item.cy);
        // An edit draws its border as a sunken client edge instead.
        if (kind == WindowKind::Edit && (control.style & WS_BORDER)) {
            control.style &= ~static_cast<DWORD>(WS_BORDER);
            control.exStyle |= WS_EX_CLIENTEDGE;
        }
        // An icon static takes the size of its icon.
        if (item.textOrdinal &&
            (control.staticIcon = IconForResource(item.textOrdinal)) != nullptr) {
            control.rect.right = control.rect.left + GetSystemMetrics(SM_CXICON);
            control.rect.bottom = control.rect.top + GetSystemMetrics(SM_CYICON);
        }
        if (kind == WindowKind::UpDown)
            AttachUpDown(control);
    }
    HWND focus = FirstTabStop(*LookupWindow(handle));
    LRESULT setFocus =
        SendLocked(lock, handle, WM_INITDIALOG, reinterpret_cast<WPARAM>(focus), param);
    Window* created = LookupWindow(handle);
    if (!created)
        return nullptr;
    if (setFocus && (focus = FirstTabStop(*created)) != nullptr) {
        FocusDialogControl(lock, focus);
        if ((created = LookupWindow(handle)) == nullptr)
            return nullptr;
    }
    if ((t.style & WS_VISIBLE) && !created->ended)
        created->style |= WS_VISIBLE;
    return handle;
}

void ClickDialogButton(MachineLock& lock, HWND dialog, int id) {
    HWND control = nullptr;
    if (Window* window = LookupWindow(dialog))
        for (HWND child : window->children)
            if (LookupWindow(child)->id == id)
                control = child;
    if (control && !LookupWindow(control)->IsEnabled())
        return;
    SendLocked(lock, dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(control));
}

} // namespace

LRESULT CALLBACK DialogWindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    MachineLock lock = LockMachine();
    Window* dialog = LookupWindow(handle);
    DLGPROC proc = dialog ? dialog->dialogProc : nullptr;
    lock.unlock();
    INT_PTR handled = proc ? proc(handle, message, wParam, lParam) : FALSE;
    if (handled) {
        // These return their value directly; the rest through DWLP_MSGRESULT.
        if (message == WM_INITDIALOG || message == WM_QUERYDRAGICON)
            return handled;
        return GetWindowLongPtrA(handle, DWLP_MSGRESULT);
    }
    switch (message) {
    case WM_INITDIALOG:
        return FALSE;
    case WM_CLOSE:
        PostMessageA(handle, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(handle, IDCANCEL)));
        return 0;
    case DM_GETDEFID: {
        lock.lock();
        if (Window* window = LookupWindow(handle))
            for (HWND child : window->children) {
                Window* control = LookupWindow(child);
                if (control->kind == WindowKind::Button &&
                    (control->style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                    return MAKELRESULT(control->id, DC_HASDEFID);
            }
        return 0;
    }
    default:
        return DefaultWindowProc(handle, message, wParam, lParam);
    }
}

} // namespace hosted

using namespace hosted;

HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR name, HWND parent, DLGPROC proc,
                               LPARAM param) {
    return CreateFromTemplate(instance, name, parent, proc, param);
}

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR name, HWND owner, DLGPROC proc,
                               LPARAM param) {
    MachineLock lock = LockMachine();
    SaveFocusOnDeactivation(ActiveTopLevel());
    lock.unlock();
    bool disabledOwner = owner && IsWindowEnabled(owner);
    if (disabledOwner)
        EnableWindow(owner, FALSE);
    HWND handle = CreateFromTemplate(instance, name, owner, proc, param);
    if (!handle) {
        if (disabledOwner)
            EnableWindow(owner, TRUE);
        return -1;
    }
    lock.lock();
    Window* dialog = LookupWindow(handle);
    dialog->modal = true;
    if (!dialog->ended) {
        dialog->style |= WS_VISIBLE;
        dialog->shownAsModal = true;
        TranscriptLine(
            Format("window open %s %s", TemplateName(name).c_str(), dialog->text.c_str()));
    }
    lock.unlock();
    MSG msg;
    while (true) {
        lock.lock();
        dialog = LookupWindow(handle);
        bool running = dialog && !dialog->ended;
        lock.unlock();
        if (!running)
            break;
        if (!GetMessageA(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!IsDialogMessageA(handle, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    lock.lock();
    dialog = LookupWindow(handle);
    INT_PTR result = dialog ? dialog->endResult : -1;
    bool shown = dialog && dialog->shownAsModal;
    lock.unlock();
    if (disabledOwner)
        EnableWindow(owner, TRUE);
    if (shown)
        TranscriptLine(
            Format("window close %s %s", TemplateName(name).c_str(), ResultName(result).c_str()));
    DestroyWindow(handle);
    lock.lock();
    RestoreFocusOnActivation(ActiveTopLevel());
    return result;
}

BOOL WINAPI EndDialog(HWND handle, INT_PTR result) {
    MachineLock lock = LockMachine();
    Window* dialog = LookupWindow(handle);
    if (!dialog || dialog->kind != WindowKind::Dialog) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    dialog->ended = true;
    dialog->endResult = result;
    dialog->style &= ~static_cast<DWORD>(WS_VISIBLE);
    PostLocked(handle, WM_NULL, 0, 0); // wakes the modal loop
    return TRUE;
}

BOOL WINAPI MapDialogRect(HWND handle, LPRECT rect) {
    MachineLock lock = LockMachine();
    Window* dialog = LookupWindow(handle);
    if (!dialog || dialog->kind != WindowKind::Dialog) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    rect->left = ScaleRounded(rect->left, dialog->baseUnitX, 4);
    rect->right = ScaleRounded(rect->right, dialog->baseUnitX, 4);
    rect->top = ScaleRounded(rect->top, dialog->baseUnitY, 8);
    rect->bottom = ScaleRounded(rect->bottom, dialog->baseUnitY, 8);
    return TRUE;
}

BOOL WINAPI IsDialogMessageA(HWND handle, LPMSG msg) {
    MachineLock lock = LockMachine();
    Window* dialog = LookupWindow(handle);
    Window* target = LookupWindow(msg->hwnd);
    if (!dialog || !target || (target->handle != handle && target->parent != handle))
        return FALSE;
    if (msg->message == WM_KEYDOWN) {
        HWND focus = CurrentUserThread().focus;
        Window* focused = LookupWindow(focus);
        switch (msg->wParam) {
        case VK_TAB:
            if (HWND next = NextTabStop(*dialog, focus, CurrentUserThread().shiftDown))
                FocusDialogControl(lock, next);
            return TRUE;
        case VK_RETURN: {
            if (focused && focused->parent == handle && IsPushButton(*focused) &&
                focused->IsEnabled()) {
                SendLocked(lock, handle, WM_COMMAND, MAKEWPARAM(focused->id, BN_CLICKED),
                           reinterpret_cast<LPARAM>(focus));
                return TRUE;
            }
            LRESULT defId = SendLocked(lock, handle, DM_GETDEFID, 0, 0);
            ClickDialogButton(lock, handle, HIWORD(defId) == DC_HASDEFID ? LOWORD(defId) : IDOK);
            return TRUE;
        }
        case VK_ESCAPE:
            ClickDialogButton(lock, handle, IDCANCEL);
            return TRUE;
        }
    }
    CallProcedure(lock, msg->hwnd, msg->message, msg->wParam, msg->lParam);
    return TRUE;
}

BOOL WINAPI DestroyWindow(HWND handle) {
    MachineLock lock = LockMachine();
    Window* window = LookupWindow(handle);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    SendLocked(lock, handle, WM_DESTROY, 0, 0);
    if (Window* still = LookupWindow(handle))
        for (HWND child : std::vector<HWND>(still->children))
            SendLocked(lock, child, WM_DESTROY, 0, 0);
    SendLocked(lock, handle, WM_NCDESTROY, 0, 0);
    DeleteWindowRecord(handle);
    return TRUE;
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
    return SendDlgItemMessageA(dialog, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0;
}

UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) {
    if (size > 0)
        buffer[0] = '\0';
    return static_cast<UINT>(SendDlgItemMessageA(dialog, id, WM_GETTEXT, static_cast<WPARAM>(size),
                                                 reinterpret_cast<LPARAM>(buffer)));
}

BOOL WINAPI SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
    char text[16];
    if (isSigned)
        std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
    else
        std::snprintf(text, sizeof text, "%u", value);
    return SetDlgItemTextA(dialog, id, text);
}

UINT WINAPI GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
    char text[64];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    const char* p = text;
    while (*p == ' ')
        ++p;
    bool negative = isSigned && *p == '-';
    if (negative)
        ++p;
    unsigned long long value = 0;
    bool digits = false;
    for (; *p >= '0' && *p <= '9'; ++p, digits = true)
        value = value * 10 + static_cast<unsigned>(*p - '0');
    bool ok =
        digits && *p == '\0' && value <= (isSigned ? 0x7FFFFFFFull + negative : 0xFFFFFFFFull);
    if (translated)
        *translated = ok;
    if (!ok)
        return 0;
    return negative ? static_cast<UINT>(-static_cast<long long>(value)) : static_cast<UINT>(value);
}

BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND item = GetDlgItem(dialog, id);
    if (!item)
        return FALSE;
    SendMessageA(item, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id) {
    return static_cast<UINT>(SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0));
}
