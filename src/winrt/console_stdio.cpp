// The C streams the console program uses, over kernel32 files, so that it
// needs no C runtime DLL. A stream is unbuffered: every read, write and seek
// goes straight to the file, so fflush and setvbuf have nothing to do.
// Standard output is written as the C library's text mode writes it, with
// each line feed as carriage return and line feed.
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <windows.h>

#include "format.h"

namespace {

struct Stream {
    HANDLE file;
    bool failed;
};

Stream* StreamOf(FILE* file) {
    return reinterpret_cast<Stream*>(file);
}

int WriteConsoleText(const char* text, size_t length) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    char line[512];
    size_t used = 0;
    DWORD written;
    for (size_t i = 0; i < length; ++i) {
        if (used + 2 > sizeof line) {
            if (!WriteFile(out, line, static_cast<DWORD>(used), &written, nullptr))
                return EOF;
            used = 0;
        }
        if (text[i] == '\n')
            line[used++] = '\r';
        line[used++] = text[i];
    }
    if (used && !WriteFile(out, line, static_cast<DWORD>(used), &written, nullptr))
        return EOF;
    return 0;
}

} // namespace

extern "C" FILE* fopen(const char* name, const char* mode) {
    bool update = mode[0] && (mode[1] == '+' || (mode[1] && mode[2] == '+'));
    if (mode[0] != 'r')
        return nullptr; // the programs only open existing files
    HANDLE file = CreateFileA(name, GENERIC_READ | (update ? GENERIC_WRITE : 0),
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    Stream* stream = static_cast<Stream*>(malloc(sizeof(Stream)));
    if (!stream) {
        CloseHandle(file);
        return nullptr;
    }
    stream->file = file;
    stream->failed = false;
    return reinterpret_cast<FILE*>(stream);
}

extern "C" int fclose(FILE* file) {
    Stream* stream = StreamOf(file);
    BOOL closed = CloseHandle(stream->file);
    free(stream);
    return closed ? 0 : EOF;
}

extern "C" size_t fread(void* buffer, size_t size, size_t count, FILE* file) {
    Stream* stream = StreamOf(file);
    size_t wanted = size * count;
    size_t got = 0;
    while (got < wanted) {
        DWORD read = 0;
        if (!ReadFile(stream->file, static_cast<char*>(buffer) + got,
                      static_cast<DWORD>(wanted - got), &read, nullptr)) {
            stream->failed = true;
            break;
        }
        if (read == 0)
            break;
        got += read;
    }
    return size ? got / size : 0;
}

extern "C" size_t fwrite(const void* buffer, size_t size, size_t count, FILE* file) {
    Stream* stream = StreamOf(file);
    DWORD written = 0;
    if (!WriteFile(stream->file, buffer, static_cast<DWORD>(size * count), &written, nullptr))
        stream->failed = true;
    return size ? written / size : 0;
}

extern "C" int fseeko64(FILE* file, long long offset, int origin) {
    static const DWORD kMethods[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    if (origin < SEEK_SET || origin > SEEK_END)
        return -1;
    LONG high = static_cast<LONG>(offset >> 32);
    SetLastError(NO_ERROR);
    DWORD low =
        SetFilePointer(StreamOf(file)->file, static_cast<LONG>(offset), &high, kMethods[origin]);
    return low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR ? -1 : 0;
}

extern "C" int ferror(FILE* file) {
    return StreamOf(file)->failed;
}

extern "C" int fflush(FILE*) {
    return 0;
}

extern "C" int setvbuf(FILE*, char*, int, size_t) {
    return 0;
}

extern "C" int puts(const char* text) {
    if (WriteConsoleText(text, strlen(text)) == EOF || WriteConsoleText("\n", 1) == EOF)
        return EOF;
    return 0;
}

extern "C" int printf(const char* format, ...) {
    char text[1024];
    va_list arguments;
    va_start(arguments, format);
    int length = FormatText(text, sizeof text, format, arguments);
    va_end(arguments);
    size_t shown = static_cast<size_t>(length) < sizeof text ? length : sizeof text - 1;
    return WriteConsoleText(text, shown) == EOF ? -1 : length;
}
