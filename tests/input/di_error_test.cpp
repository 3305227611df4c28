// The log lines of failed DirectInput calls as a reader of Briskarn.log sees
// them. Only Win32 calls and the standard library, so the same checks run
// against a real Windows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include <windows.h>

#include <dinput.h>
#include <dinputd.h>

#include "input/di_error.h"
#include "log_prefix.h"
#include "temp_dir.h"

namespace {

// Reports every code with its own message and gives back, for each, the text
// of its entry: the log must be exactly one prefixed entry per report, each
// ending in the only line feed of its entry.
std::vector<std::string> ReportAndRead(const std::vector<std::pair<std::string, DWORD>>& reports) {
    TempDir dir;
    CurrentDirectory cd(dir.path());
    for (const auto& report : reports)
        ReportDIError(report.first.c_str(), static_cast<LONG>(report.second));
    std::string log = dir.Read("Briskarn.log");

    std::vector<std::string> texts;
    std::size_t at = 0;
    while (at < log.size()) {
        std::size_t end = log.find('\n', at);
        if (end == std::string::npos) {
            ADD_FAILURE() << "entry without a line feed: " << log.substr(at);
            break;
        }
        std::string entry = log.substr(at, end + 1 - at);
        EXPECT_TRUE(StartsWithLogPrefix(entry)) << entry;
        texts.push_back(entry.substr(kLogPrefixLength));
        at = end + 1;
    }
    EXPECT_EQ(texts.size(), reports.size()) << log;
    return texts;
}

const std::string kReturnCode = ".  Return Code: ";

// A code as the header names it, so the test and the program agree only
// where both follow DirectInput.
#define HEADER_NAMED(code)                                                                         \
    { static_cast<DWORD>(code), #code }

struct NamedCode {
    DWORD code;
    const char* name;
};

// The codes the program's own calls fail with, from each range of values.
const NamedCode kHeaderNamed[] = {
    HEADER_NAMED(DIERR_GENERIC),         HEADER_NAMED(DIERR_NOINTERFACE),
    HEADER_NAMED(DIERR_DEVICENOTREG),    HEADER_NAMED(DIERR_INPUTLOST),
    HEADER_NAMED(DIERR_NOTACQUIRED),     HEADER_NAMED(DIERR_OUTOFMEMORY),
    HEADER_NAMED(DIERR_INVALIDPARAM),    HEADER_NAMED(DIERR_NOMOREITEMS),
    HEADER_NAMED(DIERR_OTHERAPPHASPRIO), HEADER_NAMED(DIERR_NOTINITIALIZED),
    HEADER_NAMED(DIERR_UNPLUGGED),       HEADER_NAMED(DIERR_DRIVERFIRST),
};

} // namespace

TEST(ReportDIError, ACodeIsWrittenByItsDirectInputName) {
    std::vector<std::pair<std::string, DWORD>> reports;
    for (const NamedCode& row : kHeaderNamed)
        reports.push_back({std::string("Error with ") + row.name, row.code});
    std::vector<std::string> texts = ReportAndRead(reports);
    ASSERT_EQ(texts.size(), std::size(kHeaderNamed));
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(texts[i], reports[i].first + kReturnCode + kHeaderNamed[i].name + "\n");
}

TEST(ReportDIError, TheNamesReadersSearchForAreKeptAsTheyStand) {
    const NamedCode kCases[] = {
        // Misspelt, and kept so: readers of the log match the text as it stands.
        {static_cast<DWORD>(DIERR_ACQUIRED), "DIERR_ACQURIED"},
        // A code of several names is written under one of them only.
        {static_cast<DWORD>(DIERR_READONLY), "DIERR_OTHERAPPHASPRIO"},
        {static_cast<DWORD>(DIERR_HANDLEEXISTS), "DIERR_OTHERAPPHASPRIO"},
        {static_cast<DWORD>(DIERR_NOTFOUND), "DIERR_OBJECTNOTFOUND"},
    };
    std::vector<std::pair<std::string, DWORD>> reports;
    for (const NamedCode& c : kCases)
        reports.push_back({"Error acquiring Game device", c.code});
    std::vector<std::string> texts = ReportAndRead(reports);
    ASSERT_EQ(texts.size(), std::size(kCases));
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(texts[i], reports[i].first + kReturnCode + kCases[i].name + "\n");
}

TEST(ReportDIError, CodesWithoutANameAreWrittenAsBareLowercaseHex) {
    struct Case {
        const char* message;
        DWORD code;
        const char* written;
    };
    const Case kCases[] = {
        // Inside the driver-specific range only its two ends have names.
        {"Error getting game device state", 0x80040301, "80040301"},
        {"Error getting game device state", 0x800403FE, "800403fe"},
        {"Error getting game device state", 0x8004037A, "8004037a"},
        // Without the top bit there are no leading zeros.
        {"Error acquiring Game device", 0x1, "1"},
        {"Error acquiring Game device", 0x0, "0"},
        {"Error acquiring Game device", 0xABCD, "abcd"},
        {"Error acquiring Game device", 0x7FFFFFFF, "7fffffff"},
        {"Error acquiring Game device", 0xFFFFFFFF, "ffffffff"},
        // The message is written as given, even where it looks like a format.
        {"", 0x80040154, "DIERR_DEVICENOTREG"},
        {"100%s %d %x done", 0x80004004, "80004004"},
    };
    std::vector<std::pair<std::string, DWORD>> reports;
    for (const Case& c : kCases)
        reports.push_back({c.message, c.code});
    std::vector<std::string> texts = ReportAndRead(reports);
    ASSERT_EQ(texts.size(), std::size(kCases));
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(texts[i], std::string(kCases[i].message) + kReturnCode + kCases[i].written + "\n")
            << "case " << i;
}

TEST(ReportDIError, ACodeNextToANamedOneIsNotWrittenByThatName) {
    // A lookup that matches ranges or nearby codes gives itself away here;
    // a neighbour is written by a name of its own or by its value.
    std::vector<std::pair<std::string, DWORD>> reports;
    std::vector<const char*> besideNames;
    for (const NamedCode& row : kHeaderNamed)
        for (DWORD neighbour : {row.code - 1, row.code + 1}) {
            reports.push_back({"Error setting data format", neighbour});
            besideNames.push_back(row.name);
        }
    std::vector<std::string> texts = ReportAndRead(reports);
    ASSERT_EQ(texts.size(), reports.size());
    const std::string kLead = "Error setting data format" + kReturnCode;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        ASSERT_EQ(texts[i].substr(0, kLead.size()), kLead) << texts[i];
        std::string written = texts[i].substr(kLead.size(), texts[i].size() - kLead.size() - 1);
        EXPECT_NE(written, besideNames[i]);
        if (written.compare(0, 6, "DIERR_") != 0) {
            EXPECT_EQ(written.find_first_not_of("0123456789abcdef"), std::string::npos) << written;
            EXPECT_EQ(std::strtoul(written.c_str(), nullptr, 16), reports[i].second) << written;
        }
    }
}
