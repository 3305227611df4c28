// The simulated machine's scheduler: one lock over all hosted state, the
// program threads it knows, and "quiet" (every program thread blocked with
// nothing that could wake it at the current virtual time).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include <windows.h>

namespace hosted {

struct SentMessage;

// What the hosted user layer keeps per thread: its queues and its focus.
struct ThreadState {
    DWORD id = 0;
    bool program = false; // counts for quiet detection
    bool blocked = false;
    const std::function<bool()>* wakeCondition = nullptr;
    std::int64_t deadline = -1; // virtual ms; -1 = none
    std::deque<MSG> posted;
    std::deque<SentMessage*> incoming;
    bool quitPosted = false;
    int quitCode = 0;
    HWND focus = nullptr;
};

using MachineLock = std::unique_lock<std::mutex>;

// Every piece of hosted state is guarded by this lock.
MachineLock LockMachine();
// Wakes every blocked thread to re-check its condition; call after any change.
void NotifyMachine();

ThreadState& CurrentThread();
// Threads that take part in quiet detection; the runner thread does not.
void RegisterProgramThread(ThreadState& thread);
void UnregisterProgramThread(ThreadState& thread);
ThreadState* FindThread(DWORD id);

// Completes the sends still waiting for a thread that ends (the user layer's
// part of thread exit); machine lock held.
void EndThreadMessages(ThreadState& thread);

// Blocks the calling thread (lock held on entry and exit) until ready() holds
// or the virtual clock reaches deadline (-1: no deadline). Returns false on
// the deadline.
bool BlockUntil(MachineLock& lock, const std::function<bool()>& ready, std::int64_t deadline = -1);

// Runner side: waits until every program thread is blocked with no reason
// to wake at the current virtual time.
void WaitUntilQuiet();
// The earliest deadline of a blocked thread after now, or -1.
std::int64_t NextThreadDeadline();

} // namespace hosted
