// What the C++ code needs of a runtime, in place of libstdc++'s and
// mingw-w64's prebuilt pieces: those are built for the Pentium Pro and pull in
// the whole exception machinery. Nothing here throws (the programs are built
// without exceptions), so a failure that would have thrown ends the program
// the way an uncaught exception did: abort().
#include <stdlib.h>

#include <new>

#include <windows.h>

// exit() runs these in reverse order of registration, after returning from
// main or WinMain, as it did with crt2.o's atexit.
extern "C" int atexit(void (*function)()) {
    return _onexit(reinterpret_cast<_onexit_t>(function)) ? 0 : -1;
}

void* operator new(std::size_t size) {
    if (void* block = malloc(size ? size : 1))
        return block;
    abort();
}

void* operator new[](std::size_t size) {
    return operator new(size);
}

void operator delete(void* block) noexcept {
    free(block);
}

void operator delete[](void* block) noexcept {
    free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    free(block);
}

void operator delete[](void* block, std::size_t) noexcept {
    free(block);
}

// A function-local static is set up once even when threads reach it
// together: the first one in holds the guard's second word and sets it up;
// the others wait until the first byte, which the compiler's own code checks,
// says it is done. Windows 95 has no InterlockedCompareExchange.
namespace {

volatile LONG* BusyWord(long long* guard) {
    return reinterpret_cast<volatile LONG*>(guard) + 1;
}

bool IsDone(long long* guard) {
    return *reinterpret_cast<volatile char*>(guard) != 0;
}

} // namespace

extern "C" int __cxa_guard_acquire(long long* guard) {
    while (!IsDone(guard)) {
        if (InterlockedExchange(const_cast<LONG*>(BusyWord(guard)), 1) == 0) {
            if (!IsDone(guard))
                return 1;
            InterlockedExchange(const_cast<LONG*>(BusyWord(guard)), 0);
            return 0;
        }
        Sleep(1);
    }
    return 0;
}

extern "C" void __cxa_guard_release(long long* guard) {
    *reinterpret_cast<volatile char*>(guard) = 1;
    InterlockedExchange(const_cast<LONG*>(BusyWord(guard)), 0);
}

extern "C" void __cxa_guard_abort(long long* guard) {
    InterlockedExchange(const_cast<LONG*>(BusyWord(guard)), 0);
}
