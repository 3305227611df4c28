// operator new and delete in place of libstdc++'s: those are built for the
// Pentium Pro, and a throwing operator new pulls in the whole exception
// runtime. Nothing here throws (the programs are built without exceptions and could
// not catch one), so memory that cannot be had ends the program the way the
// uncaught std::bad_alloc did: abort().
#include <stdlib.h>

#include <new>

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
