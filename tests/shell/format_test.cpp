// Every format the programs print numbers and names with, at the ends of the
// ranges they are given, through the formatting the program links: msvcrt.dll's
// in the Windows builds (under Wine, its reimplementation), the C library's
// here. A log line, a message box or the patcher's last line that came out
// differently would show here first.
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

void ExpectAll(const char* what, const std::initializer_list<Case>& cases) {
    int row = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(c.printed, c.expected) << what << ", row " << row;
        ++row;
    }
}

} // namespace

TEST(ProgramFormats, LogPrefixOfEveryDateAndTimeASystemTimeCanHold) {
    const char* prefix = "%02d/%02d/%4d %02d:%02d:%02d-%04d * ";
    // SYSTEMTIME's members are WORDs, passed on as ints.
    ExpectAll(
        "log prefix",
        {
            {Format<64>(prefix, 0, 0, 0, 0, 0, 0, 0), "00/00/   0 00:00:00-0000 * "},
            {Format<64>(prefix, 1, 1, 1601, 0, 0, 0, 0), "01/01/1601 00:00:00-0000 * "},
            {Format<64>(prefix, 9, 7, 999, 5, 4, 3, 2), "09/07/ 999 05:04:03-0002 * "},
            {Format<64>(prefix, 31, 12, 30827, 23, 59, 59, 999), "31/12/30827 23:59:59-0999 * "},
            {Format<64>(prefix, 65535, 65535, 65535, 65535, 65535, 65535, 65535),
             "65535/65535/65535 65535:65535:65535-65535 * "},
        });
}

TEST(ProgramFormats, LogLinesWithNumbersAtTheEndsOfTheirRanges) {
    const char* start = "Program start. DIReq = %4X.\n";
    const char* callback = "RZ4 Callback #%d: RZ4Max = %d, DIJoyCount = %d\n";
    ExpectAll(
        "log lines",
        {
            {Format<64>(start, 0x500), "Program start. DIReq =  500.\n"},
            {Format<64>(start, 0), "Program start. DIReq =    0.\n"},
            {Format<64>(start, 0xABCD), "Program start. DIReq = ABCD.\n"},
            {Format<64>(start, -1), "Program start. DIReq = FFFFFFFF.\n"},
            {Format<96>(callback, 1, 2048, 1), "RZ4 Callback #1: RZ4Max = 2048, DIJoyCount = 1\n"},
            {Format<96>(callback, 0, 0, 0), "RZ4 Callback #0: RZ4Max = 0, DIJoyCount = 0\n"},
            {Format<96>(callback, INT_MAX, INT_MAX, INT_MAX),
             "RZ4 Callback #2147483647: RZ4Max = 2147483647, DIJoyCount = 2147483647\n"},
            // DWORDs above INT_MAX are passed as ints and print negative.
            {Format<96>(callback, INT_MIN, -1, INT_MIN),
             "RZ4 Callback #-2147483648: RZ4Max = -1, DIJoyCount = -2147483648\n"},
        });
}

TEST(ProgramFormats, DriverErrorBoxWithEveryKindOfErrorCode) {
    const char* text = "Failed to load device BRISKARN.VXD, errcode = %X (%d).";
    auto box = [text](unsigned error) { return Format<96>(text, error, static_cast<int>(error)); };
    ExpectAll("driver error box",
              {
                  {box(0), "Failed to load device BRISKARN.VXD, errcode = 0 (0)."},
                  {box(2), "Failed to load device BRISKARN.VXD, errcode = 2 (2)."},
                  {box(87), "Failed to load device BRISKARN.VXD, errcode = 57 (87)."},
                  {box(0x7FFFFFFF),
                   "Failed to load device BRISKARN.VXD, errcode = 7FFFFFFF (2147483647)."},
                  {box(0x80000000),
                   "Failed to load device BRISKARN.VXD, errcode = 80000000 (-2147483648)."},
                  {box(0xFFFFFFFF), "Failed to load device BRISKARN.VXD, errcode = FFFFFFFF (-1)."},
              });
}

TEST(ProgramFormats, ProfileValuesTitlesAndPatcherLines) {
    // The longest title a MAX_PATH module path can leave (260 bytes with
    // its terminator) just fits the title buffer.
    std::string longTitle(259, 'B');
    ExpectAll("settings, title, patcher",
              {
                  {Format<16>("%d", 0), "0"},
                  {Format<16>("%d", -1), "-1"},
                  {Format<16>("%d", INT_MAX), "2147483647"},
                  {Format<16>("%d", INT_MIN), "-2147483648"},
                  {Format<260>("%s", ""), ""},
                  {Format<260>("%s", "BRISKARN"), "BRISKARN"},
                  {Format<260>("%s", longTitle.c_str()), longTitle.c_str()},
                  {Format<64>("Executable %s patched successfully.\n", "DOVRINEX.EXE"),
                   "Executable DOVRINEX.EXE patched successfully.\n"},
                  {Format<64>("Error patching executable %s .\n", "DOVRINEX.EXE"),
                   "Error patching executable DOVRINEX.EXE .\n"},
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
