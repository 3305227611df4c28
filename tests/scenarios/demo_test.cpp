// The demo: the machine file it starts from, and its run without a
// terminal, which must show forwarding at work from start to exit.
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "scenario_run.h"
#include "sim/demo.h"

namespace {

TEST(Demo, AMachineDescriptionMayNotStartTheProgram) {
    const struct {
        const char* machine;
        const char* refusedLine; // null: accepted
    } kCases[] = {
        {hosted::kDemoMachine, nullptr},
        {"", nullptr},
        {"driver present\n# start\nslot 0 wheel polled # then start\n", nullptr},
        {"start\n", "line 1: "},
        {"driver present\n\n  start   # too early\nslot 0 wheel\n", "line 3: "},
        {"driver present\nsignal INT\n", "line 2: "},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.machine);
        std::string reason;
        EXPECT_EQ(hosted::CheckMachineText(c.machine, &reason), c.refusedLine == nullptr);
        if (c.refusedLine) {
            EXPECT_EQ(reason.rfind(c.refusedLine, 0), 0u) << reason;
        }
    }
}

TEST(Demo, TheDemoRunForwardsTheSteeredWheelFromEnableToExit) {
    // The shipped machine, and one whose last line has no line end.
    for (const char* machine : {hosted::kDemoMachine, "driver present\nslot 0 wheel polled"}) {
        SCOPED_TRACE(machine);
        TempDir dir;
        ScenarioRun run = RunScenario(dir, hosted::DemoScenario(machine, 3));
        ASSERT_EQ(run.exitCode, 0) << run.errors;
        const std::string& t = run.transcript;
        std::size_t enabled = t.find("* RZ4 Callback enabled.");
        ASSERT_NE(enabled, std::string::npos) << t;
        std::size_t exited = t.find("* Program exit.");
        EXPECT_TRUE(exited != std::string::npos && exited > enabled) << t;
        EXPECT_TRUE(t.size() > 6 && t.compare(t.size() - 6, 6, " exit\n") == 0) << t;

        std::set<int> xs, ys;
        std::set<std::string> buttons;
        std::istringstream lines(t.substr(enabled));
        for (std::string line; std::getline(lines, line);) {
            std::istringstream words(line);
            std::string time, driver, report, rest1, rest2, bits;
            int x = 0, y = 0;
            if (words >> time >> driver >> report >> x >> y >> rest1 >> rest2 >> bits &&
                driver == "driver" && report == "report") {
                xs.insert(x);
                ys.insert(y);
                buttons.insert(bits);
            }
        }
        EXPECT_GT(xs.size(), 10u);
        EXPECT_GT(ys.size(), 10u);
        EXPECT_GE(buttons.size(), 2u);
    }
}

} // namespace
