// snprintf on msvcrt.dll's _vsnprintf. mingw-w64's own wrapper measures a
// text that does not fit with _vscprintf, which the msvcrt.dll of Windows 98
// lacks; here a larger buffer measures it. As C99 asks, the text is always
// terminated and the length it needs is returned.
#include <stdarg.h>
#include <stdlib.h>

extern "C" int __ms_vsnprintf(char* buffer, size_t size, const char* format, va_list arguments) {
    va_list first;
    va_copy(first, arguments);
    int length = size ? _vsnprintf(buffer, size, format, first) : -1;
    va_end(first);
    if (length >= 0 && static_cast<size_t>(length) < size)
        return length;
    if (size)
        buffer[size - 1] = '\0';
    for (size_t trial = size * 2 + 64;; trial *= 2) {
        char* scratch = static_cast<char*>(malloc(trial));
        if (!scratch)
            return -1;
        va_list again;
        va_copy(again, arguments);
        length = _vsnprintf(scratch, trial, format, again);
        va_end(again);
        free(scratch);
        if (length >= 0 && static_cast<size_t>(length) < trial)
            return length;
    }
}
