// Stands in for the kernel's text conversion: the machine's ANSI code page
// holds the first 256 characters, as Latin-1 does; any other becomes '?',
// the system's default character.
#include <windows.h>

#include "kernel/objects.h"

int WINAPI WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR wide, int wideCount, LPSTR narrow,
                               int narrowSize, LPCSTR, LPBOOL usedDefault) {
    if (!wide || narrowSize < 0 || (codePage != CP_ACP && codePage != CP_OEMCP)) {
        hosted::SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int count = wideCount;
    if (count < 0) // up to and with the terminator
        for (count = 0; wide[count++] != 0;)
            ;
    if (usedDefault)
        *usedDefault = FALSE;
    if (narrowSize == 0)
        return count;
    if (narrowSize < count) {
        hosted::SetLastErrorCode(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (int i = 0; i < count; ++i) {
        bool fits = wide[i] < 0x100;
        narrow[i] = fits ? static_cast<char>(wide[i]) : '?';
        if (!fits && usedDefault)
            *usedDefault = TRUE;
    }
    return count;
}
