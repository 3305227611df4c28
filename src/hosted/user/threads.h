// What user32 keeps per thread: its posted messages, the messages sent to
// it from other threads and not yet handled, its quit request and its focus.
// All with the machine lock held.
#pragma once

#include <deque>
#include <vector>

#include <windows.h>

namespace hosted {

struct SentMessage {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    LRESULT result = 0;
    bool done = false;
};

struct UserThread {
    std::deque<MSG> posted;
    // Oldest first; a vector rather than a deque, whose blocks come and go
    // as messages pass through, so that a steady stream allocates nothing.
    std::vector<SentMessage*> incoming;
    bool quitPosted = false;
    int quitCode = 0;
    HWND focus = nullptr;
    // The Shift key as of the last keyboard message taken from the queue, as
    // GetKeyState sees it: in step with the messages, not with the keyboard.
    bool shiftDown = false;
};

// The calling thread's state, made on first use.
UserThread& CurrentUserThread();
// Null when the thread has ended or never used the user layer.
UserThread* FindUserThread(DWORD threadId);

} // namespace hosted
