// The C heap on the process heap of kernel32, so that the programs need no C
// runtime DLL: Windows 95 as first shipped has no msvcrt.dll.
#include <stdlib.h>

#include <windows.h>

extern "C" void* malloc(size_t size) {
    return HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
}

extern "C" void free(void* block) {
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

extern "C" void* realloc(void* block, size_t size) {
    if (!block)
        return malloc(size);
    return HeapReAlloc(GetProcessHeap(), 0, block, size ? size : 1);
}
