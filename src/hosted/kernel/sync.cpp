// Stands in for the kernel's threads and synchronisation: real threads,
// named and unnamed events, waits on events and threads (timed waits follow
// the virtual clock), and critical sections.
#include <algorithm>
#include <map>
#include <memory>

#include "core/forever.h"
#include "kernel/failures.h"
#include "kernel/objects.h"
#include "kernel/sync.h"
#include "core/clock.h"

namespace hosted {
namespace {

class EventObject : public KernelObject {
  public:
    EventObject(bool manualReset, bool signalled)
        : m_manualReset(manualReset), m_signalled(signalled) {}
    bool IsWaitable() const override { return true; }
    bool IsSignalled() const override { return m_signalled; }
    void OnWaitSatisfied() override {
        if (!m_manualReset)
            m_signalled = false;
    }
    void Set() { m_signalled = true; }

  private:
    bool m_manualReset;
    bool m_signalled;
};

class ThreadObject : public KernelObject {
  public:
    bool IsWaitable() const override { return true; }
    bool IsSignalled() const override { return m_ended; }
    void End(DWORD code) {
        m_exitCode = code;
        m_ended = true;
    }
    DWORD ExitCode() const { return m_ended ? m_exitCode : STILL_ACTIVE; }

  private:
    bool m_ended = false;
    DWORD m_exitCode = 0;
};

std::map<std::string, std::weak_ptr<EventObject>>& NamedEvents() {
    static Forever<std::map<std::string, std::weak_ptr<EventObject>>> events;
    return *events;
}

std::shared_ptr<EventObject> EventFor(HANDLE handle) {
    return std::dynamic_pointer_cast<EventObject>(LookupHandle(handle));
}

} // namespace

DWORD WaitForObjectsLocked(MachineLock& lock, DWORD count, const HANDLE* handles, bool waitAll,
                           DWORD milliseconds, const std::function<bool()>* other,
                           const char* what) {
    if (count > MAXIMUM_WAIT_OBJECTS || (count > 0 && handles == nullptr) ||
        (count == 0 && !other)) {
        SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::vector<std::shared_ptr<KernelObject>> objects;
    for (DWORD i = 0; i < count; ++i) {
        std::shared_ptr<KernelObject> object = LookupHandle(handles[i]);
        if (!object || !object->IsWaitable()) {
            SetLastErrorCode(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        objects.push_back(object);
    }
    auto firstSignalled = [&] {
        return std::find_if(objects.begin(), objects.end(),
                            [](auto& o) { return o->IsSignalled(); });
    };
    auto objectsReady = [&] {
        if (objects.empty())
            return false;
        if (waitAll)
            return std::all_of(objects.begin(), objects.end(),
                               [](auto& o) { return o->IsSignalled(); });
        return firstSignalled() != objects.end();
    };
    std::function<bool()> ready = [&] { return objectsReady() || (other && (*other)()); };
    std::int64_t deadline = milliseconds == INFINITE ? -1 : VirtualNow() + milliseconds;
    if (!ready() && !BlockUntil(lock, ready, deadline, what))
        return WAIT_TIMEOUT;
    if (!objectsReady())
        return WAIT_OBJECT_0 + count;
    if (waitAll) {
        for (auto& object : objects)
            object->OnWaitSatisfied();
        return WAIT_OBJECT_0;
    }
    auto first = firstSignalled();
    (*first)->OnWaitSatisfied();
    return WAIT_OBJECT_0 + static_cast<DWORD>(first - objects.begin());
}

bool SetEventLocked(HANDLE handle) {
    std::shared_ptr<EventObject> event = EventFor(handle);
    if (!event)
        return false;
    event->Set();
    return true;
}

} // namespace hosted

using namespace hosted;

HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState,
                           LPCSTR name) {
    MachineLock lock = LockMachine();
    if (KernelCallFails("CreateEventA"))
        return nullptr;
    if (name && *name) {
        std::shared_ptr<EventObject> existing = NamedEvents()[name].lock();
        if (existing) {
            HANDLE handle = AddHandle(existing);
            SetLastErrorCode(ERROR_ALREADY_EXISTS);
            return handle;
        }
    }
    auto event = std::make_shared<EventObject>(manualReset != FALSE, initialState != FALSE);
    if (name && *name)
        NamedEvents()[name] = event;
    SetLastErrorCode(NO_ERROR);
    return AddHandle(event);
}

BOOL WINAPI SetEvent(HANDLE handle) {
    MachineLock lock = LockMachine();
    if (!SetEventLocked(handle)) {
        SetLastErrorCode(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                    DWORD milliseconds) {
    MachineLock lock = LockMachine();
    if (KernelCallFails("WaitForMultipleObjects"))
        return WAIT_FAILED;
    return WaitForObjectsLocked(lock, count, handles, waitAll != FALSE, milliseconds, nullptr,
                                "WaitForMultipleObjects");
}

DWORD WINAPI WaitForSingleObject(HANDLE object, DWORD milliseconds) {
    MachineLock lock = LockMachine();
    return WaitForObjectsLocked(lock, 1, &object, false, milliseconds, nullptr,
                                "WaitForMultipleObjects");
}

void WINAPI Sleep(DWORD milliseconds) {
    MachineLock lock = LockMachine();
    if (milliseconds == 0)
        return;
    std::function<bool()> never = [] { return false; };
    BlockUntil(lock, never, milliseconds == INFINITE ? -1 : VirtualNow() + milliseconds, "Sleep");
}

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE start,
                           LPVOID parameter, DWORD flags, LPDWORD threadId) {
    if (flags != 0) { // the program never starts a thread suspended
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    MachineLock lock = LockMachine();
    if (KernelCallFails("CreateThread"))
        return nullptr;
    auto object = std::make_shared<ThreadObject>();
    DWORD id = StartProgramThread(
        "CreateThread", [start, parameter] { return start(parameter); },
        [object](DWORD code) { object->End(code); });
    if (threadId)
        *threadId = id;
    SetLastErrorCode(NO_ERROR);
    return AddHandle(object);
}

BOOL WINAPI GetExitCodeThread(HANDLE thread, LPDWORD exitCode) {
    MachineLock lock = LockMachine();
    auto object = std::dynamic_pointer_cast<ThreadObject>(LookupHandle(thread));
    if (!object || !exitCode) {
        SetLastErrorCode(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    *exitCode = object->ExitCode();
    return TRUE;
}

// Pseudo-handles, as Windows hands them out.
HANDLE WINAPI GetCurrentProcess(void) {
    return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));
}
HANDLE WINAPI GetCurrentThread(void) {
    return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-2));
}

DWORD WINAPI GetCurrentThreadId(void) {
    MachineLock lock = LockMachine();
    return CurrentThread().id;
}

// A critical section is owned by one thread at a time, which may enter it
// again; a thread that waits for it is blocked like any other wait, so the
// machine can still become quiet while its owner sleeps on the virtual clock.
namespace {

struct CriticalSectionState {
    DWORD owner = 0;
    LONG recursion = 0;
};

CriticalSectionState& SectionState(LPCRITICAL_SECTION section) {
    return *static_cast<CriticalSectionState*>(section->impl);
}

} // namespace

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION section) {
    section->impl = new CriticalSectionState;
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION section) {
    delete static_cast<CriticalSectionState*>(section->impl);
    section->impl = nullptr;
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION section) {
    MachineLock lock = LockMachine();
    CriticalSectionState& state = SectionState(section);
    DWORD self = CurrentThread().id;
    if (state.owner != self) {
        std::function<bool()> free = [&] { return state.owner == 0; };
        if (!free())
            BlockUntil(lock, free, -1, "EnterCriticalSection");
        state.owner = self;
    }
    state.recursion++;
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION section) {
    MachineLock lock = LockMachine();
    CriticalSectionState& state = SectionState(section);
    if (state.owner == CurrentThread().id && --state.recursion == 0)
        state.owner = 0;
}
