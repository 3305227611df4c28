// The scenario runner itself: malformed steps and steps that cannot be
// carried out end the run with a reason that names the line.
#include <gtest/gtest.h>

#include <cstdlib>

#include "scenario_run.h"

TEST(ScenarioFormat, BadStepsFailWithTheirLineNumber) {
    struct Case {
        const char* scenario;
        const char* error;
    };
    const Case cases[] = {
        {"driver present\n\n# comment\nfrobnicate\n",
         "scenario line 4: unknown step 'frobnicate'\n"},
        {"clock 2026-02-30 00:00:00.000\n",
         "scenario line 1: expected 'clock YYYY-MM-DD HH:MM:SS.mmm'\n"},
        {"driver present gamemax=0x1FFFFFFFF\n", "scenario line 1: value does not fit 32 bits\n"},
        {"driver present speed=3\n", "scenario line 1: unexpected 'speed=3'\n"},
        {"driver present\nstart\nanswer ok\n", "scenario line 3: no message box is open\n"},
        {"driver present\nstart\nclick 1020\nclick 2\n",
         "scenario line 4: the active window shows no control 2\n"},
        {"driver present\nstart\n",
         "scenario line 3: the scenario ended while BRISKARN is still running\n"},
        {"driver present\nstart\nclick 1\nclick 1\n", "scenario line 4: BRISKARN has ended\n"},
        {"driver present\nstart\nclick 1\nstart\n", "scenario line 4: BRISKARN has ended\n"},
        {"driver present\nstart\nstart\n", "scenario line 3: BRISKARN has already been started\n"},
        {"driver absent\nstart\nanswer cancel\n",
         "scenario line 3: the message box has no such button\n"},
        {"slot 16 wheel\n", "scenario line 1: expected 'slot N ...' with N from 0 to 15\n"},
        {"slot 0 wheel polled buttons=129\n",
         "scenario line 1: a wheel has at most 128 buttons and 4 hats\n"},
        {"slot 0 wheel\nslot 0 object Rudder type=2\n",
         "scenario line 2: expected 'slot N object NAME type=T offset=O'\n"},
        {"slot 1 object Rudder type=2 offset=8\n", "scenario line 1: slot 1 holds no device\n"},
        {"wheel 3 x=1\n", "scenario line 1: slot 3 holds no device\n"},
        {"slot 3 wheel\nwheel 3 button0=down\n", "scenario line 2: unexpected 'button0=down'\n"},
        {"slot 3 wheel\nwheel 3 button129=down\n",
         "scenario line 2: unexpected 'button129=down'\n"},
        {"slot 3 wheel\nwheel 3 button1=256\n", "scenario line 2: unexpected 'button1=256'\n"},
        {"keyboard down 256\n",
         "scenario line 1: expected 'keyboard down CODE' or 'keyboard up CODE' (a scan code, 0 "
         "to 255)\n"},
        {"fail IDirectInputA::CreateDevice call=0 code=1\n",
         "scenario line 1: unexpected 'call=0'\n"},
        {"fail IDirectInputA::CreateDevice\n",
         "scenario line 1: expected 'fail IFACE::METHOD [device=N] [call=K|every] code=CODE'\n"},
        {"timer caps min=x\n", "scenario line 1: unexpected 'min=x'\n"},
        {"driver present\nstart\nspin 1018 up\n",
         "scenario line 3: control 1018 is not an up-down control\n"},
        {"driver present\nstart\nspin 1018 sideways\n",
         "scenario line 3: expected 'spin ID up|down'\n"},
        {"driver present\nstart\ntype 1017 x\n", "scenario line 3: control 1017 is not an edit\n"},
        {"type\n", "scenario line 1: expected 'type ID TEXT'\n"},
        {"timer stop\n",
         "scenario line 1: expected 'timer caps min=N max=N', 'timer caps fail' or 'timer set "
         "fails'\n"},
        {"signal STOP\n", "scenario line 1: expected 'signal NAME' with a signal that ends a "
                          "process, e.g. INT, TERM, KILL\n"},
        {"driver present\nstart\nsignal INT\nclick 1\n",
         "scenario line 4: a step after the signal that ended the run\n"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        ScenarioRun run = RunScenario(dir, c.scenario);
        EXPECT_EQ(run.exitCode, 2) << c.scenario;
        EXPECT_EQ(run.errors, c.error) << c.scenario;
    }
}

// A failure that could never happen would let a failure test pass without
// testing anything.
TEST(ScenarioFormat, FailRefusesAMethodOrDeviceTheMachineDoesNotHave) {
    struct Case {
        const char* scenario;
        const char* error;
    };
    const char* kHas = "'; it has ";
    const Case cases[] = {
        {"fail Nonsense code=1\n", "scenario line 1: the machine has no method 'Nonsense"},
        {"fail IDirectInputDevice2A::GetDeviceStat code=1\n",
         "scenario line 1: the machine has no method 'IDirectInputDevice2A::GetDeviceStat"},
        {"slot 0 wheel\nfail IDirectInputDevice2A::GetDeviceState device=1 code=1\n",
         "scenario line 2: slot 1 holds no device\n"},
        {"slot 0 wheel\nfail DirectInputCreateA device=0 code=1\n",
         "scenario line 2: DirectInputCreateA concerns no game device\n"},
        {"slot 0 wheel\nfail CreateThread device=0 code=8\n",
         "scenario line 2: CreateThread concerns no game device\n"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        ScenarioRun run = RunScenario(dir, c.scenario);
        EXPECT_EQ(run.exitCode, 2) << c.scenario;
        EXPECT_EQ(run.errors.rfind(c.error, 0), 0u) << c.scenario << run.errors;
        // An unknown name is answered with the names there are.
        if (run.errors.find(kHas) == std::string::npos)
            continue;
        for (const char* known : {"IDirectInputDevice2A::GetDeviceState, ",
                                  "IDirectInputJoyConfig::GetConfig, ", "CreateEventA, "})
            EXPECT_NE(run.errors.find(known), std::string::npos) << known << run.errors;
    }
    TempDir dir;
    ScenarioRun run = RunScenario(dir, "slot 3 wheel\n"
                                       "fail IDirectInputJoyConfig::GetConfig device=9 code=1\n"
                                       "fail IDirectInputDeviceA::Acquire device=3 code=1\n"
                                       "fail CreateEventA call=every code=8\n");
    EXPECT_EQ(run.exitCode, 0) << run.errors;
}

TEST(ScenarioFormat, ScenarioWithoutStartRunsNothing) {
    TempDir dir;
    ScenarioRun run = RunScenario(dir, "clock 2026-01-01 00:00:00.000\ndriver absent error=5\n"
                                       "slot 0 wheel interrupt buttons=12 povs=2 name=Big Wheel\n"
                                       "slot 0 object \"Rudder pedal\" type=2 offset=8\n"
                                       "slot 1 result=-2147024637\nwheel 0 x=-5 pov1=9000 "
                                       "button12=down button1=3\nkeyboard down 0x1E\n"
                                       "fail IDirectInputDevice2A::GetDeviceState device=0 "
                                       "call=every code=0x8007001E\nfail DirectInputCreateA "
                                       "code=0x80004005\ntimer caps min=1 max=10\n"
                                       "timer caps fail\ntimer set fails\n");
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.transcript, "");
    EXPECT_FALSE(dir.Exists("Briskarn.log"));
}

// As the live session it replays ended: the program neither told to close
// nor torn down, and the scenario carried out.
TEST(ScenarioFormat, ASignalStepEndsTheRunThereWithTheProgramAsItWas) {
    TempDir dir;
    ScenarioRun run = RunScenario(dir, "driver present\nstart\nadvance 40ms\nsignal TERM\n");
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_NE(run.transcript.find("driver open"), std::string::npos) << run.transcript;
    EXPECT_EQ(run.transcript.find("exit"), std::string::npos) << run.transcript;
    EXPECT_EQ(run.Log().find("Program exit."), std::string::npos) << run.Log();
}

TEST(ScenarioFormat, TypeTakesTheRestOfTheLineAndQuotesKeepItsBlanks) {
    TempDir dir;
    // A "#" inside quotes starts no comment; a quote that never closes quotes nothing.
    ScenarioRun run =
        RunScenario(dir, "driver present\nstart\ntype 1018   a b  \nsnapshot\n"
                         "type 1019 \" 7 \"\nsnapshot\ntype 1018\nsnapshot\n"
                         "type 1018 \"a #b\" # a comment\ntype 1019 \"5 #c\nsnapshot\nclick 1\n");
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    for (const char* line : {"control 1018 edit text=\"a b\"", "control 1019 edit text=\" 7 \"",
                             "control 1018 edit text=\"\"", "control 1018 edit text=\"a #b\"",
                             "control 1019 edit text=\"\\\"5\""})
        EXPECT_NE(run.transcript.find(line), std::string::npos) << line << "\n" << run.transcript;
}

TEST(ScenarioFormat, AScenarioOrTranscriptThatCannotBeHadIsAFailure) {
    TempDir dir;
    dir.Write("run.txt", "driver present\nstart\nclick 1\n");
    dir.Write("machine.txt", "driver present\nfrobnicate\n");
    ASSERT_EQ(
        std::system(
            ("mkdir '" + dir.path() + "/folder' && mkfifo '" + dir.path() + "/pipe'").c_str()),
        0);
    struct Case {
        const char* arguments;
        const char* error;
    };
    const Case cases[] = {
        {"--scenario folder", "briskarn: cannot read scenario folder: not a regular file\n"},
        {"--scenario pipe", "briskarn: cannot read scenario pipe: not a regular file\n"},
        {"--scenario /dev/zero", "briskarn: cannot read scenario /dev/zero: not a regular file\n"},
        {"--scenario missing.txt",
         "briskarn: cannot read scenario missing.txt: No such file or directory\n"},
        {"--scenario run.txt --transcript /dev/full",
         "briskarn: cannot write the transcript: No space left on device\n"},
        {"--transcript /dev/full",
         "briskarn: cannot write the transcript: No space left on device\n"},
        {"--record /dev/full", "briskarn: cannot write the recording: No space left on device\n"},
        {"--scenario run.txt --transcript folder", "briskarn: cannot write transcript folder\n"},
        {"--machine machine.txt", "machine.txt line 2: unknown step 'frobnicate'\n"},
    };
    for (const Case& c : cases) {
        std::string errors;
        EXPECT_EQ(RunBriskarn(dir, c.arguments, &errors), 2) << c.arguments;
        EXPECT_EQ(errors, c.error) << c.arguments;
    }
    // A command line that is none of the usages names its fault before the usage.
    const Case refused[] = {
        {"--bogus", "briskarn: unknown option --bogus\nusage: "},
        {"--scenario", "briskarn: --scenario needs a file\nusage: "},
        {"--scenario run.txt --transcript ./run.txt", "briskarn: will not write over run.txt\n"},
        {"--machine run.txt --record run.txt", "briskarn: will not write over run.txt\n"},
    };
    for (const Case& c : refused) {
        std::string errors;
        EXPECT_EQ(RunBriskarn(dir, c.arguments, &errors), 2) << c.arguments;
        EXPECT_EQ(errors.rfind(c.error, 0), 0u) << c.arguments << "\n" << errors;
    }
    EXPECT_EQ(dir.Read("run.txt"), "driver present\nstart\nclick 1\n");
    // A scenario past any sensible size is refused, not read into memory whole.
    std::string big(17u << 20, '#');
    dir.Write("big.txt", big);
    std::string errors;
    EXPECT_EQ(RunBriskarn(dir, "--scenario big.txt", &errors), 2);
    EXPECT_EQ(errors, "briskarn: cannot read scenario big.txt: larger than 16 MiB\n");
}
