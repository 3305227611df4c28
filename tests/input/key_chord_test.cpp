// The chord machine fed with keyboard reads as the input worker would feed
// it: each case is a sequence of reads (the keys down in each) and the texts
// that must go out, with the read that completes each.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "input/key_chord.h"

namespace {

enum : int {
    kQ = 0x10,
    kLeftCtrl = 0x1D,
    kA = 0x1E,
    kLeftShift = 0x2A,
    kB = 0x30,
    kN = 0x31,
    kUnnamed = 0x54,
    kF12 = 0x58,
    kRightAlt = 0xB8,
};

struct Sent {
    std::size_t read;
    std::string text;

    bool operator==(const Sent& other) const { return read == other.read && text == other.text; }
};

void PrintTo(const Sent& sent, std::ostream* out) {
    *out << "after read " << sent.read << ": \"" << sent.text << "\"";
}

typedef std::vector<std::vector<int>> Reads;

// Runs the reads through a fresh machine; checks on the way that out is
// left alone by steps that complete nothing and NUL-padded by those that do.
std::vector<Sent> Feed(const Reads& reads, BYTE down = 0x80) {
    CKeyChord chord;
    std::vector<Sent> sent;
    for (std::size_t i = 0; i < reads.size(); ++i) {
        BYTE state[256] = {};
        for (int code : reads[i])
            state[code] = down;
        char out[256];
        std::memset(out, 0x5A, sizeof out);
        if (chord.Step(state, out)) {
            const void* end = std::memchr(out, '\0', sizeof out);
            EXPECT_NE(end, nullptr) << "read " << i << ": no terminating NUL";
            std::size_t length =
                end ? static_cast<std::size_t>(static_cast<const char*>(end) - out) : sizeof out;
            EXPECT_TRUE(std::all_of(out + length, out + sizeof out, [](char c) { return c == 0; }))
                << "read " << i << ": out not NUL-padded";
            sent.push_back({i, std::string(out, length)});
        } else {
            EXPECT_TRUE(std::all_of(out, out + sizeof out, [](char c) { return c == 0x5A; }))
                << "read " << i << " wrote to out without a chord";
        }
    }
    return sent;
}

} // namespace

TEST(KeyChord, ReadsGiveTheChordTextsOfTheKeysPressedWhileOneStaysDown) {
    const struct {
        const char* what;
        Reads reads;
        std::vector<Sent> sent;
    } kCases[] = {
        {"one key pressed and released", {{kA}, {}}, {{1, "a"}}},
        {"held key, then a tap, then the held key released",
         {{kLeftCtrl}, {kLeftCtrl, kA}, {kLeftCtrl}, {}},
         {{3, "LCTL a"}}},
        {"repeated taps under a held key are each gathered",
         {{kLeftShift},
          {kLeftShift, kA},
          {kLeftShift},
          {kLeftShift, kA},
          {kLeftShift},
          {kLeftShift, kA},
          {kLeftShift},
          {}},
         {{7, "LSFT a a a"}}},
        {"keys first down in one read go in scan-code order", {{kA, kQ}, {}}, {{1, "q a"}}},
        {"a key without a name alone gives the empty text", {{kUnnamed}, {}}, {{1, ""}}},
        {"a key without a name leaves its blank", {{kLeftCtrl, kUnnamed}, {}}, {{1, "LCTL "}}},
        {"a key without a name pressed later leaves its blank too",
         {{kLeftCtrl}, {kLeftCtrl, kUnnamed}, {kLeftCtrl}, {}},
         {{3, "LCTL "}}},
        {"a press below a release in one read is not gathered", {{kB}, {kA}, {}}, {{2, "b"}}},
        {"a press above a release in one read is gathered", {{kA}, {kB}, {}}, {{2, "a b"}}},
        {"b and n", {{kB}, {}, {kN}, {}}, {{1, "b"}, {3, "n"}}},
        {"a key held over several reads counts once", {{kA}, {kA}, {kA}, {}}, {{3, "a"}}},
        {"nothing goes out until the last key is up",
         {{kLeftCtrl, kLeftShift}, {kLeftShift}, {kLeftShift, kF12}, {kF12}, {}},
         {{4, "LCTL LSFT F12"}}},
        {"keys beyond the main block", {{kRightAlt}, {kRightAlt, kF12}, {}}, {{2, "RALT F12"}}},
        {"each chord starts afresh",
         {{kLeftCtrl}, {kLeftCtrl, kA}, {}, {kB}, {}},
         {{2, "LCTL a"}, {4, "b"}}},
        {"no key ever down sends nothing", {{}, {}, {}, {}}, {}},
        {"a chord still open sends nothing", {{kLeftCtrl}, {kLeftCtrl, kA}, {kLeftCtrl}}, {}},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(Feed(c.reads), c.sent) << c.what;
}

TEST(KeyChord, AnyNonzeroStateByteIsAKeyDown) {
    EXPECT_EQ(Feed({{kLeftCtrl}, {kLeftCtrl, kA}, {}}, 0x01), (std::vector<Sent>{{2, "LCTL a"}}));
}

TEST(KeyChord, AChordLongerThan255CharactersIsCutTo255) {
    Reads reads = {{kLeftCtrl}};
    std::string full = "LCTL";
    for (int tap = 0; tap < 200; ++tap) {
        reads.push_back({kLeftCtrl, kA});
        reads.push_back({kLeftCtrl});
        full += " a";
    }
    reads.push_back({});
    // A long chord does not spoil the next one.
    reads.push_back({kN});
    reads.push_back({});
    std::vector<Sent> sent = Feed(reads);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].text.size(), 255u);
    EXPECT_EQ(sent[0].text, full.substr(0, 255));
    EXPECT_EQ(sent[1].text, "n");
}
