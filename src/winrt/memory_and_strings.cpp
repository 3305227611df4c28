// The memory and string functions of the C library that the programs and the
// compiler's own code call. Built with loop-to-call rewriting off (see
// CMakeLists.txt), or memset's loop would become a call to memset.
#include <string.h>

extern "C" void* memcpy(void* to, const void* from, size_t count) {
    unsigned char* out = static_cast<unsigned char*>(to);
    const unsigned char* in = static_cast<const unsigned char*>(from);
    while (count--)
        *out++ = *in++;
    return to;
}

extern "C" void* memmove(void* to, const void* from, size_t count) {
    unsigned char* out = static_cast<unsigned char*>(to);
    const unsigned char* in = static_cast<const unsigned char*>(from);
    if (out <= in || out >= in + count)
        return memcpy(to, from, count);
    while (count--)
        out[count] = in[count];
    return to;
}

extern "C" void* memset(void* to, int value, size_t count) {
    unsigned char* out = static_cast<unsigned char*>(to);
    while (count--)
        *out++ = static_cast<unsigned char>(value);
    return to;
}

extern "C" int memcmp(const void* left, const void* right, size_t count) {
    const unsigned char* a = static_cast<const unsigned char*>(left);
    const unsigned char* b = static_cast<const unsigned char*>(right);
    for (; count; --count, ++a, ++b) {
        if (*a != *b)
            return *a < *b ? -1 : 1;
    }
    return 0;
}

extern "C" size_t strlen(const char* text) {
    const char* end = text;
    while (*end)
        ++end;
    return static_cast<size_t>(end - text);
}

extern "C" int strcmp(const char* left, const char* right) {
    const unsigned char* a = reinterpret_cast<const unsigned char*>(left);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(right);
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a < *b ? -1 : *a > *b ? 1 : 0;
}

extern "C" char* strrchr(const char* text, int wanted) {
    const char* found = nullptr;
    do {
        if (*text == static_cast<char>(wanted))
            found = text;
    } while (*text++);
    return const_cast<char*>(found);
}
