// Stands in for the C runtime's fopen where the Windows one differs: opening
// a read-only file for writing fails with EACCES even for an administrator.
// Read-only is a file without any write permission bit; without this rule
// root, who runs the tests, could write into a read-only copy. Programs get
// it by linking with -Wl,--wrap=fopen.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>

#include "kernel/host_paths.h"

extern "C" FILE* __real_fopen(const char* name, const char* mode);

// Windows has no pipes or devices among its files either: a program opening
// one would block or read without end, so they are refused as Windows
// refuses a directory. Standard streams and /dev/null stay open to tests.
extern "C" FILE* __wrap_fopen(const char* name, const char* mode) {
    struct stat info;
    bool writes = mode != nullptr && std::strpbrk(mode, "wa+") != nullptr;
    // File names ignore case on Windows: an existing file is found by any spelling.
    std::string path = name != nullptr ? hosted::ExistingNativePath(name) : std::string();
    if (name != nullptr)
        name = path.c_str();
    if (name != nullptr && ::stat(name, &info) == 0) {
        bool device = !S_ISREG(info.st_mode) && std::strcmp(name, "/dev/null") != 0 &&
                      std::strncmp(name, "/dev/std", 8) != 0 &&
                      std::strncmp(name, "/proc/", 6) != 0;
        if (device || (writes && S_ISREG(info.st_mode) && (info.st_mode & 0222) == 0)) {
            errno = EACCES;
            return nullptr;
        }
    }
    return __real_fopen(name, mode);
}
