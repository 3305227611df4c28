// The names the chord text is made of, as the table lays them out.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "input/key_names.h"

namespace {

// Scan codes whose keys have no name, as inclusive ranges.
const struct {
    int first, last;
} kUnnamed[] = {{0x00, 0x00}, {0x54, 0x56}, {0x59, 0x9B}, {0x9E, 0xB4}, {0xB6, 0xB6}, {0xB9, 0xC4},
                {0xC6, 0xC6}, {0xCA, 0xCA}, {0xCC, 0xCC}, {0xCE, 0xCE}, {0xD4, 0xFF}};

bool Unnamed(int code) {
    for (const auto& range : kUnnamed)
        if (code >= range.first && code <= range.last)
            return true;
    return false;
}

} // namespace

TEST(KeyNameTable, NamedAndEmptyEntriesLieWhereTheScanCodesSay) {
    int named = 0;
    for (int code = 0; code < 256; ++code) {
        const char* entry = KeyNameTable[code];
        const void* end = std::memchr(entry, '\0', sizeof KeyNameTable[code]);
        ASSERT_NE(end, nullptr) << "entry " << code << " is not NUL-terminated";
        std::size_t length = static_cast<std::size_t>(static_cast<const char*>(end) - entry);
        for (std::size_t i = length; i < sizeof KeyNameTable[code]; ++i)
            EXPECT_EQ(entry[i], '\0') << "entry " << code << " byte " << i;
        if (Unnamed(code))
            EXPECT_EQ(length, 0u) << "entry " << code << ": " << entry;
        else
            EXPECT_GT(length, 0u) << "entry " << code;
        named += length > 0;
    }
    EXPECT_EQ(named, 101);
}

TEST(KeyNameTable, KeysAreNamedByLetterCharacterOrAbbreviation) {
    const struct {
        int code;
        const char* name;
    } kNames[] = {
        {0x01, "ESC"},     {0x02, "1"},       {0x0B, "0"},        {0x0D, "="},
        {0x10, "q"},       {0x1D, "LCTL"},    {0x1E, "a"},        {0x28, "'"},
        {0x29, "`"},       {0x2A, "LSFT"},    {0x2B, "\\"},       {0x30, "b"},
        {0x31, "n"},       {0x37, "KPMUL"},   {0x44, "F10"},      {0x4A, "KPMINUS"},
        {0x53, "KPDOT"},   {0x57, "F11"},     {0x58, "F12"},      {0x9C, "KPENT"},
        {0x9D, "RCTL"},    {0xB5, "KPDIV"},   {0xB7, "SYSREQ"},   {0xB8, "RALT"},
        {0xC5, "PAUSE"},   {0xC7, "AUXHOME"}, {0xC8, "AUXUAROW"}, {0xCD, "AUXRAROW"},
        {0xD1, "AUXPGDN"}, {0xD3, "AUXDEL"},
    };
    for (const auto& key : kNames)
        EXPECT_EQ(std::string(KeyNameTable[key.code]), key.name) << "scan code " << key.code;
}
