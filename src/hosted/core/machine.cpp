#include "core/machine.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <thread>
#include <vector>

#include "core/clock.h"
#include "core/forever.h"
#include "core/format.h"

namespace hosted {
namespace {

struct Machine {
    std::mutex mutex;
    // Signalled when the machine is quiet, for WaitUntilQuiet.
    std::condition_variable quiet;
    std::vector<std::unique_ptr<MachineThread>> threads;
    // The records of adopted threads that have ended: kept, not freed.
    std::vector<std::unique_ptr<MachineThread>> ended;
    std::vector<void (*)(DWORD)> exitHooks;
    DWORD nextId = 0x100;
};

Machine& TheMachine() {
    static Forever<Machine> machine;
    return *machine;
}

MachineThread* AddThread(const char* name) {
    Machine& machine = TheMachine();
    auto record = std::make_unique<MachineThread>();
    record->id = machine.nextId;
    record->name = name;
    machine.nextId += 4;
    machine.threads.push_back(std::move(record));
    return machine.threads.back().get();
}

// Runs the exit hooks and takes the thread out of the machine's list; its
// record goes to `keep` when given, or is freed.
void RemoveThread(MachineThread* thread,
                  std::vector<std::unique_ptr<MachineThread>>* keep = nullptr) {
    Machine& machine = TheMachine();
    for (auto hook : machine.exitHooks)
        hook(thread->id);
    auto& threads = machine.threads;
    for (auto it = threads.begin(); it != threads.end(); ++it)
        if (it->get() == thread) {
            if (keep)
                keep->push_back(std::move(*it));
            threads.erase(it);
            return;
        }
}

// Threads the machine did not start (the runner, a test, the main thread)
// get their record on their first call. When such a thread ends its record
// is taken out but kept: the main thread still runs the program's static
// destructors after its thread-local objects are gone, and they call in.
thread_local MachineThread* t_record = nullptr;
thread_local bool t_adopted = false;

struct AdoptedThreadEnd {
    ~AdoptedThreadEnd() {
        if (!t_adopted)
            return;
        MachineLock lock;
        RemoveThread(t_record, &TheMachine().ended);
        t_record->program = false;
        t_adopted = false;
    }
};

thread_local AdoptedThreadEnd t_adoptedEnd;

bool WouldWake(const MachineThread& thread) {
    if (!thread.blocked)
        return true;
    if (thread.deadline >= 0 && VirtualNow() >= thread.deadline)
        return true;
    return thread.ready && (*thread.ready)();
}

bool IsQuiet() {
    for (const auto& thread : TheMachine().threads)
        if (thread->program && WouldWake(*thread))
            return false;
    return true;
}

std::string BusyReport(int watchdogMs) {
    std::string report =
        Format("the machine did not become quiet within %d ms of real time:", watchdogMs);
    for (const auto& thread : TheMachine().threads) {
        if (!thread->program)
            continue;
        report += Format("\n  thread 0x%X (%s): ", static_cast<unsigned>(thread->id), thread->name);
        if (!thread->blocked) {
            report += "running";
            continue;
        }
        report += std::string("blocked in ") + thread->waitingIn;
        if (thread->deadline >= 0)
            report += Format(" until %lld ms", static_cast<long long>(thread->deadline));
        if (WouldWake(*thread))
            report += ", due to wake";
    }
    return report;
}

} // namespace

MachineLock::MachineLock() : m_lock(TheMachine().mutex) {}

MachineLock::~MachineLock() {
    if (m_lock.owns_lock())
        unlock();
}

void MachineLock::lock() {
    m_lock.lock();
}

// Wakes, machine lock held, each blocked thread whose wait now holds, and
// the runner when the machine is quiet. Threads that would only find their
// wait still unsatisfied sleep on: waking all of them on every change cost
// more than the changes themselves.
void WakeWaiters() {
    Machine& machine = TheMachine();
    bool quiet = true;
    for (const auto& thread : machine.threads) {
        if (!WouldWake(*thread))
            continue;
        if (thread->blocked)
            thread->wake.notify_one();
        quiet = quiet && !thread->program;
    }
    // The main thread still calls in from the program's static destructors
    // after its record was retired.
    for (const auto& thread : machine.ended)
        if (thread->blocked && WouldWake(*thread))
            thread->wake.notify_one();
    if (quiet)
        machine.quiet.notify_all();
}

void MachineLock::unlock() {
    WakeWaiters();
    m_lock.unlock();
}

MachineThread& CurrentThread() {
    if (!t_record) {
        t_record = AddThread("");
        t_adopted = true;
        (void)&t_adoptedEnd; // its destructor now runs when this thread ends
    }
    return *t_record;
}

MachineThread* FindThread(DWORD id) {
    for (const auto& thread : TheMachine().threads)
        if (thread->id == id)
            return thread.get();
    return nullptr;
}

DWORD StartProgramThread(const char* name, std::function<DWORD()> body,
                         std::function<void(DWORD)> ended) {
    MachineThread* record = AddThread(name);
    record->program = true;
    std::thread([record, body = std::move(body), ended = std::move(ended)] {
        t_record = record;
        DWORD result = body();
        MachineLock lock;
        ended(result);
        RemoveThread(record);
        t_record = nullptr;
    }).detach();
    return record->id;
}

void EnterProgram(const char* name) {
    MachineThread& self = CurrentThread();
    self.name = name;
    self.program = true;
}

void LeaveProgram() {
    MachineThread& self = CurrentThread();
    self.program = false;
    for (auto hook : TheMachine().exitHooks)
        hook(self.id);
}

void AddThreadExitHook(void (*hook)(DWORD threadId)) {
    MachineLock lock;
    TheMachine().exitHooks.push_back(hook);
}

bool BlockUntil(MachineLock& lock, const std::function<bool()>& ready, std::int64_t deadline,
                const char* what) {
    MachineThread& self = CurrentThread();
    self.ready = &ready;
    self.deadline = deadline;
    self.waitingIn = what;
    self.blocked = true;
    WakeWaiters(); // the runner may be waiting for this thread to block
    bool satisfied = true;
    while (!ready()) {
        if (deadline >= 0 && VirtualNow() >= deadline) {
            satisfied = false;
            break;
        }
        self.wake.wait(lock.m_lock);
    }
    self.blocked = false;
    self.ready = nullptr;
    self.deadline = -1;
    self.waitingIn = "";
    return satisfied;
}

bool WaitUntilQuiet(std::string* report, int watchdogMs) {
    MachineLock lock;
    auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(watchdogMs);
    while (!IsQuiet()) {
        if (TheMachine().quiet.wait_until(lock.m_lock, limit) == std::cv_status::timeout &&
            !IsQuiet()) {
            *report = BusyReport(watchdogMs);
            return false;
        }
    }
    return true;
}

std::int64_t NextDueTime() {
    std::int64_t next = -1;
    std::int64_t now = VirtualNow();
    for (const auto& thread : TheMachine().threads)
        if (thread->program && thread->blocked && thread->deadline > now)
            next = next < 0 ? thread->deadline : std::min(next, thread->deadline);
    return next;
}

bool AdvanceVirtualClock(std::int64_t ms, std::string* report, int watchdogMs) {
    std::int64_t target;
    {
        MachineLock lock;
        target = VirtualNow() + ms;
    }
    // Each step starts from quiet, so every wait due on the way is seen.
    while (WaitUntilQuiet(report, watchdogMs)) {
        MachineLock lock;
        if (VirtualNow() >= target)
            return true;
        std::int64_t next = NextDueTime();
        SetVirtualNow(next < 0 || next >= target ? target : next);
    }
    return false;
}

} // namespace hosted
