#include "kernel/host_paths.h"

#include <cerrno>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

namespace hosted {

std::string NativePath(const char* name) {
    std::string path(name);
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

std::string ExistingNativePath(const char* name) {
    std::string path = NativePath(name);
    struct stat info;
    if (::lstat(path.c_str(), &info) == 0 || errno != ENOENT)
        return path;
    std::size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return path;
    std::string match = path;
    while (const dirent* entry = ::readdir(dir)) {
        if (strcasecmp(entry->d_name, base.c_str()) == 0) {
            match = slash == std::string::npos ? entry->d_name : folder + entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return match;
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
