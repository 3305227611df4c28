// The cost of one keyboard step of the chord machine, and proof that a step
// allocates nothing once the chord's text has grown to its working size.
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

#include "counting_allocator.h"
#include "input/key_chord.h"

namespace {

// Reads that keep the machine busy on every path: a held key with taps
// (gathering), several keys at once, a press that a release hides, and the
// release that completes and sends each chord. The texts are longer than a
// string keeps without the heap, so that a text that lost its capacity would
// show up as allocations.
std::vector<std::vector<BYTE>> ChordReads() {
    const std::vector<std::vector<int>> downs = {
        {0x1D},
        {0x1D, 0x1E},
        {0x1D},
        {0x1D, 0x4A, 0x30, 0xC8},
        {0x1D},
        {0x1D, 0x1E, 0x31},
        {0x1D},
        {},
        {0x2A, 0x10, 0xCB, 0x4E},
        {0x10},
        {0x10, 0xC8},
        {},
        {0x54},
        {},
    };
    std::vector<std::vector<BYTE>> reads;
    for (const std::vector<int>& down : downs) {
        std::vector<BYTE> state(256, 0);
        for (int code : down)
            state[code] = 0x80;
        reads.push_back(state);
    }
    return reads;
}

void BM_KeyChordStep(benchmark::State& state) {
    std::vector<std::vector<BYTE>> reads = ChordReads();
    CKeyChord chord;
    char out[256];
    // One pass over the reads brings the texts to their working size.
    for (const std::vector<BYTE>& read : reads)
        chord.Step(read.data(), out);

    long before = AllocationCount();
    std::size_t i = 0;
    long sent = 0;
    for (auto _ : state) {
        sent += chord.Step(reads[i].data(), out);
        benchmark::DoNotOptimize(out);
        if (++i == reads.size())
            i = 0;
    }
    long allocations = AllocationCount() - before;
    state.counters["allocations"] = static_cast<double>(allocations);
    state.counters["chords"] = static_cast<double>(sent);
    if (allocations != 0)
        state.SkipWithError("a keyboard step allocated");
}
BENCHMARK(BM_KeyChordStep);

} // namespace

BENCHMARK_MAIN();
