// The terminal's keys typed into an edit, and the `type` line that records
// the result.
#include <string>

#include <gtest/gtest.h>

#include "term/edit_keys.h"

namespace {

using hosted::term::kBackspace;
using hosted::term::TextAfterKey;
using hosted::term::TypeStepLine;

TEST(EditKeys, ATypedCharacterReplacesTheSelectionAndBackspaceDeletesIt) {
    const struct {
        const char* text;
        DWORD selStart, selEnd;
        int key;
        const char* after;
    } kCases[] = {
        {"2048", 0, 4, '7', "7"},
        {"2048", 1, 3, 'x', "2x8"},
        {"2048", 3, 1, 'x', "2x8"}, // a selection made leftwards
        {"2048", 2, 2, '5', "20548"},
        {"2048", 4, 4, ' ', "2048 "},
        {"", 0, 0, '~', "~"},
        {"2048", 4, 4, kBackspace, "204"},
        {"2048", 1, 1, kBackspace, "048"},
        {"2048", 0, 0, kBackspace, "2048"},
        {"2048", 1, 3, kBackspace, "28"}, // the selection, not the character before it
        {"", 0, 0, kBackspace, ""},
        // Out of range: what the edit no longer holds is no longer selected.
        {"2048", 9, 12, 'x', "2048x"},
        {"2048", 2, 99, kBackspace, "20"},
        {"2048", 99, 99, kBackspace, "204"},
        {"2048", 0, 0xFFFFFFFF, '1', "1"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.text) + " [" + std::to_string(c.selStart) + "," +
                     std::to_string(c.selEnd) + ") key " + std::to_string(c.key));
        std::string after;
        ASSERT_TRUE(TextAfterKey(c.text, c.selStart, c.selEnd, c.key, &after));
        EXPECT_EQ(after, c.after);
    }

    const int kRefused[] = {0, '\t', '\r', '\n', 27, 0x7F, 0x80, 0xE9, -1, 0x109 /* a key code */};
    for (int key : kRefused) {
        std::string after = "untouched";
        EXPECT_FALSE(TextAfterKey("2048", 0, 4, key, &after)) << key;
    }
}

TEST(EditKeys, ATypeLineQuotesTheTextOrIsRefusedWhenALineCannotHoldIt) {
    const struct {
        int id;
        const char* text;
        const char* line;
    } kLines[] = {
        {1000, "7", "type 1000 \"7\""},       {1001, " 7 ", "type 1001 \" 7 \""},
        {1002, "", "type 1002 \"\""},         {1003, "#5", "type 1003 \"#5\""},
        {1000, "a\"b", "type 1000 \"a\"b\""}, {1000, "a#b", "type 1000 \"a#b\""},
    };
    for (const auto& c : kLines) {
        std::string line;
        ASSERT_TRUE(TypeStepLine(c.id, c.text, &line)) << c.text;
        EXPECT_EQ(line, c.line);
    }

    // A line end would split the step, a "#" after a blank would start a
    // comment; the edit drops control characters and takes \b as Backspace,
    // so no line types those either.
    const char* const kRefused[] = {"a\nb",  "7\r",  "a #b", " #",  "a\t#b",
                                    "a\v#b", "a\tb", "1\b",  "\x1b"};
    for (const char* text : kRefused) {
        std::string line = "untouched";
        EXPECT_FALSE(TypeStepLine(1000, text, &line)) << text;
    }
}

} // namespace
