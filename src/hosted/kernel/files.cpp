// Stands in for the kernel's file calls: CreateFileA on real Linux files in
// the current directory (and on "\\.\" device names), WriteFile,
// SetFilePointer, LockFile and UnlockFile, and DeviceIoControl.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "core/forever.h"
#include "core/transcript.h"
#include "kernel/files.h"
#include "kernel/host_paths.h"
#include "kernel/objects.h"

namespace hosted {
namespace {

// Plain characters: the program's static destructors still open files at exit.
char g_transcribedName[MAX_PATH] = "";

bool IsTranscribedFile(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    return g_transcribedName[0] && strcasecmp(base.c_str(), g_transcribedName) == 0;
}

class FileObject : public KernelObject {
  public:
    FileObject(int fd, bool isLog) : m_fd(fd), m_isLog(isLog) {}
    ~FileObject() override {
        std::vector<HeldRange>& held = HeldRanges();
        held.erase(std::remove_if(held.begin(), held.end(),
                                  [this](const HeldRange& r) { return r.owner == this; }),
                   held.end());
        if (m_fd >= 0)
            ::close(m_fd);
    }

    BOOL Write(const void* buffer, DWORD size, DWORD* done) override {
        ssize_t n = ::write(m_fd, buffer, size);
        if (n > 0 && m_isLog)
            m_written.append(static_cast<const char*>(buffer), static_cast<std::size_t>(n));
        return Finish(n, done);
    }

    DWORD Seek(LONG distance, LONG* high, DWORD method) override {
        static const int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
        if (method > FILE_END) {
            SetLastErrorCode(ERROR_INVALID_PARAMETER);
            return INVALID_SET_FILE_POINTER;
        }
        off_t offset = high ? static_cast<off_t>((static_cast<std::uint64_t>(*high) << 32) |
                                                 static_cast<DWORD>(distance))
                            : static_cast<off_t>(distance);
        off_t position = ::lseek(m_fd, offset, kWhence[method]);
        if (position < 0) {
            SetLastErrorCode(errno == EINVAL ? ERROR_INVALID_PARAMETER : ErrorFromErrno(errno));
            return INVALID_SET_FILE_POINTER;
        }
        if (high)
            *high = static_cast<LONG>(static_cast<std::uint64_t>(position) >> 32);
        SetLastErrorCode(NO_ERROR);
        return static_cast<DWORD>(position);
    }

