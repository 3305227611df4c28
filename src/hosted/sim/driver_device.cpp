#include "sim/driver_device.h"
#include "sim/program_module.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/forever.h"
#include "kernel/objects.h"
#include "core/clock.h"
#include "core/transcript.h"

namespace hosted {
namespace {

constexpr DWORD kWriteReport = 0x83000004;
constexpr DWORD kReadStatus = 0x83000008;

struct DriverState {
    DriverSettings settings;
    std::int64_t countSince = 0;
    // A ring over the latest reports: receiving one allocates nothing, and
    // a long run's memory stays bounded.
    std::array<DriverReport, kKeptDriverReports> reports{};
    std::uint64_t reportCount = 0;
    void (*observer)(const DriverReport&) = nullptr;
    int openHandles = 0;
};

DriverState& State() {
    static Forever<DriverState> state;
    return *state;
}

} // namespace

DWORD CurrentDriverCount() {
    DriverState& state = State();
    std::int64_t elapsed = VirtualNow() - state.countSince;
    return static_cast<DWORD>(state.settings.count +
                              static_cast<std::uint64_t>(elapsed) * state.settings.rate / 1000);
}

namespace {

class DriverHandle : public KernelObject {
  public:
    BOOL Control(DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                 DWORD* returned) override {
        DriverState& state = State();
        if (returned)
            *returned = 0;
        if (code == kReadStatus && out && outSize >= 8 && !state.settings.refuseRead) {
            DWORD status[2] = {state.settings.gameMax, CurrentDriverCount()};
            std::memcpy(out, status, sizeof status);
            if (returned)
                *returned = sizeof status;
            TranscriptPrintf("driver status %u %u", status[0], status[1]);
            return TRUE;
        }
        if (code == kWriteReport && in && inSize >= 20 && !state.settings.refuseWrite) {
            DriverReport report;
            std::memcpy(&report, in, sizeof report);
            state.reports[state.reportCount++ % kKeptDriverReports] = report;
            if (state.observer)
                state.observer(report);
            TranscriptPrintf("driver report %d %d %u %u 0x%02X", report.axisX, report.axisY,
                             report.reserved1, report.reserved2, report.buttons);
            return TRUE;
        }
        SetLastErrorCode(ERROR_GEN_FAILURE);
        return FALSE;
    }

    // The flag asks the system to unload the driver when its handle closes.
    void OnLastHandleClosed() override {
        State().openHandles--;
        TranscriptLine("driver close");
    }
};

std::shared_ptr<KernelObject> OpenDriver(DWORD* error) {
    DriverState& state = State();
    if (!state.settings.present) {
        *error = state.settings.openError;
        TranscriptPrintf("driver open failed %u", state.settings.openError);
        return nullptr;
    }
    state.openHandles++;
    TranscriptLine("driver open");
    return std::make_shared<DriverHandle>();
}

} // namespace

DriverSettings& Driver() {
    return State().settings;
}

void SetDriverCount(DWORD count) {
    State().settings.count = count;
    State().countSince = VirtualNow();
}

std::uint64_t DriverReportCount() {
    return State().reportCount;
}

std::vector<DriverReport> DriverReportsSince(std::uint64_t since) {
    const DriverState& state = State();
    std::uint64_t kept = std::min<std::uint64_t>(state.reportCount, kKeptDriverReports);
    std::vector<DriverReport> reports;
    for (std::uint64_t i = std::max(since, state.reportCount - kept); i < state.reportCount; ++i)
        reports.push_back(state.reports[i % kKeptDriverReports]);
    return reports;
}

int DriverOpenHandles() {
    return State().openHandles;
}

void InstallDriverDevice() {
    RegisterDevice(kDriverDeviceName, &OpenDriver);
}

void SetDriverReportObserver(void (*observer)(const DriverReport& report)) {
    State().observer = observer;
}

} // namespace hosted
