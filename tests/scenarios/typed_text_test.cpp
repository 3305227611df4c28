// What the terminal records for a text typed into an edit, replayed: the
// edit then holds exactly that text, blanks, quotes and "#" included.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scenario_run.h"
#include "term/edit_keys.h"

namespace {

// As the snapshot step writes a control's text.
std::string SnapshotText(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

// Each snapshot's lines of the Setup Buttons dialog, which starts with its OK.
std::vector<std::string> Snapshots(const std::string& transcript) {
    std::vector<std::string> snapshots;
    for (std::size_t at = transcript.find(" control 1 button "); at != std::string::npos;) {
        std::size_t next = transcript.find(" control 1 button ", at + 1);
        snapshots.push_back(transcript.substr(at, next == std::string::npos ? next : next - at));
        at = next;
    }
    return snapshots;
}

TEST(TypedText, ARecordedTypeLinePutsExactlyItsTextIntoTheEdit) {
    // Four at a time, into the Setup Buttons dialog's four edits.
    const std::vector<std::string> kTexts = {" 7 ", "",      "a\"b", "#5",
                                             "\"",  "\"x\"", "a#b",  "\\ 1 "};
    std::string scenario = "driver present\nslot 0 wheel interrupt\nstart\nclick 1017\n";
    for (std::size_t i = 0; i < kTexts.size(); ++i) {
        std::string line;
        ASSERT_TRUE(hosted::term::TypeStepLine(1000 + static_cast<int>(i % 4), kTexts[i], &line))
            << kTexts[i];
        scenario += line + "\n" + (i % 4 == 3 ? "snapshot\n" : "");
    }
    TempDir dir;
    ScenarioRun run = RunScenario(dir, scenario + "click 2\nclick 1\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    std::vector<std::string> snapshots = Snapshots(run.transcript);
    ASSERT_EQ(snapshots.size(), 2u) << run.transcript;
    for (std::size_t i = 0; i < kTexts.size(); ++i) {
        std::string shown = "control " + std::to_string(1000 + i % 4) +
                            " edit text=" + SnapshotText(kTexts[i]) + " ";
        EXPECT_NE(snapshots[i / 4].find(shown), std::string::npos) << shown << "\n"
                                                                   << snapshots[i / 4];
    }
}

} // namespace
