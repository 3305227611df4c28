// Every conversion the programs print numbers and names with, at the ends of
// the ranges they are given, through the formatting the program links:
// msvcrt.dll's in the Windows builds (under Wine, its reimplementation), the
// C library's here. A log line, a message box or the patcher's last line
// whose numbers came out differently would show here first.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// As the program calls it: into a buffer of the program's size, keeping the
// length that snprintf returns (the log writes exactly that many bytes).
template <std::size_t Size, typename... Args> std::string Format(const char* format, Args... args) {
    char buffer[Size];
    std::memset(buffer, '#', sizeof buffer);
    int length = std::snprintf(buffer, sizeof buffer, format, args...);
    EXPECT_EQ(length, static_cast<int>(std::strlen(buffer))) << format;
    return buffer;
}

struct Case {
    std::string printed;
    const char* expected;
};

void ExpectAll(const std::initializer_list<Case>& cases) {
    int row = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(c.printed, c.expected) << "row " << row;
        ++row;
    }
}

} // namespace

TEST(ProgramFormats, TheLogPrefixsFieldsHoldEveryValueASystemTimeCanHold) {
    // SYSTEMTIME's members are WORDs, passed on as ints: a width is a least.
    ExpectAll({
        {Format<16>("%02d", 0), "00"},
        {Format<16>("%02d", 9), "09"},
        {Format<16>("%02d", 65535), "65535"},
        {Format<16>("%4d", 0), "   0"},
        {Format<16>("%4d", 999), " 999"},
        {Format<16>("%4d", 30827), "30827"},
        {Format<16>("%04d", 2), "0002"},
        {Format<16>("%04d", 65535), "65535"},
    });
}

TEST(ProgramFormats, HexadecimalIsUpperCaseWhereAskedAndWidensPastItsWidth) {
    ExpectAll({
        {Format<16>("%4X", 0x500), " 500"},
        {Format<16>("%4X", 0), "   0"},
        {Format<16>("%4X", 0xABCD), "ABCD"},
        {Format<16>("%4X", -1), "FFFFFFFF"},
        {Format<16>("%8X", 0x1F), "      1F"},
        {Format<16>("%08X", 0x1F), "0000001F"},
        {Format<16>("%08X", 0x80000000u), "80000000"},
        {Format<16>("%X", 87u), "57"},
        {Format<16>("%X", 0xFFFFFFFFu), "FFFFFFFF"},
        {Format<16>("%x", 0x800403FEu), "800403fe"},
        {Format<16>("%x", 0u), "0"},
    });
}

TEST(ProgramFormats, DecimalsAtTheEndsOfTheirRanges) {
    ExpectAll({
        {Format<16>("%d", 0), "0"},
        {Format<16>("%d", -1), "-1"},
        {Format<16>("%d", INT_MAX), "2147483647"},
        // DWORDs above INT_MAX are passed as ints and print negative.
        {Format<16>("%d", INT_MIN), "-2147483648"},
        {Format<16>("%d", static_cast<int>(0xFFFFFFFFu)), "-1"},
        {Format<16>("%u", 0u), "0"},
        {Format<16>("%u", UINT_MAX), "4294967295"},
    });
}

TEST(ProgramFormats, NamesAreCopiedWholeUpToTheLongestAPathLeaves) {
    // The longest title a MAX_PATH module path can leave (260 bytes with
    // its terminator) just fits the title buffer.
    std::string longTitle(259, 'B');
    ExpectAll({
        {Format<260>("%s", ""), ""},
        {Format<260>("%s", "BRISKARN"), "BRISKARN"},
        {Format<260>("%s", longTitle.c_str()), longTitle.c_str()},
        {Format<64>("'%s' %s .", "", "DOVRINEX.EXE"), "'' DOVRINEX.EXE ."},
    });
}

// The program's buffers are sized so that nothing is ever cut short; if a
// text were, it must still end inside the buffer, and snprintf tells the
// length the whole text would have needed.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-truncation"
TEST(ProgramFormats, ATextCutShortIsTerminatedAndItsFullLengthReported) {
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(std::snprintf(buffer, sizeof buffer, "%d", INT_MIN), 11);
    EXPECT_STREQ(buffer, "-214748");
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(std::snprintf(buffer, sizeof buffer, "%s", "12345678"), 8);
    EXPECT_STREQ(buffer, "1234567");
}
#pragma GCC diagnostic pop
