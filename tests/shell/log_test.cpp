// Briskarn.log as a reader of the file sees it. Only Win32 calls and the
// standard library, so the same checks run against a real Windows.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <sstream>
#include <vector>

#include <windows.h>

#include "log.h"
#include "temp_dir.h"

namespace {

const char kPrefix[] = R"(\d\d/\d\d/ *\d{4} \d\d:\d\d:\d\d-0\d{3} \* )";

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
    ASSERT_TRUE(std::regex_match(log, std::regex(std::string(kPrefix) + "Program exit\\.\n")))
        << log;
    char expectedDate[32];
    std::snprintf(expectedDate, sizeof expectedDate, "%02d/%02d/%4d", before.wDay, before.wMonth,
                  before.wYear);
    EXPECT_EQ(log.substr(0, 10), expectedDate);
    EXPECT_EQ(log.size(), 27 + std::string("Program exit.\n").size());
}

TEST(Log, TextsAreWrittenWholeAndUnchangedAfterEarlierContent) {
    TempDir dir;
    CurrentDirectory cd(dir.path());
    dir.Write("Briskarn.log", "left by an earlier run\n");
    WriteLog("");                  // the prefix alone
    WriteLog("no line end");       // runs on into the next prefix
    WriteLog("first\nsecond\r\n"); // only the first line gets a prefix; no translation
    WriteLog(nullptr);             // treated as empty

    std::regex expected("left by an earlier run\n" + std::string(kPrefix) + kPrefix +
                        "no line end" + kPrefix + "first\nsecond\r\n" + kPrefix);
    std::string log = dir.Read("Briskarn.log");
    EXPECT_TRUE(std::regex_match(log, expected)) << log;
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
    std::regex entry(std::string(kPrefix) + R"(writer (\d) entry (\d+))");
    for (const std::string& line : lines) {
        std::smatch match;
        ASSERT_TRUE(std::regex_match(line, match, entry)) << line;
        int id = std::stoi(match[1]);
        EXPECT_EQ(std::stoi(match[2]), next[id]++) << "entries of one writer keep their order";
    }
}

TEST(Log, UnwritableLogCostsTheCallerNothing) {
    TempDir dir;
    CurrentDirectory cd(dir.path());
    std::filesystem::create_directory(dir.File("Briskarn.log")); // cannot be opened as a file
    WriteLog("lost\n");
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("Briskarn.log")));
}
