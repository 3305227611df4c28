// The simulated user's keyboard and mouse as the dialogs take them: keys
// typed into an edit are the edit's own to act on, a `type` step puts
// exactly its text there, a read-only edit takes no typing, a dialog has
// its focus back once a dialog it opened closes, and a minimised window's
// controls take nothing.
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "scenario_run.h"

namespace {

// The texts that the transcript's snapshots show for edit `id`, in order.
std::vector<std::string> EditTexts(const std::string& transcript, int id) {
    const std::string marker = " control " + std::to_string(id) + " edit text=\"";
    std::vector<std::string> texts;
    for (std::size_t at = transcript.find(marker); at != std::string::npos;
         at = transcript.find(marker, at + 1)) {
        std::string text;
        for (std::size_t i = at + marker.size(); transcript[i] != '"'; ++i)
            text += transcript[i] == '\\' ? transcript[++i] : transcript[i];
        texts.push_back(text);
    }
    return texts;
}

TEST(UserInput, KeysTypedIntoAnEditReplaceItsSelectionAndMoveItsCaret) {
    // Into the Setup Buttons dialog's first edit, holding "2" and reached by
    // two Tabs, which select all of it.
    const struct {
        const char* keys;
        const char* text;
    } kCases[] = {
        {"7", "7"},
        {"1 2 3 backspace", "12"},
        {"1 2 3 home delete", "23"},
        {"1 2 3 left left x", "1x23"},
        {"1 2 3 home right backspace", "23"},
        {"1 2 3 end left delete", "12"},
        {"home backspace", "2"}, // nothing before the caret
        {"right 9", "29"},       // the caret was at the selection's end
        {"end delete space", "2 "},
        {"a space \"#\" \" \\ ~", "a #\"\\~"},
    };
    std::string scenario = "driver present\nslot 0 wheel interrupt\nstart\n";
    for (const auto& c : kCases) {
        scenario += "click 1017\nkey tab\nkey tab\n";
        std::istringstream keys(c.keys);
        for (std::string key; keys >> key;)
            scenario += "key " + key + "\n";
        scenario += "snapshot\nclick 2\n";
    }
    TempDir dir;
    ScenarioRun run = RunScenario(dir, scenario + "click 1\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    std::vector<std::string> texts = EditTexts(run.transcript, 1000);
    ASSERT_EQ(texts.size(), std::size(kCases)) << run.transcript;
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(texts[i], kCases[i].text) << kCases[i].keys;
}

TEST(UserInput, ATypeStepPutsExactlyItsTextIntoTheEdit) {
    // In double quotes, blanks at either end and an empty text survive; a
    // "#" starts a comment only after a blank.
    const struct {
        const char* line;
        const char* text;
    } kCases[] = {
        {"type 1000 \" 7 \"", " 7 "}, {"type 1001 \"\"", ""},     {"type 1002 \"a\"b\"", "a\"b"},
        {"type 1003 #5", ""},         {"type 1000 \"#5\"", "#5"}, {"type 1001 \"\\ 1 \"", "\\ 1 "},
        {"type 1002 a#b", "a#b"},     {"type 1003  7 ", "7"},
    };
    std::string scenario = "driver present\nslot 0 wheel interrupt\nstart\nclick 1017\n";
    for (const auto& c : kCases)
        scenario += std::string(c.line) + "\nsnapshot\n";
    TempDir dir;
    ScenarioRun run = RunScenario(dir, scenario + "click 2\nclick 1\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    for (std::size_t i = 0; i < std::size(kCases); ++i) {
        int id = 1000 + static_cast<int>(i % 4);
        std::vector<std::string> texts = EditTexts(run.transcript, id);
        ASSERT_GT(texts.size(), i) << run.transcript;
        EXPECT_EQ(texts[i], kCases[i].text) << kCases[i].line;
    }
}

TEST(UserInput, AReadOnlyEditTakesNoTyping) {
    // The main dialog's X field, which only the program writes.
    TempDir dir;
    ScenarioRun run = RunScenario(dir, "driver present\nslot 0 wheel interrupt\nstart\n"
                                       "click 1020\nwheel 0 x=0\nsnapshot\n"
                                       "type 1001 123\nkey 4\nkey backspace\nkey delete\n"
                                       "key home\nkey delete\nsnapshot\nclick 1\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    std::vector<std::string> texts = EditTexts(run.transcript, 1001);
    ASSERT_EQ(texts.size(), 2u) << run.transcript;
    EXPECT_NE(texts[0], "");
    EXPECT_EQ(texts[1], texts[0]);
}

TEST(UserInput, TheMainDialogHasItsFocusBackWhenSetupOrAboutCloses) {
    const struct {
        const char* what;
        const char* steps;
        int setupOpened;
        const char* gameMax; // the field's text at the end, or null when not looked at
    } kCases[] = {
        {"Space presses Setup... again", "key tab\nkey space\nkey escape\nkey space\nkey escape\n",
         2, nullptr},
        {"after About too", "key tab\nsyscommand 0x10\nkey enter\nkey space\nkey escape\n", 1,
         nullptr},
        // The next tab stop is the field, whose text a Space then replaces;
        // the main dialog stays open.
        {"Tab goes on from Setup...", "key tab\nkey space\nkey escape\nkey tab\nkey space\n", 1,
         " "},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        ScenarioRun run = RunScenario(dir, std::string("driver present\nslot 0 wheel\nstart\n") +
                                               c.steps + "snapshot\nclick 1\n");
        ASSERT_EQ(run.exitCode, 0) << run.errors;
        int opened = 0;
        for (std::size_t at = run.transcript.find("window open 129"); at != std::string::npos;
             at = run.transcript.find("window open 129", at + 1))
            ++opened;
        EXPECT_EQ(opened, c.setupOpened) << run.transcript;
        std::size_t closed = run.transcript.find("window close 102");
        ASSERT_NE(closed, std::string::npos) << run.transcript;
        EXPECT_GT(closed, run.transcript.find(" control ")) << "closed before the snapshot";
        if (c.gameMax) {
            std::vector<std::string> texts = EditTexts(run.transcript, 1018);
            ASSERT_EQ(texts.size(), 1u) << run.transcript;
            EXPECT_EQ(texts[0], c.gameMax);
        }
    }
}

TEST(UserInput, AMinimisedWindowsControlsTakeNoClicksOrKeys) {
    const struct {
        const char* steps;
        int exitCode;
    } kCases[] = {
        {"minimize\nclick 1017\n", 2},
        {"minimize\ntype 1018 5\n", 2},
        {"minimize\nkey enter\n", 2},
        {"minimize\nkey 5\n", 2},
        {"minimize\nrestore\nclick 1017\nkey escape\n", 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.steps);
        TempDir dir;
        ScenarioRun run = RunScenario(dir, std::string("driver present\nslot 0 wheel\nstart\n") +
                                               c.steps + "click 1\n");
        EXPECT_EQ(run.exitCode, c.exitCode) << run.errors;
        EXPECT_EQ(run.transcript.find("window open 129") != std::string::npos, c.exitCode == 0)
            << run.transcript;
        if (c.exitCode != 0) {
            EXPECT_NE(run.errors.find("the active window is minimised"), std::string::npos)
                << run.errors;
        }
    }
}

} // namespace
