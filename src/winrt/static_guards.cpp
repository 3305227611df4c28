// The guards of function-local statics, in place of libstdc++'s, which are
// built for the Pentium Pro, throw on misuse and wait on libgcc's thread
// mutexes, whose semaphores come from CreateSemaphoreW, a stub on Windows 98.
// A static is set up once even when threads reach it together: the first one
// in takes the guard's second word and sets it up; the others sleep until the
// first byte, which the compiler's own code checks before calling here, says
// it is done. Windows 95 has no InterlockedCompareExchange, so the word is
// taken by exchange.
#include <windows.h>

namespace {

volatile LONG* BusyWord(long long* guard) {
    return reinterpret_cast<volatile LONG*>(guard) + 1;
}

bool IsDone(long long* guard) {
    return *reinterpret_cast<volatile char*>(guard) != 0;
}

LONG Exchange(long long* guard, LONG value) {
    return InterlockedExchange(const_cast<LONG*>(BusyWord(guard)), value);
}

} // namespace

extern "C" int __cxa_guard_acquire(long long* guard) {
    while (!IsDone(guard)) {
        if (Exchange(guard, 1) == 0) {
            if (!IsDone(guard))
                return 1;
            Exchange(guard, 0);
            return 0;
        }
        Sleep(1);
    }
    return 0;
}

extern "C" void __cxa_guard_release(long long* guard) {
    *reinterpret_cast<volatile char*>(guard) = 1;
    Exchange(guard, 0);
}

extern "C" void __cxa_guard_abort(long long* guard) {
    Exchange(guard, 0);
}
