// Stands in for CopyFileA on real Linux files. The copy gets the source's
// content and its read-only attribute; "read-only" here is a file with no
// write permission bit, which the hosted C runtime (crt_files.cpp) honours
// as Windows does, even for root.
#include <cerrno>
#include <string>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

#include "kernel/host_paths.h"
#include "kernel/objects.h"

namespace hosted {
namespace {

bool IsReadOnly(const struct stat& info) {
    return (info.st_mode & 0222) == 0;
}

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

  private:
    int m_fd;
};

bool CopyWithReadAndWrite(int from, int to) {
    static const std::size_t kChunk = 1 << 20;
    std::string buffer(kChunk, '\0');
    for (;;) {
        ssize_t got = ::read(from, &buffer[0], kChunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0;
        for (ssize_t done = 0; done < got;) {
            ssize_t put = ::write(to, buffer.data() + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                return false;
            done += put;
        }
    }
}

// The kernel copies without the bytes passing through this process, as a
// plain cp does; file systems and kernels that cannot do that get the loop.
bool CopyContent(int from, int to) {
    bool copiedAny = false;
    for (;;) {
        ssize_t n = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
        if (n > 0) {
            copiedAny = true;
            continue;
        }
        if (n == 0)
            return true;
        if (errno == EINTR)
            continue;
        bool unsupported =
            errno == ENOSYS || errno == EXDEV || errno == EINVAL || errno == EOPNOTSUPP;
        if (!unsupported || copiedAny)
            return false;
        return CopyWithReadAndWrite(from, to);
    }
}

BOOL Fail(DWORD error) {
    SetLastErrorCode(error);
    return FALSE;
}

} // namespace
} // namespace hosted

using namespace hosted;

// Touches no hosted object, so it needs no machine lock.
BOOL WINAPI CopyFileA(LPCSTR existingName, LPCSTR newName, BOOL failIfExists) {
    if (existingName == nullptr || newName == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    std::string from = ExistingNativePath(existingName), to = ExistingNativePath(newName);
    // Not blocking on a pipe: what is not a regular file is refused next.
    FileDescriptor source(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat sourceInfo;
    if (source.get() < 0 || ::fstat(source.get(), &sourceInfo) != 0)
        return Fail(ErrorFromErrno(errno));
    // Windows has no pipes or devices among its files, and copies no folder.
    if (!S_ISREG(sourceInfo.st_mode))
        return Fail(ERROR_ACCESS_DENIED);
    ::fcntl(source.get(), F_SETFL, ::fcntl(source.get(), F_GETFL) & ~O_NONBLOCK);

    struct stat targetInfo;
    if (::stat(to.c_str(), &targetInfo) == 0) {
        if (failIfExists)
            return Fail(ERROR_FILE_EXISTS);
        // Windows holds the source open while it copies, so a copy onto
        // itself meets a sharing violation instead of emptying the file.
        if (targetInfo.st_dev == sourceInfo.st_dev && targetInfo.st_ino == sourceInfo.st_ino)
            return Fail(ERROR_SHARING_VIOLATION);
        // Windows replaces no read-only file, whoever asks.
        if (!S_ISREG(targetInfo.st_mode) || IsReadOnly(targetInfo))
            return Fail(ERROR_ACCESS_DENIED);
    }

    int flags = O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | (failIfExists ? O_EXCL : O_TRUNC);
    FileDescriptor target(::open(to.c_str(), flags, 0600));
    if (target.get() < 0)
        return Fail(ErrorFromErrno(errno));
    // Swapped for a pipe or device since the look above: its mode is not ours to change.
    struct stat opened;
    if (::fstat(target.get(), &opened) != 0 || !S_ISREG(opened.st_mode))
        return Fail(ERROR_ACCESS_DENIED);
    ::fcntl(target.get(), F_SETFL, ::fcntl(target.get(), F_GETFL) & ~O_NONBLOCK);
    // The attributes come last: a read-only source must not keep its copy
    // from being written.
    if (!CopyContent(source.get(), target.get()) ||
        ::fchmod(target.get(), sourceInfo.st_mode & 07777) != 0) {
        DWORD error = ErrorFromErrno(errno);
        // Windows leaves no half-written copy behind.
        ::unlink(to.c_str());
        return Fail(error);
    }
    return TRUE;
}
