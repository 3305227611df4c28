#include "bench_memory.h"

#include <cstring>

namespace bench {
namespace {

// Opened once: a named object's open is a trip to the wineserver, too slow
// for every report.
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
        Lock lock;
        if (memory->magic != kMagic) {
            std::memset(memory, 0, sizeof(Memory));
            memory->magic = kMagic;
            memory->driverPresent = 1;
            memory->gameMax = 2048;
        }
    }
    return memory;
}

Lock::Lock() : m_mutex(TheMutex()) {
    if (m_mutex)
        WaitForSingleObject(m_mutex, INFINITE);
}

Lock::~Lock() {
    if (m_mutex)
        ReleaseMutex(m_mutex);
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
