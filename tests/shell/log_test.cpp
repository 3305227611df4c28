// Briskarn.log as a reader of the file sees it. Only Win32 calls and the
// standard library, so the same checks run against a real Windows.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <vector>

#include <windows.h>

#include "base/log.h"
#include "log_prefix.h"
#include "temp_dir.h"

namespace {


// Splits a log into its entries' texts, checking every prefix on the way.
std::vector<std::string> EntryTexts(const std::string& log,
                                    const std::vector<std::size_t>& textLengths) {
    std::vector<std::string> texts;
    std::size_t at = 0;
    for (std::size_t length : textLengths) {
        std::string rest = log.substr(at);
        EXPECT_TRUE(StartsWithLogPrefix(rest)) << "at " << at << ": " << rest;
        texts.push_back(rest.substr(kLogPrefixLength, length));
        at += kLogPrefixLength + length;
    }
    EXPECT_EQ(at, log.size());
    return texts;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace

TEST(Log, EntryIsTheLocalTimePrefixThenTheTextByteForByte) {
    TempDir dir;
    CurrentDirectory cd(dir.path());
    SYSTEMTIME before;
    GetLocalTime(&before);
    WriteLog("Program exit.\n");

    std::string log = dir.Read("Briskarn.log");
    ASSERT_TRUE(StartsWithLogPrefix(log)) << log;
    EXPECT_EQ(log.substr(kLogPrefixLength), "Program exit.\n");
    char expectedDate[32];
    std::snprintf(expectedDate, sizeof expectedDate, "%02d/%02d/%4d", before.wDay, before.wMonth,
                  before.wYear);
    EXPECT_EQ(log.substr(0, 10), expectedDate);
}

TEST(Log, TextsAreWrittenWholeAndUnchangedAfterEarlierContent) {
    TempDir dir;
    CurrentDirectory cd(dir.path());
    dir.Write("Briskarn.log", "left by an earlier run\n");
    WriteLog("");                  // the prefix alone
    WriteLog("no line end");       // runs on into the next prefix
    WriteLog("first\nsecond\r\n"); // only the first line gets a prefix; no translation
    WriteLog(nullptr);             // treated as empty

    std::string log = dir.Read("Briskarn.log");
    const std::string kEarlier = "left by an earlier run\n";
    ASSERT_EQ(log.substr(0, kEarlier.size()), kEarlier);
    std::vector<std::string> texts = EntryTexts(log.substr(kEarlier.size()), {0, 11, 14, 0});
    EXPECT_EQ(texts, (std::vector<std::string>{"", "no line end", "first\nsecond\r\n", ""}));
}

namespace {

struct Writer {
    int id;
    int entries;
};

DWORD WINAPI WriteEntries(LPVOID parameter) {
    const Writer* writer = static_cast<const Writer*>(parameter);
    for (int i = 0; i < writer->entries; ++i) {
        char text[64];
        std::snprintf(text, sizeof text, "writer %d entry %d\n", writer->id, i);
        WriteLog(text);
    }
    return 0;
}

} // namespace

TEST(Log, EntriesFromSeveralThreadsAtOnceNeitherInterleaveNorOverwrite) {
    TempDir dir;
    CurrentDirectory cd(dir.path());
    const int kThreads = 4, kEntries = 150;
    std::vector<Writer> writers;
    for (int id = 0; id < kThreads; ++id)
        writers.push_back(Writer{id, kEntries});
    std::vector<HANDLE> threads;
    for (Writer& writer : writers)
        threads.push_back(CreateThread(nullptr, 0, WriteEntries, &writer, 0, nullptr));
    ASSERT_EQ(WaitForMultipleObjects(kThreads, threads.data(), TRUE, INFINITE), WAIT_OBJECT_0);
    for (HANDLE thread : threads)
        CloseHandle(thread);

    std::vector<std::string> lines = Lines(dir.Read("Briskarn.log"));
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kEntries));
    std::vector<int> next(kThreads, 0);
    for (const std::string& line : lines) {
        ASSERT_TRUE(StartsWithLogPrefix(line)) << line;
        int id = -1, index = -1;
        char tail = 0;
        ASSERT_EQ(
            std::sscanf(line.c_str() + kLogPrefixLength, "writer %d entry %d%c", &id, &index, &tail),
            2)
            << line;
        ASSERT_TRUE(id >= 0 && id < kThreads) << line;
        EXPECT_EQ(index, next[id]++) << "entries of one writer keep their order";
    }
}

TEST(Log, UnwritableLogCostsTheCallerNothing) {
    TempDir dir;
    CurrentDirectory cd(dir.path());
    std::filesystem::create_directory(dir.File("Briskarn.log")); // cannot be opened as a file
    WriteLog("lost\n");
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("Briskarn.log")));
}
