#include "bench_memory.h"

#include <cstring>

namespace bench {
namespace {

// Orders two first openers of the bench: the one that fills it, the other
// after it.
HANDLE TheMutex() {
    static HANDLE mutex = CreateMutexA(nullptr, FALSE, kMutexName);
    return mutex;
}

HANDLE TheRecordedEvent() {
    static HANDLE event = CreateEventA(nullptr, FALSE, FALSE, kRecordedEventName);
    return event;
}

} // namespace

Memory* OpenMemory() {
    static Memory* memory = nullptr;
    if (memory)
        return memory;
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(Memory), kMappingName);
    if (!mapping)
        return nullptr;
    bool fresh = GetLastError() != ERROR_ALREADY_EXISTS;
    // The mapping stays open for the process's lifetime: both sides use it
    // until they end.
    void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Memory));
    if (!view)
        return nullptr;
    memory = static_cast<Memory*>(view);
    if (fresh) {
        HANDLE mutex = TheMutex();
        if (mutex)
            WaitForSingleObject(mutex, INFINITE);
        if (memory->magic != kMagic) {
            std::memset(memory, 0, sizeof(Memory));
            memory->magic = kMagic;
            memory->driverPresent = 1;
            memory->gameMax = 2048;
        }
        if (mutex)
            ReleaseMutex(mutex);
    }
    return memory;
}

Lock::Lock() : m_word(nullptr) {
    Memory* memory = OpenMemory();
    if (!memory)
        return;
    // The word holds its holder's thread id, which Windows keeps unique
    // across processes: a holder taking it again goes on, as with a mutex.
    LONG me = static_cast<LONG>(GetCurrentThreadId());
    LONG* word = const_cast<LONG*>(&memory->lock);
    const DWORD kTakeOverMs = 2000;
    DWORD start = GetTickCount();
    for (int tries = 0;; ++tries) {
        LONG holder = InterlockedCompareExchange(word, me, 0);
        if (holder == 0)
            break;
        if (holder == me)
            return;
        if (GetTickCount() - start > kTakeOverMs) {
            InterlockedExchange(word, me);
            break;
        }
        Sleep(tries < 50 ? 0 : 1);
    }
    m_word = word;
}

Lock::~Lock() {
    if (m_word)
        InterlockedExchange(const_cast<LONG*>(m_word), 0);
}

void RecordDriverEvent(Memory* memory, DWORD kind, const DWORD* values, int count) {
    DriverEvent& event = memory->driverEvents[memory->driverEventCount % kDriverEvents];
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    event.ticks = now.QuadPart;
    event.kind = kind;
    std::memset(event.values, 0, sizeof event.values);
    for (int i = 0; i < count && i < 5; ++i)
        event.values[i] = values[i];
    ++memory->driverEventCount;
    if (HANDLE recorded = TheRecordedEvent())
        SetEvent(recorded);
}

} // namespace bench
