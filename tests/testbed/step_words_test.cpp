// The scenario runner under Wine reads its lines with these too, so a fault
// here shows as the two machines parting on the same scenario.
#include <gtest/gtest.h>

#include "testbed/step_words.h"

TEST(StepWords, ACommentStartsOnlyOutsideQuotesAndNumbersStopAt64Bits) {
    std::vector<std::string> words;
    std::string rest;
    ASSERT_TRUE(SplitStepLine("type 1018  \"a #b\" \t# typed\r", &words, &rest));
    EXPECT_EQ(words, (std::vector<std::string>{"type", "1018", "\"a", "#b\""}));
    EXPECT_EQ(rest, "\"a #b\"");
    words.clear();
    EXPECT_FALSE(SplitStepLine("  # only a comment", &words, &rest));

    std::uint64_t value = 0;
    EXPECT_TRUE(ParseNumber("18446744073709551615", &value));
    EXPECT_EQ(value, ~std::uint64_t{0});
    EXPECT_TRUE(ParseNumber("0xFFFFFFFFFFFFFFFF", &value));
    for (const char* past : {"18446744073709551616", "0x10000000000000000", "99999999999999999999"})
        EXPECT_FALSE(ParseNumber(past, &value)) << past;
}
