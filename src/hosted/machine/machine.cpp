#include "machine.h"

#include <algorithm>
#include <atomic>

#include "clock.h"

namespace hosted {
namespace {

std::mutex& MachineMutex() {
    static std::mutex mutex;
    return mutex;
}

std::condition_variable& MachineChanged() {
    static std::condition_variable changed;
    return changed;
}

// Guards only the list of threads, so that a thread can join it while it
// already holds the machine lock. Order: machine lock, then this.
std::mutex& ThreadListMutex() {
    static std::mutex mutex;
    return mutex;
}

std::vector<ThreadState*>& KnownThreads() {
    static std::vector<ThreadState*> threads;
    return threads;
}

std::atomic<DWORD> g_nextThreadId{0x100};

struct ThreadSlot {
    ThreadState state;
    ThreadSlot() {
        state.id = g_nextThreadId.fetch_add(4);
        std::lock_guard<std::mutex> guard(ThreadListMutex());
        KnownThreads().push_back(&state);
    }
    ~ThreadSlot() {
        std::lock_guard<std::mutex> guard(ThreadListMutex());
        auto& threads = KnownThreads();
        threads.erase(std::remove(threads.begin(), threads.end(), &state), threads.end());
    }
};

bool WouldWake(const ThreadState& thread) {
    if (!thread.blocked)
        return true;
    if (thread.deadline >= 0 && VirtualNow() >= thread.deadline)
        return true;
    return thread.wakeCondition && (*thread.wakeCondition)();
}

bool IsQuiet() {
    std::lock_guard<std::mutex> guard(ThreadListMutex());
    for (const ThreadState* thread : KnownThreads())
        if (thread->program && WouldWake(*thread))
            return false;
    return true;
}

} // namespace

MachineLock LockMachine() {
    return MachineLock(MachineMutex());
}

void NotifyMachine() {
    MachineChanged().notify_all();
}

ThreadState& CurrentThread() {
    thread_local ThreadSlot slot;
    return slot.state;
}

void RegisterProgramThread(ThreadState& thread) {
    thread.program = true;
    NotifyMachine();
}

void UnregisterProgramThread(ThreadState& thread) {
    thread.program = false;
    NotifyMachine();
}

ThreadState* FindThread(DWORD id) {
    std::lock_guard<std::mutex> guard(ThreadListMutex());
    for (ThreadState* thread : KnownThreads())
        if (thread->id == id)
            return thread;
    return nullptr;
}

bool BlockUntil(MachineLock& lock, const std::function<bool()>& ready, std::int64_t deadline) {
    ThreadState& self = CurrentThread();
    bool satisfied = true;
    self.wakeCondition = &ready;
    self.deadline = deadline;
    self.blocked = true;
    NotifyMachine();
    while (!ready()) {
        if (deadline >= 0 && VirtualNow() >= deadline) {
            satisfied = false;
            break;
        }
        MachineChanged().wait(lock);
    }
    self.blocked = false;
    self.wakeCondition = nullptr;
    self.deadline = -1;
    return satisfied;
}

void WaitUntilQuiet() {
    MachineLock lock = LockMachine();
    MachineChanged().wait(lock, [] { return IsQuiet(); });
}

std::int64_t NextThreadDeadline() {
    std::int64_t next = -1;
    std::int64_t now = VirtualNow();
    std::lock_guard<std::mutex> guard(ThreadListMutex());
    for (const ThreadState* thread : KnownThreads())
        if (thread->program && thread->blocked && thread->deadline > now)
            next = next < 0 ? thread->deadline : std::min(next, thread->deadline);
    return next;
}

} // namespace hosted
