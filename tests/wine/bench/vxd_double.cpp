// briskarn.vxd for Wine: the companion driver as BRISKARN.EXE's driver link
// sees it. Wine in Windows 98 mode loads this DLL when the program opens
// \\.\BRISKARN.VXD, but hands a VxD only control codes whose high word is 0,
// and the driver's codes are not such. So, loaded, the double takes over
// the program's own imports of DeviceIoControl and CloseHandle: the test
// double sits where the program calls the system, and the program is the
// one that ships.
#include <cstring>

#include <windows.h>

#include "bench_memory.h"

namespace {

const DWORD kWriteReport = 0x83000004;
const DWORD kReadStatus = 0x83000008;
// A code Wine does hand to this DLL: asking it tells a handle of ours from
// any other.
const DWORD kWhoAreYou = 0x00000B15;

using DeviceIoControlFunction = BOOL(WINAPI*)(HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD,
                                              LPOVERLAPPED);
using CloseHandleFunction = BOOL(WINAPI*)(HANDLE);
DeviceIoControlFunction g_systemDeviceIoControl;
CloseHandleFunction g_systemCloseHandle;
DWORD g_askedThread; // the thread whose question this DLL just answered

BOOL Answer(DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize, LPDWORD returned) {
    bench::Memory* memory = bench::OpenMemory();
    if (returned)
        *returned = 0;
    if (!memory) {
        SetLastError(ERROR_NOT_READY);
        return FALSE;
    }
    bench::Lock lock;
    if (code == kReadStatus && out && outSize >= 8 && !memory->refuseRead) {
        DWORD status[2] = {memory->gameMax, memory->callbackCount};
        std::memcpy(out, status, sizeof status);
        if (returned)
            *returned = sizeof status;
        bench::RecordDriverEvent(memory, bench::kStatus, status, 2);
        return TRUE;
    }
    if (code == kWriteReport && in && inSize >= 20 && !memory->refuseWrite) {
        DWORD report[5];
        std::memcpy(report, in, sizeof report);
        bench::RecordDriverEvent(memory, bench::kReport, report, 5);
        return TRUE;
    }
    SetLastError(ERROR_INVALID_FUNCTION);
    return FALSE;
}

BOOL WINAPI ProgramDeviceIoControl(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out,
                                   DWORD outSize, LPDWORD returned, LPOVERLAPPED overlapped) {
    if (code == kReadStatus || code == kWriteReport)
        return Answer(code, in, inSize, out, outSize, returned);
    return g_systemDeviceIoControl(device, code, in, inSize, out, outSize, returned, overlapped);
}

BOOL WINAPI ProgramCloseHandle(HANDLE handle) {
    g_askedThread = 0;
    DWORD returned = 0;
    g_systemDeviceIoControl(handle, kWhoAreYou, nullptr, 0, nullptr, 0, &returned, nullptr);
    if (g_askedThread == GetCurrentThreadId()) {
        g_askedThread = 0;
        if (bench::Memory* memory = bench::OpenMemory()) {
            bench::Lock lock;
            bench::RecordDriverEvent(memory, bench::kClose, nullptr, 0);
        }
    }
    return g_systemCloseHandle(handle);
}

// Points the program's import of `name` from kernel32 at `replacement`;
// the system's function it held goes to `*system`.
void TakeOverImport(const char* name, void* replacement, void** system) {
    BYTE* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!directory.VirtualAddress)
        return;
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         module->Name; ++module) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + module->Name), "KERNEL32.dll") != 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<char*>(byName->Name), name) != 0)
                continue;
            DWORD old = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
            *system = reinterpret_cast<void*>(slots->u1.Function);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
        }
    }
}

} // namespace

// What Wine hands the VxD: the codes with a high word of 0, without the
// handle.
extern "C" BOOL WINAPI VxdDeviceIoControl(DWORD code, LPVOID in, DWORD inSize, LPVOID out,
                                          DWORD outSize, LPDWORD returned, LPOVERLAPPED) {
    if (code == kWhoAreYou) {
        g_askedThread = GetCurrentThreadId();
        return TRUE;
    }
    return Answer(code, in, inSize, out, outSize, returned);
}

// The open of the driver: refused as the bench says, or recorded.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    bench::Memory* memory = bench::OpenMemory();
    if (!memory)
        return FALSE;
    bench::Lock lock;
    if (!memory->driverPresent) {
        bench::RecordDriverEvent(memory, bench::kOpenRefused, &memory->openError, 1);
        SetLastError(memory->openError);
        return FALSE;
    }
    bench::RecordDriverEvent(memory, bench::kOpen, nullptr, 0);
    void* system = nullptr;
    TakeOverImport("DeviceIoControl", reinterpret_cast<void*>(&ProgramDeviceIoControl), &system);
    g_systemDeviceIoControl =
        system ? reinterpret_cast<DeviceIoControlFunction>(system) : &::DeviceIoControl;
    system = nullptr;
    TakeOverImport("CloseHandle", reinterpret_cast<void*>(&ProgramCloseHandle), &system);
    g_systemCloseHandle = system ? reinterpret_cast<CloseHandleFunction>(system) : &::CloseHandle;
    return TRUE;
}
