// Faults that only Linux can stage: a memory limit, a file size limit and a
// stream over a fixed block of memory. None may end as success or a crash.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "patch_data.h"
#include "patcher/apply_patch_records.h"
#include "patcher_run.h"

namespace {

const char kPatchError[] = "Error patching executable DOVRINEX.EXE .\n";
const std::string kOriginal = "MZ-original-game-executable-0123";

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
const bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
const bool kSanitized = true;
#else
const bool kSanitized = false;
#endif
#else
const bool kSanitized = false;
#endif

// An address space limit would starve a sanitizer's shadow memory; there the
// sanitizer's own allocation cap does the same.
std::string MemoryLimitPrefix() {
    if (kSanitized)
        return "ASAN_OPTIONS=allocator_may_return_null=1:max_allocation_size_mb=32 "
               "TSAN_OPTIONS=allocator_may_return_null=1:max_allocation_size_mb=32 ";
    return "ulimit -v 65536 && ";
}

} // namespace

TEST(PatcherFaults, ARecordTooLongForMemoryEndsWithTheErrorLine) {
    TempDir dir;
    dir.Write("RZ4.EXE", kOriginal);
    // 256 MiB of data really follow the header; the file is sparse.
    dir.Write("DOVRINEX.PTC", PatchRecord(1, "ok") + PatchRecord(0, 256u << 20, ""));
    std::filesystem::resize_file(dir.File("DOVRINEX.PTC"), 10 + 8 + (256u << 20));
    PatcherRun run = RunPatcher(dir, MemoryLimitPrefix());
    EXPECT_EQ(run.output, kPatchError);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(dir.Read("DOVRINEX.EXE"), "Mok" + kOriginal.substr(3));
}

TEST(PatcherFaults, AFailedWriteEndsWithTheErrorLine) {
    TempDir dir;
    dir.Write("RZ4.EXE", kOriginal);
    dir.Write("DOVRINEX.PTC", PatchRecord(1, "ok") + PatchRecord(4u << 20, "beyond the limit") +
                                  PatchRecord(5, "late"));
    // A write past the file size limit fails with EFBIG once SIGXFSZ is ignored.
    PatcherRun run = RunPatcher(dir, "trap '' XFSZ && ulimit -f 2048 && ");
    EXPECT_EQ(run.output, kPatchError);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(dir.Read("DOVRINEX.EXE"), "Mok" + kOriginal.substr(3));
}

// A memory stream cannot seek past its end and takes no more bytes than it
// holds. Unbuffered, as the patcher writes, a seek failure left unnoticed
// would put the data after the record before; buffered, a write that does
// not fit only fails when it is flushed.
TEST(PatcherFaults, FailedSeeksAndWritesAreNeverSuccess) {
    TempDir dir;
    struct Case {
        const char* name;
        std::string patchData;
    };
    const Case cases[] = {
        {"seek past the end", PatchRecord(1, "ok") + PatchRecord(100, "x")},
        {"write past the end", PatchRecord(1, "ok") + PatchRecord(60, "0123456789")},
    };
    for (const Case& c : cases) {
        for (bool buffered : {false, true}) {
            char memory[64] = {};
            FILE* target = fmemopen(memory, sizeof memory, "r+");
            if (!buffered)
                std::setvbuf(target, nullptr, _IONBF, 0);
            dir.Write("patch", c.patchData);
            FILE* patchData = std::fopen(dir.File("patch").c_str(), "rb");
            ASSERT_TRUE(target && patchData) << c.name;
            EXPECT_EQ(ApplyPatchRecords(target, patchData), 1)
                << c.name << ", buffered " << buffered;
            std::fclose(patchData);
            std::fclose(target);
            EXPECT_EQ(std::string(memory, 8), std::string("\0ok\0\0\0\0\0", 8))
                << c.name << ", buffered " << buffered;
        }
    }
}
