// Stands in for the kernel's object manager: handle values, their lookup and
// closing, last-error codes, and the device namespace.
#include "kernel/objects.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "core/forever.h"

namespace hosted {
namespace {

thread_local DWORD t_lastError = 0;
std::size_t g_closeHandleCalls = 0;

struct HandleTable {
    std::map<std::uintptr_t, std::shared_ptr<KernelObject>> objects;
    std::uintptr_t next = 0x100;
};

HandleTable& Handles() {
    static Forever<HandleTable> table;
    return *table;
}

std::map<std::string, DeviceOpener>& Devices() {
    static Forever<std::map<std::string, DeviceOpener>> devices;
    return *devices;
}

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

} // namespace

BOOL KernelObject::Write(const void*, DWORD, DWORD* done) {
    if (done)
        *done = 0;
    SetLastErrorCode(ERROR_INVALID_HANDLE);
    return FALSE;
}

DWORD KernelObject::Seek(LONG, LONG*, DWORD) {
    SetLastErrorCode(ERROR_INVALID_HANDLE);
    return INVALID_SET_FILE_POINTER;
}

BOOL KernelObject::LockRange(std::uint64_t, std::uint64_t, bool) {
    SetLastErrorCode(ERROR_INVALID_HANDLE);
    return FALSE;
}

BOOL KernelObject::Control(DWORD, void*, DWORD, void*, DWORD, DWORD* returned) {
    if (returned)
        *returned = 0;
    SetLastErrorCode(ERROR_INVALID_FUNCTION);
    return FALSE;
}

HANDLE AddHandle(std::shared_ptr<KernelObject> object) {
    HandleTable& table = Handles();
    std::uintptr_t value = table.next;
    table.next += 4;
    table.objects[value] = std::move(object);
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE handle) {
    auto& objects = Handles().objects;
    auto it = objects.find(reinterpret_cast<std::uintptr_t>(handle));
    return it == objects.end() ? nullptr : it->second;
}

bool RemoveHandle(HANDLE handle) {
    auto& objects = Handles().objects;
    auto it = objects.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == objects.end())
        return false;
    std::shared_ptr<KernelObject> object = std::move(it->second);
    objects.erase(it);
    bool last = std::none_of(objects.begin(), objects.end(),
                             [&](const auto& entry) { return entry.second == object; });
    if (last)
        object->OnLastHandleClosed();
    return true;
}

std::size_t OpenHandleCount() {
    return Handles().objects.size();
}

std::size_t CloseHandleCalls() {
    return g_closeHandleCalls;
}

void RegisterDevice(const std::string& name, DeviceOpener opener) {
    Devices()[Upper(name)] = opener;
}

std::shared_ptr<KernelObject> OpenDevice(const std::string& name, DWORD* error) {
    auto it = Devices().find(Upper(name));
    if (it == Devices().end()) {
        *error = ERROR_FILE_NOT_FOUND;
        return nullptr;
    }
    return it->second(error);
}

void SetLastErrorCode(DWORD code) {
    t_lastError = code;
}

} // namespace hosted

DWORD WINAPI GetLastError(void) {
    return hosted::t_lastError;
}

void WINAPI SetLastError(DWORD code) {
    hosted::t_lastError = code;
}

BOOL WINAPI CloseHandle(HANDLE object) {
    hosted::MachineLock lock = hosted::LockMachine();
    hosted::g_closeHandleCalls++;
    if (!hosted::RemoveHandle(object)) {
        hosted::SetLastErrorCode(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
