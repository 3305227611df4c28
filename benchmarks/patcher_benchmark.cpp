// The patcher against a plain cp of the same executable, in the same run:
// 100,000 records of 16 bytes at scattered offsets into a copy of a 64 MiB
// file. The second benchmark applies the same records in-process to an
// existing copy, without the copy and the process start.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "patcher/apply_patch_records.h"

namespace fs = std::filesystem;

namespace {

const std::size_t kExecutableSize = 64u << 20;
const int kRecords = 100000;
const std::uint32_t kRecordLength = 16;

void Append32(std::string& bytes, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>((value >> shift) & 0xFF);
}

std::string MakeWorkDirectory() {
    std::string pattern = (fs::temp_directory_path() / "patcher-bench-XXXXXX").string();
    if (!mkdtemp(&pattern[0]))
        throw std::runtime_error("cannot create a directory for the benchmark");
    std::mt19937_64 random(64);
    std::vector<std::uint64_t> words(kExecutableSize / 8);
    for (std::uint64_t& word : words)
        word = random();
    std::ofstream(pattern + "/RZ4.EXE", std::ios::binary)
        .write(reinterpret_cast<const char*>(words.data()), kExecutableSize);
    std::string patchData;
    for (int i = 0; i < kRecords; ++i) {
        Append32(patchData,
                 static_cast<std::uint32_t>(random() % (kExecutableSize - kRecordLength)));
        Append32(patchData, kRecordLength);
        for (std::uint32_t b = 0; b < kRecordLength; ++b)
            patchData += static_cast<char>(random() & 0xFF);
    }
    std::ofstream(pattern + "/DOVRINEX.PTC", std::ios::binary) << patchData;
    return pattern;
}

// RZ4.EXE and DOVRINEX.PTC in a directory made once for the whole run and
// removed at exit; never destroyed, so that it outlives the exit handler.
const std::string& WorkDirectory() {
    static const std::string* dir = [] {
        std::string* made = new std::string(MakeWorkDirectory());
        std::atexit([] {
            std::error_code ignored;
            fs::remove_all(WorkDirectory(), ignored);
        });
        return made;
    }();
    return *dir;
}

double SecondsToRun(const std::string& command) {
    auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("failed: " + command);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_PatcherAgainstCopy(benchmark::State& state) {
    const std::string cd = "cd '" + WorkDirectory() + "' && ";
    double copySeconds = 0, patchSeconds = 0;
    for (auto _ : state) {
        double copy = SecondsToRun(cd + "cp RZ4.EXE CP.EXE");
        double patch = SecondsToRun(cd + "'" PATCHER_EXE "' >/dev/null");
        copySeconds += copy;
        patchSeconds += patch;
        state.SetIterationTime(patch);
    }
    double runs = static_cast<double>(state.iterations());
    state.counters["cp_ms"] = copySeconds / runs * 1000;
    state.counters["patcher_ms"] = patchSeconds / runs * 1000;
    state.counters["ratio"] = patchSeconds / copySeconds;
}
BENCHMARK(BM_PatcherAgainstCopy)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

void BM_ApplyRecordsToExistingCopy(benchmark::State& state) {
    const std::string dir = WorkDirectory();
    fs::copy_file(dir + "/RZ4.EXE", dir + "/APPLY.EXE", fs::copy_options::overwrite_existing);
    for (auto _ : state) {
        FILE* copy = std::fopen((dir + "/APPLY.EXE").c_str(), "rb+");
        FILE* patchData = std::fopen((dir + "/DOVRINEX.PTC").c_str(), "rb");
        std::setvbuf(copy, nullptr, _IONBF, 0);
        if (ApplyPatchRecords(copy, patchData) != 0)
            state.SkipWithError("the records were not applied");
        std::fclose(copy);
        std::fclose(patchData);
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_ApplyRecordsToExistingCopy)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
