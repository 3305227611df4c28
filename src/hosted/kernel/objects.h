// Kernel objects of the hosted layer behind HANDLE values: files, devices,
// events and threads, with the Win32 rule that every open handle is closed
// exactly once.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include <windows.h>

#include "core/machine.h"

namespace hosted {

class KernelObject {
  public:
    virtual ~KernelObject() = default;
    // Waitable objects: whether a wait on it would return now, and what a
    // satisfied wait does to it (an auto-reset event resets).
    virtual bool IsSignalled() const { return false; }
    virtual void OnWaitSatisfied() {}
    virtual bool IsWaitable() const { return false; }
    // File-like objects; the defaults fail as Windows does for the wrong kind.
    virtual BOOL Write(const void* buffer, DWORD size, DWORD* done);
    virtual DWORD Seek(LONG distance, LONG* high, DWORD method);
    virtual BOOL Control(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                         DWORD* returned);
    // Locks or unlocks a byte range for this object's handle.
    virtual BOOL LockRange(std::uint64_t offset, std::uint64_t length, bool lock);
    // Called once, when the last handle to it is closed.
    virtual void OnLastHandleClosed() {}
};

// Handle table; all calls with the machine lock held.
HANDLE AddHandle(std::shared_ptr<KernelObject> object);
std::shared_ptr<KernelObject> LookupHandle(HANDLE handle);
// Removes the handle; false (ERROR_INVALID_HANDLE) when it is not open.
bool RemoveHandle(HANDLE handle);
std::size_t OpenHandleCount();
// Every CloseHandle call so far, whether it succeeded or not.
std::size_t CloseHandleCalls();

// Devices opened by "\\.\NAME" paths. Returns null with the error to report
// when the device refuses the open.
using DeviceOpener = std::shared_ptr<KernelObject> (*)(DWORD* error);
void RegisterDevice(const std::string& name, DeviceOpener opener);
std::shared_ptr<KernelObject> OpenDevice(const std::string& name, DWORD* error);

void SetLastErrorCode(DWORD code);

} // namespace hosted
