// The main dialog's set-up as the log, the driver and the user see it: the
// controllers it finds, the device it picks, the button map it loads, the
// input engine failing, and the About box of the system menu.
#include <string>

#include <gtest/gtest.h>

#include "scenario_run.h"

namespace {

const char kPrefix[] = "07/12/2026 05:58:09-0000 * ";

std::string LogLine(const std::string& text) {
    return std::string(kPrefix) + text + "\n";
}

std::string EmptySlot() {
    return LogLine("Error getting JoyConfig.  Return Code: DIERR_NOMOREITEMS");
}

// How often the log holds `line`.
int Count(const std::string& log, const std::string& line) {
    int count = 0;
    for (std::size_t at = log.find(line); at != std::string::npos; at = log.find(line, at + 1))
        ++count;
    return count;
}

TEST(SetUp, EveryConfiguredSlotIsLoggedAndTheFirstIsTheDevice) {
    struct Case {
        const char* slots;
        std::string configured; // the DIConfig and Init lines, in order
        int emptySlotLines;
    };
    const Case cases[] = {
        {"slot 0 wheel\nslot 1 wheel interrupt buttons=12 name=Rally Wheel\n",
         LogLine("DIConfig #0: Callout = '', Type = 'Simulated Wheel' ") +
             LogLine("DIConfig #1: Callout = '', Type = 'Rally Wheel' ") +
             LogLine("Init: device# 0 [Flags = 0000000B, Type =      104, Axes = 2, Btn = 10]."),
         14},
        // A success code other than 0 counts as not configured, silently.
        {"slot 2 result=1\nslot 3 wheel interrupt buttons=12\n",
         LogLine("DIConfig #3: Callout = '', Type = 'Simulated Wheel' ") +
             LogLine("Init: device# 3 [Flags = 00000001, Type =      104, Axes = 2, Btn = 12]."),
         // Slots before the device are read twice, those after it once.
         2 * 2 + 12},
        {"", LogLine("No DIDevice created."), 32},
    };
    for (const Case& c : cases) {
        TempDir dir;
        ScenarioRun run =
            RunScenario(dir, std::string("driver present\n") + c.slots + "start\nclick 1\n");
        ASSERT_EQ(run.exitCode, 0) << run.errors;
        std::string log = run.Log();
        EXPECT_EQ(Count(log, EmptySlot()), c.emptySlotLines) << c.slots;
        std::string rest;
        for (std::size_t at = 0; at < log.size();) {
            std::size_t end = log.find('\n', at) + 1;
            std::string line = log.substr(at, end - at);
            if (line != EmptySlot() && line.find("Program ") == std::string::npos)
                rest += line;
            at = end;
        }
        EXPECT_EQ(rest, c.configured) << c.slots;
    }
}

TEST(SetUp, AnEngineThatCannotStartEndsTheRunBeforeTheWindowShows) {
    TempDir dir;
    ScenarioRun run = RunScenario(dir, "driver present\nslot 0 wheel\n"
                                       "fail DirectInputCreateA code=0x80004005\nstart\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.Log(), LogLine("Program start. DIReq =  500.") +
                             LogLine("Error Creating DirectInput object.  Return Code: "
                                     "DIERR_GENERIC") +
                             LogLine("Program exit."));
    EXPECT_EQ(run.transcript.find("window open"), std::string::npos) << run.transcript;
}

// The four buttons of the report (A1, A2, B1, B2 in bits 4 to 7, 0 when
// pressed) for each wheel button pressed alone.
std::string ReportedButtons(const std::string& registry, const std::string& presses) {
    TempDir dir;
    ScenarioRun run =
        RunScenario(dir, "driver present\nslot 0 wheel interrupt buttons=128\n" + registry +
                             "start\nclick 1020\n" + presses + "click 1\n");
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    std::string buttons;
    for (std::size_t at = run.transcript.find("driver report"); at != std::string::npos;
         at = run.transcript.find("driver report", at + 1))
        buttons += run.transcript.substr(run.transcript.find("0x", at), 4) + " ";
    return buttons;
}

TEST(SetUp, TheButtonMapComesFromTheRegistryWithItsDefaults) {
    const std::string key = "registry dword HKLM\\Software\\ORMEL Software\\BRISKARN\\Buttons ";
    auto press = [](int button) {
        std::string b = "button" + std::to_string(button);
        return "wheel 0 " + b + "=down\nwheel 0 " + b + "=up\n";
    };
    // No values: 2, 3, 4, 5, not the constructor's 5, 6, 3, 4. The first
    // press comes with the first pass, whose centred axes count as changed
    // too, so it is reported twice.
    EXPECT_EQ(ReportedButtons("", press(2) + press(3) + press(4) + press(5) + press(6)),
              "0xE0 0xE0 0xF0 0xD0 0xF0 0xB0 0xF0 0x70 0xF0 0xF0 0xF0 ");
    // A stored Button1 of 7 and Button4 of 1; the absent Button3 keeps 4.
    EXPECT_EQ(ReportedButtons(key + "Button1 7\n" + key + "Button2 3\n" + key + "Button4 1\n",
                              press(7) + press(4) + press(1)),
              "0xE0 0xE0 0xF0 0xB0 0xF0 0x70 0xF0 ");
    // Numbers the button dialog never gives are used as they are within the
    // wheel's 128 buttons; beyond them they name no button at all.
    EXPECT_EQ(ReportedButtons(key + "Button1 12\n" + key + "Button2 0\n" + key + "Button3 129\n" +
                                  key + "Button4 4294967295\n",
                              press(12) + press(128) + press(1)),
              "0xE0 0xE0 0xF0 0xF0 0xF0 0xF0 0xF0 ");
}

TEST(SetUp, TheSystemMenuOpensTheAboutBoxForCommands0x10To0x1F) {
    for (const char* command : {"0x10", "0x1F", "0x20"}) {
        TempDir dir;
        bool opens = std::string(command) != "0x20";
        ScenarioRun run = RunScenario(
            dir, std::string("driver present\nslot 0 wheel\nstart\nsyscommand ") + command + "\n" +
                     (opens ? "snapshot\nkey enter\n" : "") + "click 1\n");
        ASSERT_EQ(run.exitCode, 0) << command << ": " << run.errors;
        const std::string& t = run.transcript;
        EXPECT_EQ(t.find("[0] window open 100 About ...\n") != std::string::npos, opens) << t;
        if (opens) {
            // The About box is a plain template: its statics' ids are 0xFFFF.
            EXPECT_NE(t.find("control 65535 static text=\"Velomira. Ver. 0.051 (alpha)\""),
                      std::string::npos)
                << t;
            EXPECT_NE(t.find("[0] window close 100 IDOK\n[0] window close 102 IDOK\n"),
                      std::string::npos)
                << t;
        }
    }
}

TEST(SetUp, AGameDeviceThatCannotBeCreatedLeavesTheDialogWorking) {
    TempDir dir;
    ScenarioRun run = RunScenario(dir, "driver present\nslot 0 wheel\n"
                                       "fail IDirectInputA::CreateDevice device=0 code=0x80040154\n"
                                       "start\nclick 1020\nwheel 0 x=0\nadvance 100ms\n"
                                       "click 1020\nclick 1\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    std::string log = run.Log();
    EXPECT_NE(log.find(LogLine("Error creating game device.  Return Code: DIERR_DEVICENOTREG") +
                       LogLine("Init: device# 0 [Flags = 00000000, Type =        0, Axes = 0, "
                               "Btn = 0].")),
              std::string::npos)
        << log;
    EXPECT_NE(log.find(LogLine("RZ4 Callback enabled.")), std::string::npos) << log;
    EXPECT_EQ(run.transcript.find("driver report"), std::string::npos) << run.transcript;
}

} // namespace

// Without its events or its thread the input engine has no worker: the
// interrupt-driven wheel goes unserved, and the run still ends cleanly.
TEST(SetUp, AnEngineWhoseEventOrThreadCannotBeMadeRunsWithoutItsWorkerAndEnds) {
    for (const char* failure : {"fail CreateEventA call=2 code=8", "fail CreateThread code=8"}) {
        TempDir dir;
        ScenarioRun run =
            RunScenario(dir, std::string("driver present\nslot 0 wheel interrupt\n") + failure +
                                 "\nstart\nclick 1020\nwheel 0 x=0\nclick 1\n");
        ASSERT_EQ(run.exitCode, 0) << failure << run.errors;
        EXPECT_EQ(run.transcript.find("message KVDI_"), std::string::npos)
            << failure << run.transcript;
        EXPECT_NE(run.transcript.find("RZ4 Callback enabled."), std::string::npos) << failure;
        EXPECT_EQ(run.transcript.substr(run.transcript.size() - 9), "[0] exit\n") << failure;
    }
}
