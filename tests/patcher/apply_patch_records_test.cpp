// The record reader on its own, with streams over files in a temporary
// directory: failures of either stream, and a bounded run of random patch
// data checked against a plain reading of the format.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <random>

#include "patch_data.h"
#include "patcher/apply_patch_records.h"
#include "platform_facts.h"
#include "temp_dir.h"

namespace {

struct Expected {
    std::string copy;
    int result;
};

std::uint32_t ReadLittleEndian(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// The format read the simplest way, on strings.
Expected ApplyToString(std::string copy, const std::string& patchData) {
    std::size_t at = 0;
    while (patchData.size() - at >= 8) {
        std::uint32_t offset = ReadLittleEndian(patchData, at);
        std::uint32_t length = ReadLittleEndian(patchData, at + 4);
        at += 8;
        if (patchData.size() - at < length)
            return {copy, 1};
        // Writing nothing does not make the file longer.
        if (length > 0) {
            if (copy.size() < std::size_t{offset} + length)
                copy.resize(std::size_t{offset} + length, '\0');
            copy.replace(offset, length, patchData, at, length);
        }
        at += length;
    }
    return {copy, 0};
}

std::string RandomBytes(std::mt19937& random, std::size_t size) {
    std::string bytes(size, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random() & 0xFF);
    return bytes;
}

// Records of every awkward length around the buffer's start size, some
// announcing more than follows, the whole stream cut at a random byte.
std::string RandomPatchData(std::mt19937& random) {
    static const std::uint32_t kLengths[] = {0, 1, 7, 8, 255, 256, 257, 511, 512, 513, 1500};
    std::string data;
    int records = static_cast<int>(random() % 12);
    for (int i = 0; i < records; ++i) {
        std::uint32_t offset = random() % 6000;
        std::uint32_t length = random() % 4 == 0 ? random() % 3000 : kLengths[random() % 11];
        std::string bytes = RandomBytes(random, length);
        if (random() % 10 == 0)
            data += PatchRecord(offset, 0xFFFFFFFFu - random() % 16, bytes);
        else
            data += PatchRecord(offset, bytes);
    }
    if (random() % 3 == 0 && !data.empty())
        data.resize(random() % data.size());
    return data;
}

int ApplyFiles(const TempDir& dir, bool unbufferedCopy) {
    FILE* copy = std::fopen(dir.File("copy").c_str(), "rb+");
    FILE* patchData = std::fopen(dir.File("patch").c_str(), "rb");
    if (copy == nullptr || patchData == nullptr)
        return -1;
    if (unbufferedCopy)
        std::setvbuf(copy, nullptr, _IONBF, 0);
    int result = ApplyPatchRecords(copy, patchData);
    std::fclose(copy);
    std::fclose(patchData);
    return result;
}

} // namespace

TEST(ApplyPatchRecords, RandomPatchDataGivesWhatTheFormatSays) {
    std::mt19937 random(20261208);
    TempDir dir;
    for (int round = 0; round < 400; ++round) {
        std::string original = RandomBytes(random, random() % 2000);
        std::string patchData = RandomPatchData(random);
        dir.Write("copy", original);
        dir.Write("patch", patchData);
        Expected expected = ApplyToString(original, patchData);
        int result = ApplyFiles(dir, round % 2 == 1);
        ASSERT_EQ(result, expected.result) << "round " << round;
        std::string copy = dir.Read("copy");
        ASSERT_EQ(copy.size(), expected.copy.size()) << "round " << round;
        auto differ = std::mismatch(copy.begin(), copy.end(), expected.copy.begin());
        ASSERT_TRUE(differ.first == copy.end())
            << "round " << round << ": first difference at " << differ.first - copy.begin();
    }
}

TEST(ApplyPatchRecords, AFailingStreamIsNeverSuccess) {
    TempDir dir;
    dir.Write("copy", "0123456789");
    dir.Write("patch", PatchRecord(2, "ab"));
    // Reading from a stream open only for writing fails, as does writing to
    // one open only for reading. Wine's runtime reports that read as a
    // plain end of file, so there it proves nothing.
    if (!RunningUnderWine()) {
        FILE* unreadable = std::fopen(dir.File("patch").c_str(), "ab");
        FILE* copy = std::fopen(dir.File("copy").c_str(), "rb+");
        ASSERT_TRUE(unreadable && copy);
        EXPECT_EQ(ApplyPatchRecords(copy, unreadable), 1);
        std::fclose(unreadable);
        std::fclose(copy);
    }

    FILE* patchData = std::fopen(dir.File("patch").c_str(), "rb");
    FILE* unwritable = std::fopen(dir.File("copy").c_str(), "rb");
    ASSERT_TRUE(patchData && unwritable);
    EXPECT_EQ(ApplyPatchRecords(unwritable, patchData), 1);
    std::fclose(patchData);
    std::fclose(unwritable);
    EXPECT_EQ(dir.Read("copy"), "0123456789");
}
