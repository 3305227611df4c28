// The virtual local time over the whole range a SYSTEMTIME holds: exact on
// either side of 1970, refused beyond it, whether set or reached by advancing.
#include <gtest/gtest.h>

#include "scenario_run.h"

TEST(Clock, LocalTimesBeforeAndAfter1970ComeOutExactly) {
    struct Case {
        const char* clock;
        const char* advance;
        const char* start;
        const char* exit;
    };
    const Case cases[] = {
        {"1969-12-31 23:59:59.000", "1s", "31/12/1969 23:59:59-0000", "01/01/1970 00:00:00-0000"},
        {"1969-12-31 23:59:59.999", "2ms", "31/12/1969 23:59:59-0999", "01/01/1970 00:00:00-0001"},
        {"1601-01-01 00:00:00.000", "86400s", "01/01/1601 00:00:00-0000",
         "02/01/1601 00:00:00-0000"},
        {"30827-12-31 23:59:58.500", "1499ms", "31/12/30827 23:59:58-0500",
         "31/12/30827 23:59:59-0999"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        ScenarioRun run =
            RunScenario(dir, std::string("clock ") + c.clock + "\ndriver present\nstart\nadvance " +
                                 c.advance + "\nclick 1\n");
        ASSERT_EQ(run.exitCode, 0) << c.clock << ": " << run.errors;
        EXPECT_EQ(WithoutGameDeviceSetUp(run.Log()), std::string(c.start) +
                                                         " * Program start. DIReq =  500.\n" +
                                                         c.exit + " * Program exit.\n")
            << c.clock;
    }
}

TEST(Clock, TimesASystemTimeCannotHoldAreScenarioErrors) {
    const char* badClock = "scenario line 1: expected 'clock YYYY-MM-DD HH:MM:SS.mmm'\n";
    struct Case {
        std::string scenario;
        std::string error;
    };
    std::string manyAdvances = "clock 2026-01-01 00:00:00.000\n";
    for (int i = 0; i < 900; ++i)
        manyAdvances += "advance 1099511627776ms\n";
    const Case cases[] = {
        {"clock -001-01-01 00:00:00.000\n", badClock},
        {"clock 2026-01-01 00:00:00.-01\n", badClock},
        {"clock 2026-01-01 00:00:00.-1\n", badClock},
        {"clock 2026-01-01 00:00:-1.000\n", badClock},
        {"clock 1600-12-31 23:59:59.999\n", badClock},
        {"clock 30828-01-01 00:00:00.000\n", badClock},
        {"clock +2026-01-01 00:00:00.000\n", badClock},
        {"clock 2026-01-01 00:00:00.0000\n", badClock},
        {"clock 2026-1-01 00:00:00.000\n", badClock},
        {"advance 1099511627776s\n",
         "scenario line 1: advance 1099511627776s takes the local time past the year 30827\n"},
        {"clock 30827-12-31 23:59:59.999\nadvance 1ms\n",
         "scenario line 2: advance 1ms takes the local time past the year 30827\n"},
        {manyAdvances,
         "scenario line 828: advance 1099511627776ms takes the local time past the year 30827\n"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        ScenarioRun run = RunScenario(dir, c.scenario);
        EXPECT_EQ(run.exitCode, 2) << c.scenario.substr(0, 60);
        EXPECT_EQ(run.errors, c.error) << c.scenario.substr(0, 60);
    }
}
