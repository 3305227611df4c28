#include "user/threads.h"

#include <map>

#include "core/forever.h"
#include "core/machine.h"

namespace hosted {
namespace {

std::map<DWORD, UserThread>& Threads() {
    static Forever<std::map<DWORD, UserThread>> threads;
    return *threads;
}

// A thread that ends answers, with 0, the sends still waiting for it, as
// Windows does, so that no sender waits for ever.
void EndUserThread(DWORD threadId) {
    auto it = Threads().find(threadId);
    if (it == Threads().end())
        return;
    for (SentMessage* sent : it->second.incoming)
        sent->done = true;
    Threads().erase(it);
}

struct ExitHookRegistration {
    ExitHookRegistration() { AddThreadExitHook(&EndUserThread); }
} g_exitHook;

} // namespace

UserThread& CurrentUserThread() {
    return Threads()[CurrentThread().id];
}

UserThread* FindUserThread(DWORD threadId) {
    return FindThread(threadId) ? &Threads()[threadId] : nullptr;
}

} // namespace hosted
