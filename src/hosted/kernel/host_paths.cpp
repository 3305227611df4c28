#include "kernel/host_paths.h"

#include <cerrno>

namespace hosted {

std::string NativePath(const char* name) {
    std::string path(name);
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

DWORD ErrorFromErrno(int error) {
    switch (error) {
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case ENOSPC:
    case EFBIG:
        return ERROR_HANDLE_DISK_FULL;
    default:
        return ERROR_GEN_FAILURE;
    }
}

} // namespace hosted
