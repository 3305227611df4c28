// The simulated machine's scheduler: one lock over all hosted state, the
// threads it knows, the one blocking wait every hosted call goes through,
// and "quiet": every program thread blocked with nothing that could wake it
// at the current virtual time.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include <windows.h>

namespace hosted {

// Holds the machine lock. Releasing it is how a change becomes visible:
// every blocked thread whose wait the change satisfied is woken then, so no
// hosted call has to say that it changed something.
class MachineLock {
  public:
    MachineLock();
    ~MachineLock();
    MachineLock(const MachineLock&) = delete;
    MachineLock& operator=(const MachineLock&) = delete;
    void lock();
    void unlock();
    bool owns_lock() const { return m_lock.owns_lock(); }

  private:
    friend bool BlockUntil(MachineLock&, const std::function<bool()>&, std::int64_t, const char*);
    friend bool WaitUntilQuiet(std::string*, int);
    std::unique_lock<std::mutex> m_lock;
};

inline MachineLock LockMachine() {
    return MachineLock();
}

// A thread the machine knows: a program thread (counts for quiet) or any
// other thread that called into the hosted layer (the runner, a test).
struct MachineThread {
    DWORD id = 0;
    const char* name = "";
    bool program = false;
    // The wait it is blocked in, if any.
    bool blocked = false;
    const std::function<bool()>* ready = nullptr;
    std::int64_t deadline = -1; // virtual ms; -1 = none
    const char* waitingIn = "";
    // Signalled only when its wait is satisfied, so that a change wakes the
    // threads it concerns and no others.
    std::condition_variable wake;
};

// The calling thread's record; machine lock held.
MachineThread& CurrentThread();
// Null when no thread of that id lives; machine lock held.
MachineThread* FindThread(DWORD id);

// Starts a program thread running body. It counts for quiet from this call
// on, so the machine cannot look quiet before the thread has run. When
// body returns, the exit hooks run and then ended(result), all with the
// machine lock held. Returns the new thread's id; machine lock held.
DWORD StartProgramThread(const char* name, std::function<DWORD()> body,
                         std::function<void(DWORD)> ended);
// The calling thread counts for quiet until LeaveProgram (the program's
// first thread, which the system starts); machine lock held.
void EnterProgram(const char* name);
void LeaveProgram();

// Run, machine lock held, for every known thread that ends (a layer's
// per-thread state: the sends still waiting for it). Registered at start-up.
void AddThreadExitHook(void (*hook)(DWORD threadId));

// The one blocking wait: blocks the calling thread (lock held on entry and
// exit) until ready() holds or the virtual clock reaches deadline (-1: no
// deadline). `what` names the call for the watchdog's report. Returns false
// on the deadline.
bool BlockUntil(MachineLock& lock, const std::function<bool()>& ready, std::int64_t deadline = -1,
                const char* what = "a wait");

// Runner side: waits until every program thread is blocked with no reason
// to wake at the current virtual time. After watchdogMs of real time
// without quiet, returns false with a report of every program thread.
bool WaitUntilQuiet(std::string* report, int watchdogMs = 10000);
// The earliest virtual time after now at which a blocked thread wakes, or -1.
std::int64_t NextDueTime();
// Moves the virtual clock forward by ms, stopping at every time a blocked
// thread is due to wake and waiting there until the machine is quiet again;
// false with the watchdog's report as WaitUntilQuiet gives it.
bool AdvanceVirtualClock(std::int64_t ms, std::string* report, int watchdogMs = 10000);

} // namespace hosted
