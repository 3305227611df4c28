// The Enable button: its caption, the device's notification, the program's
// priorities and their failure boxes, and the log lines, in their order.
#include <string>

#include <gtest/gtest.h>

#include "scenario_run.h"

namespace {

// The transcript from the window's opening to its closing, without the
// lines of the game device search.
std::string WhileOpen(const ScenarioRun& run) {
    std::string t = WithoutGameDeviceSetUp(run.transcript);
    std::size_t begin = t.find("window open 102");
    std::size_t end = t.find("window close 102");
    if (begin == std::string::npos || end == std::string::npos)
        return t;
    begin = t.find('\n', begin) + 1;
    return t.substr(begin, t.rfind('\n', end) + 1 - begin);
}

const char kLog[] = "[0] log 07/12/2026 05:58:09-0000 * ";

TEST(Enable, SwitchingOnAndOffInItsOrderWithAndWithoutADevice) {
    struct Case {
        const char* machine;
        std::string expected;
    };
    const Case cases[] = {
        {"slot 0 wheel polled\n",
         "[0] timer period 2\n[0] timer start 1 20 2\n"
         "[0] priority class HIGH_PRIORITY_CLASS\n[0] priority thread "
         "THREAD_PRIORITY_ABOVE_NORMAL\n" +
             std::string(kLog) + "RZ4 Callback enabled.\\n\n" +
             "[0] control 1020 checkbox text=\"Disable\" checked=1 visible=1 enabled=1\n"
             "[0] priority class NORMAL_PRIORITY_CLASS\n[0] priority thread "
             "THREAD_PRIORITY_NORMAL\n"
             "[0] timer kill 1\n" +
             kLog + "RZ4 Callback disabled.\\n\n" +
             "[0] control 1020 checkbox text=\"Enable\" checked=0 visible=1 enabled=1\n"},
        // No device: device number 0 answers no, and the lines are written all the same.
        {"", "[0] priority class HIGH_PRIORITY_CLASS\n[0] priority thread "
             "THREAD_PRIORITY_ABOVE_NORMAL\n" +
                 std::string(kLog) + "RZ4 Callback enabled.\\n\n" +
                 "[0] control 1020 checkbox text=\"Disable\" checked=1 visible=1 enabled=1\n"
                 "[0] priority class NORMAL_PRIORITY_CLASS\n[0] priority thread "
                 "THREAD_PRIORITY_NORMAL\n" +
                 kLog + "RZ4 Callback disabled.\\n\n" +
                 "[0] control 1020 checkbox text=\"Enable\" checked=0 visible=1 enabled=1\n"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        ScenarioRun run = RunScenario(dir, std::string("driver present\n") + c.machine +
                                               "start\nclick 1020\nsnapshot\nclick 1020\n"
                                               "snapshot\nclick 1\n");
        ASSERT_EQ(run.exitCode, 0) << run.errors;
        std::string seen;
        std::string t = WhileOpen(run);
        for (std::size_t at = 0; at < t.size();) { // of the snapshots, the Enable button only
            std::size_t end = t.find('\n', at) + 1;
            std::string line = t.substr(at, end - at);
            if (line.find("] control ") == std::string::npos ||
                line.find("control 1020 ") != std::string::npos)
                seen += line;
            at = end;
        }
        EXPECT_EQ(seen, c.expected) << c.machine;
    }
}

TEST(Enable, EachRefusedPriorityIsLoggedThenShownAndWheelChangesGoOnMeanwhile) {
    struct Case {
        const char* refusal;
        std::string expected;
    };
    const std::string change = "[0] message KVDI_GAMEDEVICECHANGED 0\n"
                               "[0] message KVDI_DEVICEAXISCHANGED 0\n"
                               "[0] driver status 2048 0\n"
                               "[0] driver report 0 127 0 0 0xF0\n"
                               "[0] message KVDI_DEVICEPOVCHANGED 0\n";
    const Case cases[] = {
        // The thread's priority is not tried once the class was refused.
        {"priority class fails\n", "[0] priority class HIGH_PRIORITY_CLASS failed\n" +
                                       std::string(kLog) +
                                       "Failed to set process priority class.\\n\n"
                                       "[0] msgbox Error | Failed to set process priority class. | "
                                       "MB_OK|MB_ICONEXCLAMATION\n" +
                                       change + kLog + "RZ4 Callback enabled.\\n\n"},
        {"priority thread fails\n",
         "[0] priority class HIGH_PRIORITY_CLASS\n"
         "[0] priority thread THREAD_PRIORITY_ABOVE_NORMAL failed\n" +
             std::string(kLog) + "Failed to set thread priority.\\n\n" +
             "[0] msgbox Error | Failed to set thread priority. | MB_OK|MB_ICONEXCLAMATION\n" +
             change + kLog + "RZ4 Callback enabled.\\n\n"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        ScenarioRun run =
            RunScenario(dir, std::string("driver present\nslot 0 wheel interrupt\n") + c.refusal +
                                 "start\nclick 1020\nwheel 0 x=100\nanswer ok\n"
                                 "click 1\n");
        ASSERT_EQ(run.exitCode, 0) << run.errors;
        EXPECT_EQ(WhileOpen(run), c.expected) << c.refusal;
    }
}

} // namespace
