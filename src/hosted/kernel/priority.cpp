// Stands in for the kernel's priorities: the process's class and each
// thread's priority, as names in the transcript; the machine may refuse
// either, as a system without the rights would.
#include "kernel/priority.h"

#include <string>

#include "core/forever.h"
#include "core/format.h"
#include "core/machine.h"
#include "core/transcript.h"
#include "kernel/objects.h"

namespace hosted {
namespace {

std::string ClassName(DWORD priorityClass) {
    switch (priorityClass) {
    case IDLE_PRIORITY_CLASS:
        return "IDLE_PRIORITY_CLASS";
    case NORMAL_PRIORITY_CLASS:
        return "NORMAL_PRIORITY_CLASS";
    case HIGH_PRIORITY_CLASS:
        return "HIGH_PRIORITY_CLASS";
    case REALTIME_PRIORITY_CLASS:
        return "REALTIME_PRIORITY_CLASS";
    }
    return Format("0x%X", static_cast<unsigned>(priorityClass));
}

std::string ThreadPriorityName(int priority) {
    switch (priority) {
    case THREAD_PRIORITY_IDLE:
        return "THREAD_PRIORITY_IDLE";
    case THREAD_PRIORITY_LOWEST:
        return "THREAD_PRIORITY_LOWEST";
    case THREAD_PRIORITY_BELOW_NORMAL:
        return "THREAD_PRIORITY_BELOW_NORMAL";
    case THREAD_PRIORITY_NORMAL:
        return "THREAD_PRIORITY_NORMAL";
    case THREAD_PRIORITY_ABOVE_NORMAL:
        return "THREAD_PRIORITY_ABOVE_NORMAL";
    case THREAD_PRIORITY_HIGHEST:
        return "THREAD_PRIORITY_HIGHEST";
    case THREAD_PRIORITY_TIME_CRITICAL:
        return "THREAD_PRIORITY_TIME_CRITICAL";
    }
    return std::to_string(priority);
}

} // namespace

PrioritySettings& Priorities() {
    static Forever<PrioritySettings> settings;
    return *settings;
}

} // namespace hosted

using namespace hosted;

BOOL WINAPI SetPriorityClass(HANDLE process, DWORD priorityClass) {
    MachineLock lock = LockMachine();
    if (process != GetCurrentProcess()) {
        SetLastErrorCode(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::string name = ClassName(priorityClass);
    if (name[0] == '0') {
        SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    bool refused = Priorities().classFails;
    TranscriptLine("priority class " + name + (refused ? " failed" : ""));
    if (refused) {
        SetLastErrorCode(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

// The program's own threads only: the pseudo-handle or a thread's handle.
BOOL WINAPI SetThreadPriority(HANDLE thread, int priority) {
    MachineLock lock = LockMachine();
    if (thread != GetCurrentThread() && !LookupHandle(thread)) {
        SetLastErrorCode(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    bool refused = Priorities().threadFails;
    TranscriptLine("priority thread " + ThreadPriorityName(priority) + (refused ? " failed" : ""));
    if (refused) {
        SetLastErrorCode(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}