    // A range is locked for one handle, against every other handle: those
    // of this process through the table below, those of other processes
    // through the host's locks of an open file description. Windows
    // neither merges nor splits ranges: only a range as it was locked can
    // be unlocked. Closing the file drops its locks.
    BOOL LockRange(std::uint64_t offset, std::uint64_t length, bool lock) override {
        const std::uint64_t limit = static_cast<std::uint64_t>(INT64_MAX);
        struct stat info;
        if (length == 0 || offset > limit || length > limit - offset || ::fstat(m_fd, &info) != 0) {
            SetLastErrorCode(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        std::vector<HeldRange>& held = HeldRanges();
        // Locking looks for an overlap of any handle, unlocking for the very
        // range of this one.
        auto found = std::find_if(held.begin(), held.end(), [&](const HeldRange& r) {
            if (r.device != info.st_dev || r.inode != info.st_ino)
                return false;
            return lock ? offset < r.offset + r.length && r.offset < offset + length
                        : r.owner == this && r.offset == offset && r.length == length;
        });
        if (lock && found != held.end()) {
            SetLastErrorCode(ERROR_LOCK_VIOLATION);
            return FALSE;
        }
        if (!lock && found == held.end()) {
            SetLastErrorCode(ERROR_NOT_LOCKED);
            return FALSE;
        }
        if (!HostLock(offset, length, lock))
            return FALSE;
        if (lock)
            held.push_back(HeldRange{info.st_dev, info.st_ino, this, offset, length});
        else
            held.erase(found);
        return TRUE;
    }

    // Each open-write-close of the log is one entry; the transcript shows it whole.
    void OnLastHandleClosed() override {
        if (m_isLog && !m_written.empty())
            TranscriptLog(m_written);
    }

  private:
    BOOL Finish(ssize_t n, DWORD* done) {
        if (done)
            *done = n > 0 ? static_cast<DWORD>(n) : 0;
        if (n < 0) {
            SetLastErrorCode(ErrorFromErrno(errno));
            return FALSE;
        }
        return TRUE;
    }

    struct HeldRange {
        dev_t device;
        ino_t inode;
        const FileObject* owner;
        std::uint64_t offset;
        std::uint64_t length;
    };
    static std::vector<HeldRange>& HeldRanges() {
        static Forever<std::vector<HeldRange>> ranges;
        return *ranges;
    }

    // Another process is outside this machine and its virtual clock: the
    // program's retry, which sleeps on that clock, would never see it let
    // go. So a range that another process holds is waited for here, in real
    // time and briefly, as if the program's next try had come after that
    // process's write; a range held longer is refused as Windows refuses it.
    BOOL HostLock(std::uint64_t offset, std::uint64_t length, bool lock) {
        struct flock range;
        std::memset(&range, 0, sizeof range);
        range.l_type = lock ? F_WRLCK : F_UNLCK;
        range.l_whence = SEEK_SET;
        range.l_start = static_cast<off_t>(offset);
        range.l_len = static_cast<off_t>(length);
        for (int waitedMs = 0;; ++waitedMs) {
            if (::fcntl(m_fd, F_OFD_SETLK, &range) == 0)
                return TRUE;
            bool held = errno == EAGAIN || errno == EACCES;
            if (!held || waitedMs == kOtherProcessWaitMs) {
                SetLastErrorCode(held ? ERROR_LOCK_VIOLATION : ErrorFromErrno(errno));
                return FALSE;
            }
            ::usleep(1000);
        }
    }
    static constexpr int kOtherProcessWaitMs = 2000;

    int m_fd;
    bool m_isLog;
    std::string m_written;
};

int OpenFlags(DWORD access, DWORD disposition, DWORD* error) {
    int flags = 0;
    bool read = access & GENERIC_READ, write = access & GENERIC_WRITE;
    flags = read && write ? O_RDWR : write ? O_WRONLY : O_RDONLY;
    switch (disposition) {
    case CREATE_NEW:
        return flags | O_CREAT | O_EXCL;
    case CREATE_ALWAYS:
        return flags | O_CREAT | O_TRUNC;
    case OPEN_EXISTING:
        return flags;
    case OPEN_ALWAYS:
        return flags | O_CREAT;
    case TRUNCATE_EXISTING:
        return flags | O_TRUNC;
    default:
        *error = ERROR_INVALID_PARAMETER;
        return -1;
    }
}

} // namespace

void TranscribeFileWrites(const std::string& fileName) {
    MachineLock lock = LockMachine();
    std::snprintf(g_transcribedName, sizeof g_transcribedName, "%s", fileName.c_str());
}
} // namespace hosted

using namespace hosted;

HANDLE WINAPI CreateFileA(LPCSTR name, DWORD access, DWORD, LPSECURITY_ATTRIBUTES,
                          DWORD disposition, DWORD flags, HANDLE) {
    MachineLock lock = LockMachine();
    if (name == nullptr) {
        SetLastErrorCode(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    if (std::strncmp(name, "\\\\.\\", 4) == 0) {
        DWORD error = NO_ERROR;
        std::shared_ptr<KernelObject> device = OpenDevice(name + 4, &error);
        if (!device) {
            SetLastErrorCode(error);
            return INVALID_HANDLE_VALUE;
        }
        return AddHandle(device);
    }
    DWORD error = NO_ERROR;
    int openFlags = OpenFlags(access, disposition, &error);
    if (openFlags < 0) {
        SetLastErrorCode(error);
        return INVALID_HANDLE_VALUE;
    }
    std::string path = ExistingNativePath(name);
    struct stat info;
    bool existed = ::stat(path.c_str(), &info) == 0;
    // Windows opens no read-only file for writing, whoever asks; root on
    // Linux would.
    bool writes = (access & GENERIC_WRITE) || disposition == CREATE_ALWAYS ||
                  disposition == TRUNCATE_EXISTING;
    if (existed && S_ISREG(info.st_mode) && (info.st_mode & 0222) == 0 && writes) {
        SetLastErrorCode(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    // Windows has no pipes, devices or directories among its files; opening
    // one must neither block nor read without end.
    if (existed && !S_ISREG(info.st_mode)) {
        SetLastErrorCode(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    mode_t mode = (flags & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    int fd = ::open(path.c_str(), openFlags | O_CLOEXEC | O_NONBLOCK, mode);
    if (fd < 0) {
        SetLastErrorCode(ErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    // Swapped in between the two looks: still no pipe or device.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        SetLastErrorCode(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    // Windows reports an existing file for these two dispositions this way.
    bool reportExisting = existed && (disposition == OPEN_ALWAYS || disposition == CREATE_ALWAYS);
    SetLastErrorCode(reportExisting ? ERROR_ALREADY_EXISTS : NO_ERROR);
    return AddHandle(std::make_shared<FileObject>(fd, IsTranscribedFile(path)));
}

BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED) {
    MachineLock lock = LockMachine();
    std::shared_ptr<KernelObject> object = LookupHandle(file);
    if (!object) {
        SetLastErrorCode(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return object->Write(buffer, toWrite, written);
}

DWORD WINAPI SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD method) {
    MachineLock lock = LockMachine();
    std::shared_ptr<KernelObject> object = LookupHandle(file);
    if (!object) {
        SetLastErrorCode(ERROR_INVALID_HANDLE);
        return INVALID_SET_FILE_POINTER;
    }
    return object->Seek(distance, distanceHigh, method);
}

BOOL WINAPI DeviceIoControl(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out,
                            DWORD outSize, LPDWORD returned, LPOVERLAPPED) {
    MachineLock lock = LockMachine();
    std::shared_ptr<KernelObject> object = LookupHandle(device);
    if (!object) {
        if (returned)
            *returned = 0;
        SetLastErrorCode(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return object->Control(code, in, inSize, out, outSize, returned);
}

namespace {

BOOL LockOrUnlock(HANDLE file, DWORD offsetLow, DWORD offsetHigh, DWORD bytesLow, DWORD bytesHigh,
                  bool lock) {
    MachineLock machine = LockMachine();
    std::shared_ptr<KernelObject> object = LookupHandle(file);
    if (!object) {
        SetLastErrorCode(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    auto wide = [](DWORD low, DWORD high) { return (std::uint64_t(high) << 32) | low; };
    return object->LockRange(wide(offsetLow, offsetHigh), wide(bytesLow, bytesHigh), lock);
}

} // namespace

// Neither waits: a range another handle holds is refused at once.
BOOL WINAPI LockFile(HANDLE file, DWORD offsetLow, DWORD offsetHigh, DWORD bytesLow,
                     DWORD bytesHigh) {
    return LockOrUnlock(file, offsetLow, offsetHigh, bytesLow, bytesHigh, true);
}

BOOL WINAPI UnlockFile(HANDLE file, DWORD offsetLow, DWORD offsetHigh, DWORD bytesLow,
                       DWORD bytesHigh) {
    return LockOrUnlock(file, offsetLow, offsetHigh, bytesLow, bytesHigh, false);
}
