// Stands in for user32's message queues: each thread has its own posted
// messages and the sent messages waiting for it; SendMessageA to another
// thread's window blocks until that thread has handled the message, and the
// waiting thread handles messages sent to itself meanwhile, as on Windows.
#include <algorithm>
#include <cstring>

#include "kernel/sync.h"
#include "user/observers.h"
#include "user/threads.h"
#include "user/window.h"

namespace hosted {
namespace {

SentMessageObserver g_sentObserver = nullptr;

// Handles every message sent to this thread from elsewhere; lock held.
void DeliverIncoming(MachineLock& lock, UserThread& self) {
    while (!self.incoming.empty()) {
        SentMessage* sent = self.incoming.front();
        self.incoming.erase(self.incoming.begin());
        LRESULT result =
            LookupWindow(sent->window)
                ? CallProcedure(lock, sent->window, sent->message, sent->wParam, sent->lParam)
                : 0;
        sent->result = result;
        sent->done = true;
    }
}

// The quit comes only after every posted message; without remove both stay.
bool TakePosted(UserThread& self, MSG* msg, bool remove = true) {
    if (!self.posted.empty()) {
        *msg = self.posted.front();
        if (remove) {
            self.posted.pop_front();
            if ((msg->message == WM_KEYDOWN || msg->message == WM_KEYUP) && msg->wParam == VK_SHIFT)
                self.shiftDown = msg->message == WM_KEYDOWN;
        }
        return true;
    }
    if (self.quitPosted) {
        self.quitPosted = !remove;
        *msg = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(self.quitCode), 0, 0, {0, 0}};
        return true;
    }
    return false;
}

} // namespace

LRESULT CallProcedure(MachineLock& lock, HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = LookupWindow(handle);
    if (!window)
        return 0;
    WNDPROC proc = window->proc;
    lock.unlock();
    LRESULT result = proc ? proc(handle, message, wParam, lParam) : 0;
    lock.lock();
    return result;
}

void SetSentMessageObserver(SentMessageObserver observer) {
    MachineLock lock = LockMachine();
    g_sentObserver = observer;
}

LRESULT SendLocked(MachineLock& lock, HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = LookupWindow(handle);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    if (message >= 0xC000 && message <= 0xFFFF && g_sentObserver)
        g_sentObserver(message, wParam, lParam);
    if (window->threadId == CurrentThread().id)
        return CallProcedure(lock, handle, message, wParam, lParam);
    UserThread* target = FindUserThread(window->threadId);
    if (!target)
        return 0;
    UserThread& self = CurrentUserThread();
    SentMessage sent{handle, message, wParam, lParam};
    target->incoming.push_back(&sent);
    std::function<bool()> answeredOrCalled = [&] { return sent.done || !self.incoming.empty(); };
    while (!sent.done) {
        BlockUntil(lock, answeredOrCalled, -1, "SendMessageA");
        DeliverIncoming(lock, self);
    }
    return sent.result;
}

void PostLocked(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = LookupWindow(handle);
    UserThread* target = window ? FindUserThread(window->threadId) : nullptr;
    if (!target)
        return;
    target->posted.push_back(MSG{handle, message, wParam, lParam, 0, {0, 0}});
}

} // namespace hosted

using namespace hosted;

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MachineLock lock = LockMachine();
    return SendLocked(lock, window, message, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MachineLock lock = LockMachine();
    if (!LookupWindow(window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    PostLocked(window, message, wParam, lParam);
    return TRUE;
}

void WINAPI PostQuitMessage(int exitCode) {
    MachineLock lock = LockMachine();
    CurrentUserThread().quitPosted = true;
    CurrentUserThread().quitCode = exitCode;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND, UINT, UINT) {
    MachineLock lock = LockMachine();
    UserThread& self = CurrentUserThread();
    std::function<bool()> anything = [&] {
        return !self.incoming.empty() || !self.posted.empty() || self.quitPosted;
    };
    while (true) {
        DeliverIncoming(lock, self);
        if (TakePosted(self, msg))
            return msg->message != WM_QUIT;
        BlockUntil(lock, anything, -1, "GetMessageA");
    }
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND, UINT, UINT, UINT remove) {
    MachineLock lock = LockMachine();
    UserThread& self = CurrentUserThread();
    DeliverIncoming(lock, self);
    return TakePosted(self, msg, (remove & PM_REMOVE) != 0);
}

// Wakes for the handles or for input of the kinds asked for; the caller
// then takes the input with PeekMessageA, which also handles sent messages.
DWORD WINAPI MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                       DWORD milliseconds, DWORD wakeMask) {
    MachineLock lock = LockMachine();
    UserThread& self = CurrentUserThread();
    std::function<bool()> input = [&] {
        return ((wakeMask & QS_SENDMESSAGE) && !self.incoming.empty()) ||
               ((wakeMask & QS_POSTMESSAGE) && (!self.posted.empty() || self.quitPosted));
    };
    return WaitForObjectsLocked(lock, count, handles, waitAll != FALSE, milliseconds, &input,
                                "MsgWaitForMultipleObjects");
}

BOOL WINAPI TranslateMessage(const MSG*) {
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    if (msg->hwnd == nullptr)
        return 0;
    MachineLock lock = LockMachine();
    return CallProcedure(lock, msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
    HWND item = GetDlgItem(dialog, id);
    return item ? SendMessageA(item, message, wParam, lParam) : 0;
}

LRESULT CALLBACK hosted::DefaultWindowProc(HWND handle, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    MachineLock lock = LockMachine();
    Window* window = LookupWindow(handle);
    if (!window)
        return 0;
    switch (message) {
    case WM_SETTEXT:
        window->text = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
        return TRUE;
    case WM_GETTEXT: {
        if (wParam == 0)
            return 0;
        std::size_t copied = std::min<std::size_t>(window->text.size(), wParam - 1);
        std::memcpy(reinterpret_cast<char*>(lParam), window->text.data(), copied);
        reinterpret_cast<char*>(lParam)[copied] = '\0';
        return static_cast<LRESULT>(copied);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(window->text.size());
    case WM_GETICON:
        return reinterpret_cast<LRESULT>(wParam == ICON_BIG ? window->bigIcon : window->smallIcon);
    case WM_SETICON: {
        HICON& slot = wParam == ICON_BIG ? window->bigIcon : window->smallIcon;
        HICON previous = slot;
        slot = reinterpret_cast<HICON>(lParam);
        return reinterpret_cast<LRESULT>(previous);
    }
    case WM_CLOSE:
        lock.unlock();
        DestroyWindow(handle);
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_CLOSE:
            return SendLocked(lock, handle, WM_CLOSE, 0, 0);
        // The window shows anew in its other state, so it is painted.
        case SC_MINIMIZE:
        case SC_RESTORE:
            window->iconic = (wParam & 0xFFF0) == SC_MINIMIZE;
            window->drawnIcon = nullptr;
            PostLocked(handle, WM_PAINT, 0, 0);
            return 0;
        }
        return 0;
    case WM_PAINT: {
        lock.unlock();
        PAINTSTRUCT paint;
        BeginPaint(handle, &paint);
        EndPaint(handle, &paint);
        return 0;
    }
    default:
        return 0;
    }
}
