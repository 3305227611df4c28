// A whole run of BRISKARN as the user, the driver and the log see it.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "scenario_run.h"

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace

TEST(RunCycle, MissingDriverShowsOneBoxLogsTheFailureAndOpensNoWindow) {
    TempDir dir;
    ScenarioRun run = RunScenario(dir, "driver absent error=1158\n"
                                       "start\n"
                                       "answer ok\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.transcript,
              "[0] log 07/12/2026 05:58:09-0000 * Program start. DIReq =  500.\\n\n"
              "[0] driver open failed 1158\n"
              "[0] msgbox BRISKARN | Failed to load device BRISKARN.VXD, errcode = 486 (1158). | "
              "MB_OK|MB_ICONEXCLAMATION\n"
              "[0] log 07/12/2026 05:58:09-0000 * Failed to load VXD.\\n\n"
              "[0] exit\n");
    EXPECT_EQ(run.Log(), "07/12/2026 05:58:09-0000 * Program start. DIReq =  500.\n"
                         "07/12/2026 05:58:09-0000 * Failed to load VXD.\n");
}

TEST(RunCycle, CloseLogsTheExitBeforeTheDriverIsClosedOnce) {
    TempDir dir;
    ScenarioRun run = RunScenario(dir, "driver present\n"
                                       "start\n"
                                       "click 1\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(WithoutGameDeviceSetUp(run.transcript),
              "[0] log 07/12/2026 05:58:09-0000 * Program start. DIReq =  500.\\n\n"
              "[0] driver open\n"
              "[0] window open 102 Velomira\n"
              "[0] window close 102 IDOK\n"
              "[0] log 07/12/2026 05:58:09-0000 * Program exit.\\n\n"
              "[0] driver close\n"
              "[0] exit\n");
}

// Nothing happens to a program that has ended: a later step is refused,
// and the static objects go at the end of the program, not of the scenario.
TEST(RunCycle, AStepAfterTheProgramHasEndedIsRefusedAndTheTeardownDoesNotWaitForIt) {
    TempDir dir;
    ScenarioRun run = RunScenario(dir, "driver present\nslot 0 wheel\nstart\nclick 1020\n"
                                       "advance 20ms\nclick 1\n"
                                       "fail IDirectInputDevice2A::GetDeviceState call=every "
                                       "code=0x8007001E\nadvance 1100ms\n");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.errors, "scenario line 7: BRISKARN has ended\n");
    std::string transcript = run.transcript;
    std::size_t exit = transcript.find("* Program exit.");
    ASSERT_NE(exit, std::string::npos) << transcript;
    EXPECT_EQ(transcript.substr(transcript.find('\n', exit) + 1),
              "[20] driver close\n[20] timer kill 1\n[20] exit\n");
    std::string log = run.Log();
    EXPECT_EQ(log.substr(log.size() - 16), "* Program exit.\n") << log;
}

// Copies started at once in one folder share its log: each entry stays a
// whole line, and none is lost.
TEST(RunCycle, CopiesWritingOneLogAtOnceLeaveEveryEntryWhole) {
    const char* scenario = "driver present\nstart\nclick 1\n";
    TempDir alone, shared;
    ASSERT_EQ(RunScenario(alone, scenario).exitCode, 0);
    std::vector<std::string> entries = Lines(alone.Read("Briskarn.log"));
    shared.Write("run.txt", scenario);
    const int kCopies = 20;
    std::vector<std::thread> copies;
    std::vector<int> exitCodes(kCopies, -1);
    for (int i = 0; i < kCopies; ++i)
        copies.emplace_back([&, i] {
            std::string errors;
            exitCodes[i] = RunBriskarn(
                shared, "--scenario run.txt --transcript t" + std::to_string(i) + ".txt", &errors);
        });
    for (std::thread& copy : copies)
        copy.join();
    EXPECT_EQ(exitCodes, std::vector<int>(kCopies, 0));
    std::multiset<std::string> expected, found;
    for (int i = 0; i < kCopies; ++i)
        expected.insert(entries.begin(), entries.end());
    for (const std::string& line : Lines(shared.Read("Briskarn.log")))
        found.insert(line);
    EXPECT_TRUE(found == expected) << shared.Read("Briskarn.log");
}

TEST(RunCycle, EnterEndsWithOkAndEscapeWithCancel) {
    struct Case {
        const char* key;
        const char* result;
    };
    for (Case c : {Case{"enter", "IDOK"}, Case{"escape", "IDCANCEL"}}) {
        TempDir dir;
        ScenarioRun run =
            RunScenario(dir, std::string("driver present\nstart\nkey ") + c.key + "\n");
        ASSERT_EQ(run.exitCode, 0) << c.key << ": " << run.errors;
        EXPECT_NE(run.transcript.find(std::string("[0] window close 102 ") + c.result + "\n"),
                  std::string::npos)
            << c.key << ":\n"
            << run.transcript;
        EXPECT_NE(run.transcript.find("Program exit."), std::string::npos) << c.key;
    }
}

TEST(RunCycle, LogEntriesCarryTheVirtualLocalTimeAndExtendAnEarlierLog) {
    TempDir dir;
    dir.Write("Briskarn.log", "earlier run\n");
    ScenarioRun run = RunScenario(dir, "clock 2026-12-07 05:58:09.123\n"
                                       "driver present\n"
                                       "start\n"
                                       "advance 1s\n"
                                       "click 1\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(WithoutGameDeviceSetUp(run.Log()),
              "earlier run\n"
              "07/12/2026 05:58:09-0123 * Program start. DIReq =  500.\n"
              "07/12/2026 05:58:10-0123 * Program exit.\n");
    EXPECT_NE(run.transcript.find("[1000] window close 102 IDOK\n"), std::string::npos)
        << run.transcript;
}

TEST(RunCycle, TheLogFollowsWindowsFileRulesOfCaseAndReadOnly) {
    const char* scenario = "clock 2026-12-07 05:58:09.000\ndriver present\nstart\nclick 1\n";
    const std::string entries = "07/12/2026 05:58:09-0000 * Program start. DIReq =  500.\n"
                                "07/12/2026 05:58:09-0000 * Program exit.\n";
    {
        // Windows file names ignore case: an existing briskarn.log is the program's log.
        TempDir dir;
        dir.Write("briskarn.log", "earlier run\n");
        ScenarioRun run = RunScenario(dir, scenario);
        ASSERT_EQ(run.exitCode, 0) << run.errors;
        EXPECT_EQ(WithoutGameDeviceSetUp(dir.Read("briskarn.log")), "earlier run\n" + entries);
        EXPECT_FALSE(dir.Exists("Briskarn.log"));
    }
    {
        // A read-only log stays as it is, even for root.
        TempDir dir;
        dir.Write("Briskarn.log", "kept\n");
        ASSERT_EQ(::chmod(dir.File("Briskarn.log").c_str(), 0444), 0);
        ScenarioRun run = RunScenario(dir, scenario);
        ASSERT_EQ(run.exitCode, 0) << run.errors;
        EXPECT_EQ(dir.Read("Briskarn.log"), "kept\n");
        EXPECT_EQ(run.transcript.find("log "), std::string::npos) << run.transcript;
    }
}
