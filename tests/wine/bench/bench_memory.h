// The test bench that the scenario runner shares with the two doubles loaded
// into BRISKARN.EXE under Wine: the driver's answers and the record of what
// it was sent, the joystick slots, the keyboard and the failures to inject.
// One named mapping; every access under its lock, so that a wheel change or
// a report is seen whole.
#pragma once

#include <cstddef>

#include <windows.h>

namespace bench {

constexpr DWORD kMagic = 0x4B534942; // "BISK"
constexpr unsigned kSlots = 16;
constexpr unsigned kJoyStateSize = 272; // sizeof(DIJOYSTATE2)
constexpr unsigned kDriverEvents = 1u << 16;
constexpr unsigned kFailures = 16;

// What the driver double saw, in the order it saw it.
enum DriverEventKind : DWORD { kOpen = 1, kOpenRefused = 2, kStatus = 3, kReport = 4, kClose = 5 };

struct DriverEvent {
    LONGLONG ticks; // QueryPerformanceCounter when it arrived
    DWORD kind;
    DWORD values[5]; // status: GameMax, CallbackCount; report: its five fields
};

struct Slot {
    DWORD present;
    DWORD polled;
    DWORD buttons;
    DWORD povs;
    LONG result;      // what GetConfig answers instead, when not S_OK
    LONG version;     // counts the changes of state
    LONG versionRead; // the version the program last read
    LONG polls;       // Poll calls of the program on it
    LONGLONG changed; // ticks of the last change
    char name[64];
    BYTE state[kJoyStateSize];
};

struct Failure {
    char method[64]; // "IDirectInputDevice2A::GetDeviceState"
    LONG device;     // a slot, or -1 for any
    DWORD call;      // 1-based, or 0 for every call
    LONG code;
    DWORD seen;
};

struct Memory {
    DWORD magic;
    // The driver.
    DWORD driverPresent;
    DWORD openError;
    DWORD gameMax;
    DWORD callbackCount;
    DWORD refuseRead;
    DWORD refuseWrite;
    LONG lock; // see Lock
    // DirectInput.
    Slot slots[kSlots];
    BYTE keyboard[256];
    LONG keyboardVersion;
    DWORD failureCount;
    Failure failures[kFailures];
    // Written by the driver double, read by the runner.
    DWORD driverEventCount; // may run past kDriverEvents: a ring
    DriverEvent driverEvents[kDriverEvents];
};

static_assert(sizeof(DriverEvent) == 32, "driver event record");
static_assert(offsetof(Slot, state) == 104 && sizeof(Slot) == 376, "slot record");
static_assert(offsetof(Memory, lock) == 28 && offsetof(Memory, slots) == 32 &&
                  offsetof(Memory, driverEvents) % 8 == 0,
              "bench layout");

// Names shared by the runner and the doubles; they live in one wineserver.
constexpr const char* kMappingName = "BriskarnTestBench";
constexpr const char* kMutexName = "BriskarnTestBenchLock";
// Set by the runner after a change of a wheel or the keyboard; the
// DirectInput double then signals the program's notification events.
constexpr const char* kChangedEventName = "BriskarnTestBenchChanged";
// Set by the driver double after each record, so that a waiting runner wakes
// at once instead of polling the bench.
constexpr const char* kRecordedEventName = "BriskarnTestBenchRecorded";

// The bench, created at its first open; null when it cannot be had.
Memory* OpenMemory();

// Holds the bench's lock for its lifetime. A lock word in the mapping rather
// than a named mutex: a mutex costs two wineserver trips a section, which
// the latency run would count against the program, and every section is a
// few copies long. A holder that ended inside its section (a program killed
// by the runner) is taken over after a while, as an abandoned mutex is.
class Lock {
  public:
    Lock();
    ~Lock();
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

  private:
    volatile LONG* m_word;
};

// Appends to the driver's record; bench lock held.
void RecordDriverEvent(Memory* memory, DWORD kind, const DWORD* values, int count);

} // namespace bench
