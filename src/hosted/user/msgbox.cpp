// Stands in for MessageBoxA: a modal box with the owner disabled while it is
// open, waiting for the user's answer while the thread goes on handling the
// messages sent to it.
#include "user/screen.h"

#include <algorithm>

#include "core/format.h"
#include "core/transcript.h"
#include "user/window.h"

namespace hosted {
namespace {

std::string FlagNames(UINT type) {
    static const char* const kButtons[] = {"MB_OK",          "MB_OKCANCEL", "MB_ABORTRETRYIGNORE",
                                           "MB_YESNOCANCEL", "MB_YESNO",    "MB_RETRYCANCEL"};
    static const char* const kIcons[] = {"", "|MB_ICONERROR", "|MB_ICONQUESTION",
                                         "|MB_ICONEXCLAMATION", "|MB_ICONINFORMATION"};
    UINT buttons = type & MB_TYPEMASK, icon = (type & MB_ICONMASK) >> 4;
    std::string names = buttons < 6 ? kButtons[buttons] : Format("0x%X", buttons);
    names += icon < 5 ? kIcons[icon] : Format("|0x%X", icon << 4);
    UINT rest = type & ~static_cast<UINT>(MB_TYPEMASK | MB_ICONMASK);
    if (rest & 0x300)
        names += Format("|MB_DEFBUTTON%u", ((rest & 0x300) >> 8) + 1);
    if (rest & MB_SYSTEMMODAL)
        names += "|MB_SYSTEMMODAL";
    if (rest & MB_TASKMODAL)
        names += "|MB_TASKMODAL";
    rest &= ~static_cast<UINT>(0x300 | MB_SYSTEMMODAL | MB_TASKMODAL);
    if (rest)
        names += Format("|0x%X", rest);
    return names;
}

bool Allows(const Window& box, int button) {
    for (int allowed : MessageBoxButtons(box.boxType))
        if (allowed == button)
            return true;
    return false;
}

LRESULT CALLBACK MessageBoxProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    MachineLock lock = LockMachine();
    Window* box = LookupWindow(handle);
    if (box && message == WM_KEYDOWN) {
        std::vector<int> buttons = MessageBoxButtons(box->boxType);
        std::size_t defaultIndex = (box->boxType & 0x300) >> 8;
        if (wParam == VK_RETURN)
            box->answer = buttons[defaultIndex < buttons.size() ? defaultIndex : 0];
        else if (wParam == VK_ESCAPE && (Allows(*box, IDCANCEL) || buttons.size() == 1))
            box->answer = buttons.size() == 1 ? buttons[0] : IDCANCEL;
        return 0;
    }
    // A button's command ends the box as its click would; a box with one
    // button takes Cancel as that button.
    if (box && message == WM_COMMAND) {
        int button = LOWORD(wParam);
        std::vector<int> buttons = MessageBoxButtons(box->boxType);
        if (Allows(*box, button))
            box->answer = button;
        else if (button == IDCANCEL && buttons.size() == 1)
            box->answer = buttons[0];
        return 0;
    }
    // The box's window text is its caption; the message is its static's.
    if (box && (message == WM_GETTEXT || message == WM_GETTEXTLENGTH)) {
        const std::string& caption = box->caption;
        if (message == WM_GETTEXTLENGTH)
            return static_cast<LRESULT>(caption.size());
        if (wParam == 0)
            return 0;
        std::size_t copied = std::min<std::size_t>(caption.size(), wParam - 1);
        caption.copy(reinterpret_cast<char*>(lParam), copied);
        reinterpret_cast<char*>(lParam)[copied] = '\0';
        return static_cast<LRESULT>(copied);
    }
    lock.unlock();
    return DefaultWindowProc(handle, message, wParam, lParam);
}

} // namespace

std::vector<int> MessageBoxButtons(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    default:
        return {IDOK};
    }
}

bool AnswerMessageBox(int button, std::string* error) {
    MachineLock lock = LockMachine();
    Window* box = ActiveTopLevel();
    if (!box || box->kind != WindowKind::MessageBox) {
        *error = "no message box is open";
        return false;
    }
    if (!Allows(*box, button)) {
        *error = "the message box has no such button";
        return false;
    }
    box->answer = button;
    PostLocked(box->handle, WM_NULL, 0, 0);
    return true;
}

} // namespace hosted

using namespace hosted;

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    MachineLock lock = LockMachine();
    SaveFocusOnDeactivation(ActiveTopLevel());
    Window& box = CreateWindowRecord(WindowKind::MessageBox, "#32770", nullptr, owner);
    box.proc = MessageBoxProc;
    box.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
    box.caption = caption ? caption : "Error";
    box.text = text ? text : "";
    box.boxType = type;
    HWND handle = box.handle;
    // The message is a static of the box, with the id Windows gives it.
    Window& message = CreateWindowRecord(WindowKind::Static, "Static", handle, nullptr);
    message.style = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOPREFIX;
    message.id = 0xFFFF;
    message.text = text ? text : "";
    message.proc = StaticProc;
    SetThreadFocus(*LookupWindow(handle));
    TranscriptLine(Format("msgbox %s | %s | %s", LookupWindow(handle)->caption.c_str(),
                          LookupWindow(handle)->text.c_str(), FlagNames(type).c_str()));
    Window* ownerWindow = LookupWindow(owner);
    bool disabledOwner = ownerWindow && ownerWindow->IsEnabled();
    if (disabledOwner)
        ownerWindow->style |= WS_DISABLED;
    int answer = 0;
    while (answer == 0) {
        lock.unlock();
        MSG msg;
        bool quit = !GetMessageA(&msg, nullptr, 0, 0);
        if (quit)
            PostQuitMessage(static_cast<int>(msg.wParam));
        else
            DispatchMessageA(&msg);
        lock.lock();
        answer = LookupWindow(handle)->answer;
        if (quit && answer == 0)
            answer = MessageBoxButtons(type).back();
    }
    if (disabledOwner && (ownerWindow = LookupWindow(owner)) != nullptr)
        ownerWindow->style &= ~static_cast<DWORD>(WS_DISABLED);
    DeleteWindowRecord(handle);
    RestoreFocusOnActivation(ActiveTopLevel());
    return answer;
}
