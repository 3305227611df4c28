// The record buffer: it grows only to what records really need, also when a
// header announces far more data than the file holds.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "patcher/record_buffer.h"
#include "temp_dir.h"

TEST(RecordBuffer, GrowsToTheLongestRecordReadAndNoFurther) {
    struct Step {
        const char* name;
        std::size_t available; // bytes left in the stream
        DWORD length;          // bytes asked for
        bool filled;
        std::size_t sizeAfter;
    };
    // One buffer through all steps, as across the records of one file.
    const Step steps[] = {
        {"short record", 10, 10, true, 256},
        {"exactly the start size", 256, 256, true, 256},
        {"longer record", 300, 300, true, 300},
        {"shorter record reuses it", 5, 5, true, 300},
        {"zero length", 0, 0, true, 300},
        {"cut short within the buffer", 10, 200, false, 300},
        {"cut short beyond the buffer", 10, 1000, false, 300},
        {"4 GiB announced, 10 bytes there", 10, 0xFFFFFFFFu, false, 300},
        {"4 GiB announced, 1000 bytes there", 1000, 0xFFFFFFFFu, false, 1200},
        {"longest record", 5000, 5000, true, 5000},
        {"short record after it", 3, 3, true, 5000},
    };
    TempDir dir;
    CRecordBuffer buffer;
    ASSERT_TRUE(buffer.IsValid());
    EXPECT_EQ(buffer.Size(), 256u);
    for (const Step& s : steps) {
        std::string bytes(s.available, '\0');
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>('a' + i % 26);
        dir.Write("data", bytes);
        FILE* source = std::fopen(dir.File("data").c_str(), "rb");
        ASSERT_NE(source, nullptr);
        EXPECT_EQ(buffer.Fill(source, s.length), s.filled) << s.name;
        EXPECT_EQ(buffer.Size(), s.sizeAfter) << s.name;
        if (s.filled) {
            EXPECT_EQ(std::memcmp(buffer.Data(), bytes.data(), s.length), 0) << s.name;
        }
        std::fclose(source);
    }
}
