// The companion driver as the simulated machine offers it at
// "\\.\BRISKARN.VXD": present or absent, its GameMax and CallbackCount, the
// control calls it refuses, and every report it received.
#pragma once

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
const std::vector<DriverReport>& DriverReports();
int DriverOpenHandles();

void InstallDriverDevice();

} // namespace hosted
