// Whole runs of the patcher in a directory of their own: what it prints, its
// exit code and the files it leaves.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "patch_data.h"
#include "patcher_run.h"

namespace fs = std::filesystem;

namespace {

const char kSuccess[] = "Executable DOVRINEX.EXE patched successfully.\n";
const char kPatchError[] = "Error patching executable DOVRINEX.EXE .\n";
const std::string kOriginal = "MZ-original-game-executable-0123";

std::vector<std::string> FileNames(const TempDir& dir) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir.path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void MakeReadOnly(const TempDir& dir, const std::string& name) {
    fs::permissions(dir.File(name),
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
}

bool IsReadOnly(const TempDir& dir, const std::string& name) {
    return (fs::status(dir.File(name)).permissions() & fs::perms::owner_write) == fs::perms::none;
}

std::string Patched(std::string bytes, std::size_t offset, const std::string& data) {
    if (bytes.size() < offset + data.size())
        bytes.resize(offset + data.size(), '\0');
    return bytes.replace(offset, data.size(), data);
}

} // namespace

TEST(PatcherOutcome, EachOutcomeHasItsLineExitCodeAndFiles) {
    const std::string firstRecord = PatchRecord(2, "AB");
    const std::string withFirst = Patched(kOriginal, 2, "AB");
    struct Case {
        const char* name;
        bool hasPatchData;
        std::string patchData;
        bool hasExecutable;
        bool executableReadOnly;
        bool readOnlyCopyFromEarlierRun;
        const char* output;
        int exitCode;
        std::vector<std::string> files;
        std::string copy; // DOVRINEX.EXE afterwards when it exists
    };
    const std::string cutShort = firstRecord + PatchRecord(10, 16, "0123456789");
    const std::string complete = firstRecord + PatchRecord(30, "yz");
    const std::vector<std::string> all = {"DOVRINEX.EXE", "DOVRINEX.PTC", "RZ4.EXE"};
    const Case cases[] = {
        {"no patch data",
         false,
         "",
         true,
         false,
         false,
         "ERROR: Can't open patch data file.\n",
         1,
         {"RZ4.EXE"},
         ""},
        {"no executable",
         true,
         complete,
         false,
         false,
         false,
         "ERROR: Unable to create a copy of executable.\n",
         1,
         {"DOVRINEX.PTC"},
         ""},
        {"read-only copy of an earlier run", true, complete, true, false, true,
         "ERROR: Unable to create a copy of executable.\n", 1, all, "earlier copy"},
        {"read-only executable", true, complete, true, true, false,
         "ERROR: Can't open a copy of executable.\n", 1, all, kOriginal},
        {"record cut short", true, cutShort, true, false, false, kPatchError, 1, all, withFirst},
        {"all applied", true, complete, true, false, false, kSuccess, 0, all,
         Patched(withFirst, 30, "yz")},
    };
    for (const Case& c : cases) {
        TempDir dir;
        if (c.hasPatchData)
            dir.Write("DOVRINEX.PTC", c.patchData);
        if (c.hasExecutable)
            dir.Write("RZ4.EXE", kOriginal);
        if (c.executableReadOnly)
            MakeReadOnly(dir, "RZ4.EXE");
        if (c.readOnlyCopyFromEarlierRun) {
            dir.Write("DOVRINEX.EXE", "earlier copy");
            MakeReadOnly(dir, "DOVRINEX.EXE");
        }
        PatcherRun run = RunPatcher(dir);
        EXPECT_EQ(run.output, c.output) << c.name;
        EXPECT_EQ(run.exitCode, c.exitCode) << c.name;
        EXPECT_EQ(FileNames(dir), c.files) << c.name;
        if (dir.Exists("DOVRINEX.EXE")) {
            EXPECT_EQ(dir.Read("DOVRINEX.EXE"), c.copy) << c.name;
            EXPECT_EQ(IsReadOnly(dir, "DOVRINEX.EXE"),
                      c.executableReadOnly || c.readOnlyCopyFromEarlierRun)
                << c.name;
        }
    }
}

TEST(PatcherOutcome, RecordsApplyInFileOrderWhateverTheirShape) {
    const std::string big(300, 'L'), bigger(1000, 'M');
    const std::string lastRecord = PatchRecord(1, "x");
    struct Case {
        std::string name;
        std::string patchData;
        const char* output;
        std::string copy;
    };
    std::vector<Case> cases = {
        {"empty patch data", "", kSuccess, kOriginal},
        {"longer records, then shorter ones",
         PatchRecord(4, big) + PatchRecord(0, "s") + PatchRecord(8, bigger) + PatchRecord(3, "t"),
         kSuccess,
         Patched(Patched(Patched(Patched(kOriginal, 4, big), 0, "s"), 8, bigger), 3, "t")},
        {"overlapping records", PatchRecord(0, "aaaa") + PatchRecord(2, "bb"), kSuccess,
         Patched(kOriginal, 0, "aabb")},
        {"offset beyond the end", PatchRecord(40, "XY"), kSuccess, Patched(kOriginal, 40, "XY")},
        {"zero-length records", PatchRecord(3, "") + PatchRecord(100, "") + PatchRecord(5, "q"),
         kSuccess, Patched(kOriginal, 5, "q")},
        {"16 bytes announced, 10 there", PatchRecord(1, "Z") + PatchRecord(0, 16, "0123456789"),
         kPatchError, Patched(kOriginal, 1, "Z")},
        {"4 GiB announced, 10 bytes there", PatchRecord(0, 0xFFFFFFFFu, "0123456789"), kPatchError,
         kOriginal},
    };
    for (int fragment = 1; fragment <= 7; ++fragment)
        cases.push_back({"trailing fragment of " + std::to_string(fragment),
                         lastRecord + PatchRecord(9, "fragment").substr(0, fragment), kSuccess,
                         Patched(kOriginal, 1, "x")});
    for (const Case& c : cases) {
        TempDir dir;
        dir.Write("RZ4.EXE", kOriginal);
        dir.Write("DOVRINEX.PTC", c.patchData);
        PatcherRun run = RunPatcher(dir);
        EXPECT_EQ(run.output, c.output) << c.name;
        EXPECT_EQ(run.exitCode, std::string(c.output) == kSuccess ? 0 : 1) << c.name;
        EXPECT_EQ(dir.Read("DOVRINEX.EXE"), c.copy) << c.name;
        EXPECT_EQ(dir.Read("RZ4.EXE"), kOriginal) << c.name;
    }
}

TEST(PatcherOutcome, ASecondRunStartsFromAFreshCopy) {
    TempDir dir;
    dir.Write("RZ4.EXE", kOriginal);
    dir.Write("DOVRINEX.PTC", PatchRecord(0, "ab"));
    ASSERT_EQ(RunPatcher(dir).exitCode, 0);
    const std::string first = dir.Read("DOVRINEX.EXE");
    dir.Write("DOVRINEX.EXE", first + "left over from tampering, longer than the original");
    PatcherRun second = RunPatcher(dir);
    EXPECT_EQ(second.output, kSuccess);
    EXPECT_EQ(dir.Read("DOVRINEX.EXE"), first);
    EXPECT_EQ(first, Patched(kOriginal, 0, "ab"));
}

// Offsets from 2 GiB up do not fit a signed 32-bit file position. Each
// record must land where it says: a seek that failed unnoticed would put its
// data right after the record before, or at the start of the file.
TEST(PatcherOutcome, OffsetsBeyondTwoGiBLandWhereTheySay) {
    struct Placed {
        std::uint64_t offset;
        std::string data;
    };
    const Placed records[] = {
        {0x7FFFFFFCu, "straddle"}, {0x80001000u, "high"}, {0xFFFFFFFCu, "top!"}};
    TempDir dir;
    dir.Write("RZ4.EXE", kOriginal);
    std::string patchData;
    for (const Placed& p : records)
        patchData += PatchRecord(static_cast<std::uint32_t>(p.offset), p.data);
    dir.Write("DOVRINEX.PTC", patchData);
    PatcherRun run = RunPatcher(dir);
    ASSERT_EQ(run.output, kSuccess);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(fs::file_size(dir.File("DOVRINEX.EXE")), 0x100000000ull);
    std::ifstream copy(dir.File("DOVRINEX.EXE"), std::ios::binary);
    auto readAt = [&](std::uint64_t offset, std::size_t size) {
        std::string bytes(size, '\0');
        copy.seekg(static_cast<std::streamoff>(offset));
        copy.read(&bytes[0], static_cast<std::streamsize>(size));
        return bytes;
    };
    EXPECT_EQ(readAt(0, kOriginal.size() + 8), kOriginal + std::string(8, '\0'));
    for (const Placed& p : records) {
        EXPECT_EQ(readAt(p.offset, p.data.size()), p.data) << p.offset;
        if (p.offset + p.data.size() < 0x100000000ull) {
            EXPECT_EQ(readAt(p.offset + p.data.size(), 8), std::string(8, '\0')) << p.offset;
        }
    }
}
