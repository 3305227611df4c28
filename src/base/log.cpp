#include "base/log.h"

#include <cstdio>
#include <cstring>

#include <windows.h>

namespace {

// Created on first use and never destroyed: the input engine still logs
// while the program's static objects are being torn down.
CRITICAL_SECTION* LogLock() {
    static CRITICAL_SECTION* lock = [] {
        CRITICAL_SECTION* section = new CRITICAL_SECTION;
        InitializeCriticalSection(section);
        return section;
    }();
    return lock;
}

// Another copy of the program may append to the same file at the same time:
// its seek to the end and its writes must not fall between ours. A byte far
// past any log's end is the lock, since Windows holds a locked range against
// every other reader and writer and the text itself stays readable.
// LockFile does not wait, so it is asked again for a while; an entry whose
// lock never came is still written rather than lost.
const DWORD kLockOffset = 0x7FFFFFFF;
const int kLockTries = 200;
const DWORD kLockRetryMs = 10;

bool LockLog(HANDLE file) {
    for (int tries = 1; !LockFile(file, kLockOffset, 0, 1, 0); ++tries) {
        if (tries == kLockTries)
            return false;
        Sleep(kLockRetryMs);
    }
    return true;
}

void AppendEntry(HANDLE file, const char* text) {
    LONG high = 0;
    // Without the move to the end the entry would overwrite the oldest ones.
    if (SetFilePointer(file, 0, &high, FILE_END) == INVALID_SET_FILE_POINTER &&
        GetLastError() != NO_ERROR)
        return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    char prefix[64];
    int length = std::snprintf(prefix, sizeof prefix, "%02d/%02d/%4d %02d:%02d:%02d-%04d * ",
                               now.wDay, now.wMonth, now.wYear, now.wHour, now.wMinute, now.wSecond,
                               now.wMilliseconds);
    DWORD written = 0;
    if (!WriteFile(file, prefix, static_cast<DWORD>(length), &written, nullptr))
        return;
    WriteFile(file, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

} // namespace

void WriteLog(const char* text) {
    CRITICAL_SECTION* lock = LogLock();
    EnterCriticalSection(lock);
    HANDLE file = CreateFileA("Briskarn.log", GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        bool locked = LockLog(file);
        AppendEntry(file, text ? text : "");
        if (locked)
            UnlockFile(file, kLockOffset, 0, 1, 0);
        CloseHandle(file);
    }
    LeaveCriticalSection(lock);
}
