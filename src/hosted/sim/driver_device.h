// The companion driver as the simulated machine offers it at
// "\\.\BRISKARN.VXD": present or absent, its GameMax and CallbackCount, the
// control calls it refuses, and the reports it received.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <windows.h>

namespace hosted {

struct DriverReport {
    std::int32_t axisX, axisY;
    std::uint32_t reserved1, reserved2, buttons;
};

struct DriverSettings {
    bool present = false;
    DWORD openError = ERROR_FILE_NOT_FOUND;
    DWORD gameMax = 2048;
    DWORD count = 0;
    DWORD rate = 0; // callbacks per virtual second
    bool refuseRead = false;
    bool refuseWrite = false;
};

// All with the machine lock held.
DriverSettings& Driver();
// Sets the count as of now; with a rate it goes on counting from there.
void SetDriverCount(DWORD count);
DWORD CurrentDriverCount();
// Every report received so far.
std::uint64_t DriverReportCount();
// The reports received after the first `since`, oldest first; of those,
// only the latest kKeptDriverReports are still there.
constexpr std::size_t kKeptDriverReports = 4096;
std::vector<DriverReport> DriverReportsSince(std::uint64_t since);
int DriverOpenHandles();
// Called, machine lock held, the moment a report arrives (null: nothing);
// for measuring how long a change takes to reach the driver.
void SetDriverReportObserver(void (*observer)(const DriverReport& report));

void InstallDriverDevice();

} // namespace hosted
