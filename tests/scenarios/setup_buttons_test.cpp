// "Setup...": the button dialog opened with the map in force, a refused
// entry, wheel changes reaching the driver while it is open, and what a
// confirmed or cancelled dialog leaves in the registry, the log and the
// next report; its tab stops walked backwards with Shift+Tab.
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "scenario_run.h"

namespace {

// The transcript's lines that the driver, the registry and the log show,
// and the windows opening and closing.
std::string Seen(const std::string& transcript) {
    static const char* const kKinds[] = {"driver report", "registry write", "* RZ4 buttons",
                                         "window ", "msgbox "};
    std::string seen;
    std::string t = WithoutGameDeviceSetUp(transcript);
    std::size_t open = t.find("window open 129");
    for (std::size_t at = open == std::string::npos ? t.size() : t.rfind('\n', open) + 1;
         at < t.size();) {
        std::size_t end = t.find('\n', at) + 1;
        std::string line = t.substr(at, end - at);
        for (const char* kind : kKinds)
            if (line.find(kind) != std::string::npos) {
                seen += line.substr(line.find(' ') + 1);
                break;
            }
        at = end;
    }
    return seen;
}

const char kStart[] = "driver present\nslot 0 wheel interrupt\nstart\nclick 1020\n"
                      "wheel 0 x=0\n"; // the first pass, out of the way

TEST(SetupButtons, AConfirmedMapIsStoredLoggedAndUsedByTheVeryNextReport) {
    TempDir dir;
    ScenarioRun run =
        RunScenario(dir, std::string(kStart) + "click 1017\ntype 1001 9\nclick 1\nanswer ok\n"
                                               "wheel 0 button3=down\n"
                                               "type 1001 8\nclick 1\n"
                                               "wheel 0 button3=up button8=down\nclick 1\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::string key = "registry write HKLM\\Software\\ORMEL Software\\BRISKARN\\Buttons ";
    // While the dialog is open, wheel button 3 is still A button 2; once it
    // is confirmed, wheel button 8 is.
    EXPECT_EQ(Seen(run.transcript),
              "window open 129 Setup Buttons\n"
              "msgbox BRISKARN | Please enter an integer between 1 and 8. | "
              "MB_OK|MB_ICONEXCLAMATION\n"
              "driver report 0 127 0 0 0xD0\n"
              "window close 129 IDOK\n" +
                  key + "Button1 2\n" + key + "Button2 8\n" + key + "Button3 4\n" + key +
                  "Button4 5\n"
                  "log 07/12/2026 05:58:09-0000 * RZ4 buttons config: 2, 8, 4, 5. \\n\n"
                  "driver report 0 127 0 0 0xD0\n"
                  "window close 102 IDOK\n");
}

TEST(SetupButtons, CancelAfterARefusedOkChangesNothing) {
    TempDir dir;
    ScenarioRun run = RunScenario(dir, std::string(kStart) +
                                           "click 1017\ntype 1000 7\ntype 1002 0\nclick 1\n"
                                           "answer ok\nclick 2\n"
                                           "wheel 0 button7=down\nwheel 0 button4=down\nclick 1\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    // Wheel button 7 stays unassigned; 4 is still B button 1.
    EXPECT_EQ(Seen(run.transcript), "window open 129 Setup Buttons\n"
                                    "msgbox BRISKARN | Please enter an integer between 1 and 8. | "
                                    "MB_OK|MB_ICONEXCLAMATION\n"
                                    "window close 129 IDCANCEL\n"
                                    "driver report 0 127 0 0 0xF0\n"
                                    "driver report 0 127 0 0 0xB0\n"
                                    "window close 102 IDOK\n");
}

TEST(SetupButtons, ConfirmingAnUnchangedMapStillStoresAndLogsIt) {
    TempDir dir;
    ScenarioRun run = RunScenario(dir, "driver present\nregistry dword "
                                       "HKLM\\Software\\ORMEL Software\\BRISKARN\\Buttons "
                                       "Button1 6\nstart\nclick 1017\nkey enter\nclick 1\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(run.Log().find("RZ4 buttons config: 6, 3, 4, 5. \n"), std::string::npos) << run.Log();
    EXPECT_NE(run.transcript.find("Buttons Button4 5\n"), std::string::npos) << run.transcript;
}

TEST(SetupButtons, ShiftTabWalksBackFromOkThroughTheEditsToCancelAndWrapsRound) {
    // Each edit's arrow keys step its buddy up-down control, which shows
    // where the focus is; the map starts as 2, 3, 4, 5.
    const struct {
        const char* keys;
        const char* outcome;
    } kCases[] = {
        {"shift+tab up shift+tab down enter", "RZ4 buttons config: 2, 3, 3, 6."},
        {"shift+tab shift+tab shift+tab shift+tab up shift+tab shift+tab shift+tab down enter",
         "RZ4 buttons config: 3, 3, 4, 4."},
        {"tab tab tab shift+tab up enter", "RZ4 buttons config: 3, 3, 4, 5."},
        {"tab tab shift+tab shift+tab shift+tab up enter", "RZ4 buttons config: 2, 3, 4, 6."},
        {"shift+tab shift+tab shift+tab shift+tab shift+tab space", "window close 129 IDCANCEL"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.keys);
        std::string scenario = "driver present\nslot 0 wheel interrupt\nstart\nclick 1017\n";
        std::istringstream keys(c.keys);
        for (std::string key; keys >> key;)
            scenario += "key " + key + "\n";
        TempDir dir;
        ScenarioRun run = RunScenario(dir, scenario + "click 1\n");
        ASSERT_EQ(run.exitCode, 0) << run.errors;
        EXPECT_NE(run.transcript.find(c.outcome), std::string::npos) << run.transcript;
    }
}

} // namespace
