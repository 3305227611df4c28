// The win32 build formats the log, the dialogs' numbers and the patcher's
// lines with its own formatter; its text must be what the C library gives.
#include "format.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>

namespace {

int FormatInto(char* text, size_t size, const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int length = FormatText(text, size, format, arguments);
    va_end(arguments);
    return length;
}

template <typename... Arguments> std::string Ours(const char* format, Arguments... arguments) {
    char text[64];
    FormatInto(text, sizeof text, format, arguments...);
    return text;
}

TEST(WinrtFormat, IntegerConversionsMatchTheCLibrary) {
    struct Case {
        const char* format;
        int value;
    };
    const Case cases[] = {
        {"%d", 0},         {"%d", -1},     {"%d", INT_MIN},
        {"%02d", 7},       {"%4d", 2026},  {"%4d", 26},
        {"%04d", 999},     {"%04d", -5},   {"%4X", 0x500},
        {"%08X", 0xABC},   {"%8X", 0x104}, {"%x", -1},
        {"%X (%d)", 1158}, {"%u", 8},      {"%-4d|", 3},
        {"%.3d", 5},       {"%5.3d", -5},  {"%x", static_cast<int>(0x80040154u)},
    };
    for (const Case& c : cases) {
        char expected[64];
        std::snprintf(expected, sizeof expected, c.format, c.value, c.value);
        EXPECT_EQ(Ours(c.format, c.value, c.value), expected) << c.format;
    }
}

TEST(WinrtFormat, TextIsPaddedCutAndMeasured) {
    EXPECT_EQ(Ours("'%s' %c %% [%5s] [%-5s] [%.2s]", "ab", 'z', "cd", "ef", "ghi"),
              "'ab' z % [   cd] [ef   ] [gh]");
    char small[5];
    EXPECT_EQ(FormatInto(small, sizeof small, "abc%s", "defgh"), 8);
    EXPECT_STREQ(small, "abcd");
}

} // namespace
