// The log lines of failed DirectInput calls as a reader of Briskarn.log sees
// them. Only Win32 calls and the standard library, so the same checks run
// against a real Windows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include <windows.h>

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

struct NamedCode {
    DWORD code;
    const char* name;
};

const NamedCode kNamedCodes[] = {
    {0x80004001, "DIERR_UNSUPPORTED"},
    {0x80004002, "DIERR_NOINTERFACE"},
    {0x80004005, "DIERR_GENERIC"},
    {0x80040110, "DIERR_NOAGGREGATION"},
    {0x80040154, "DIERR_DEVICENOTREG"},
    {0x80040200, "DIERR_INSUFFICIENTPRIVS"},
    {0x80040201, "DIERR_DEVICEFULL"},
    {0x80040202, "DIERR_MOREDATA"},
    {0x80040203, "DIERR_NOTDOWNLOADED"},
    {0x80040204, "DIERR_HASEFFECTS"},
    {0x80040205, "DIERR_NOTEXCLUSIVEACQUIRED"},
    {0x80040206, "DIERR_INCOMPLETEEFFECT"},
    {0x80040207, "DIERR_NOTBUFFERED"},
    {0x80040208, "DIERR_EFFECTPLAYING"},
    {0x80040209, "DIERR_UNPLUGGED"},
    {0x8004020A, "DIERR_REPORTFULL"},
    {0x80040300, "DIERR_DRIVERFIRST"},
    {0x800403FF, "DIERR_DRIVERLAST"},
    {0x80040400, "DIERR_INVALIDCLASSINSTALLER"},
    {0x80040401, "DIERR_CANCELLED"},
    {0x80040402, "DIERR_BADINF"},
    {0x80070002, "DIERR_OBJECTNOTFOUND"},
    {0x80070005, "DIERR_OTHERAPPHASPRIO"},
    {0x8007000C, "DIERR_NOTACQUIRED"},
    {0x8007000E, "DIERR_OUTOFMEMORY"},
    {0x80070015, "DIERR_NOTINITIALIZED"},
    {0x8007001E, "DIERR_INPUTLOST"},
    {0x80070057, "DIERR_INVALIDPARAM"},
    {0x80070077, "DIERR_BADDRIVERVER"},
    {0x800700AA, "DIERR_ACQURIED"},
    {0x80070103, "DIERR_NOMOREITEMS"},
    {0x8007047E, "DIERR_OLDDIRECTINPUTVERSION"},
    {0x80070481, "DIERR_BETADIRECTINPUTVERSION"},
    {0x800704DF, "DIERR_ALREADYINITIALIZED"},
};

bool IsNamed(DWORD code) {
    for (const NamedCode& row : kNamedCodes)
        if (row.code == code)
            return true;
    return false;
}

} // namespace

TEST(ReportDIError, EachNamedCodeIsWrittenByItsOneName) {
    std::vector<std::pair<std::string, DWORD>> reports;
    for (const NamedCode& row : kNamedCodes)
        reports.push_back({std::string("Error with ") + row.name, row.code});
    std::vector<std::string> texts = ReportAndRead(reports);
    ASSERT_EQ(texts.size(), std::size(kNamedCodes));
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(texts[i], reports[i].first + ".  Return Code: " + kNamedCodes[i].name + "\n")
            << "row " << i;
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
        // Neighbours of named codes are not matched by any range.
        {"Error creating game device", 0x80040155, "80040155"},
        {"Error creating game device", 0x8004020B, "8004020b"},
        {"Error creating game device", 0x80070006, "80070006"},
        {"Error creating game device", 0x800704E0, "800704e0"},
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
        EXPECT_EQ(texts[i],
                  std::string(kCases[i].message) + ".  Return Code: " + kCases[i].written + "\n")
            << "case " << i;
}

TEST(ReportDIError, CodesNextToNamedOnesArePrintedByTheirValue) {
    // One above and one below every named code, where that is not named too:
    // a lookup that matches ranges or nearby codes gives itself away here.
    std::vector<std::pair<std::string, DWORD>> reports;
    for (const NamedCode& row : kNamedCodes)
        for (DWORD neighbour : {row.code - 1, row.code + 1})
            if (!IsNamed(neighbour))
                reports.push_back({"Error setting data format", neighbour});
    std::vector<std::string> texts = ReportAndRead(reports);
    ASSERT_EQ(texts.size(), reports.size());
    const std::string kLead = "Error setting data format.  Return Code: ";
    for (std::size_t i = 0; i < texts.size(); ++i) {
        ASSERT_EQ(texts[i].substr(0, kLead.size()), kLead) << texts[i];
        std::string written = texts[i].substr(kLead.size());
        ASSERT_EQ(written.size(), 9u) << written; // 8 digits and the line feed
        EXPECT_EQ(written.find_first_not_of("0123456789abcdef"), 8u) << written;
        EXPECT_EQ(std::strtoul(written.c_str(), nullptr, 16), reports[i].second) << written;
    }
}
