// The cost of the response curve and of building one report, and proof that
// building a report allocates nothing.
#include <cstring>

#include <benchmark/benchmark.h>

#include "bridge/axis_curve.h"
#include "bridge/driver_records.h"
#include "bridge/joystick_report.h"
#include "counting_allocator.h"

namespace {

void BM_ApplyAxisCurveAllInputs(benchmark::State& state) {
    for (auto _ : state) {
        for (LONG raw = 0; raw <= 65535; ++raw) {
            LONG input = raw;
            benchmark::DoNotOptimize(input);
            LONG curved = ApplyAxisCurve(input);
            benchmark::DoNotOptimize(curved);
        }
    }
    state.SetItemsProcessed(state.iterations() * 65536);
    // Time per call rather than per walk of the whole range.
    state.counters["per_call"] = benchmark::Counter(
        65536, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ApplyAxisCurveAllInputs);

void BM_BuildJoystickReport(benchmark::State& state) {
    // Wheel states spread over the axis range and the buttons, so that every
    // segment of the curve and both outcomes of each button are taken.
    static DIJOYSTATE2 wheel[256];
    for (int i = 0; i < 256; ++i) {
        std::memset(&wheel[i], 0, sizeof wheel[i]);
        wheel[i].lX = i * 257;
        wheel[i].lY = 65535 - i * 257;
        for (int b = 0; b < 8; ++b)
            wheel[i].rgbButtons[b] = (i >> b) & 1 ? 0x80 : 0;
    }
    const DWORD map[4] = {5, 6, 3, 4};
    std::memcpy(ButtonMap, map, sizeof map);
    DriverStatus = {1000, 0};

    long before = AllocationCount();
    unsigned i = 0;
    for (auto _ : state) {
        BuildJoystickReport(&wheel[i++ & 255]);
        benchmark::DoNotOptimize(JoystickReport);
    }
    long allocations = AllocationCount() - before;
    state.counters["allocations"] = static_cast<double>(allocations);
    if (allocations != 0)
        state.SkipWithError("building a report allocated");
}
BENCHMARK(BM_BuildJoystickReport);

} // namespace

BENCHMARK_MAIN();
