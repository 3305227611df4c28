// What the C++ code needs of a runtime beyond msvcrt.dll, in place of
// crt2.o's atexit and libstdc++'s operator new and delete: those are built
// for the Pentium Pro, and a throwing operator new pulls in the whole
// exception runtime. atexit puts a function on msvcrt.dll's own exit list,
// which exit() runs in reverse order of registration, as crt2.o's did.
// Nothing here throws (the programs are built without exceptions and could
// not catch one), so memory that cannot be had ends the program the way the
// uncaught std::bad_alloc did: abort().
#include <stdlib.h>

#include <new>

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
