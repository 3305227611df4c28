// The wheel's changes on their way through the input engine and the main
// dialog to the driver, as the driver, the screen and the log see them.
#include <string>

#include <gtest/gtest.h>

#include "scenario_run.h"

namespace {

// The lines from the first one holding `from` up to the first one after it
// holding `to`, both included.
std::string Between(const std::string& text, const std::string& from, const std::string& to) {
    std::size_t begin = text.find(from);
    if (begin == std::string::npos)
        return "";
    begin = text.rfind('\n', begin) + 1;
    std::size_t end = text.find(to, begin + from.size());
    end = end == std::string::npos ? text.size() : text.find('\n', end) + 1;
    return text.substr(begin, end - begin);
}

// The text the last snapshot showed in control `id`.
std::string Shown(const std::string& transcript, int id) {
    std::string marker = "control " + std::to_string(id) + " ";
    std::size_t at = transcript.rfind(marker);
    if (at == std::string::npos)
        return "<none>";
    std::size_t start = transcript.find("text=\"", at) + 6;
    return transcript.substr(start, transcript.find('"', start) - start);
}

std::string Checked(const std::string& transcript, int id) {
    std::size_t at = transcript.rfind("control " + std::to_string(id) + " ");
    std::size_t start = transcript.find("checked=", at) + 8;
    return transcript.substr(start, transcript.find(' ', start) - start);
}

TEST(Forwarding, APolledWheelsChangesReachTheDriverEveryTwentyMilliseconds) {
    TempDir dir;
    ScenarioRun run = RunScenario(dir, "driver present gamemax=2048 count=7\n"
                                       "slot 0 wheel polled\n"
                                       "start\n"
                                       "click 1020\n"
                                       "advance 20ms\n"
                                       "wheel 0 x=16384 y=49151 button3=down\n"
                                       "advance 20ms\n"
                                       "wheel 0 pov0=9000\n"
                                       "advance 20ms\n"
                                       "snapshot\n"
                                       "click 1020\n"
                                       "click 1\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::string& t = run.transcript;
    // The first pass compares with nothing seen: the centred axes and hat
    // count as changed. The curve takes 16384 to 16703 and 49151 to 48832,
    // which GameMax 2048 scales to 65 and 190. Button 3 is A button 2 in
    // the map loaded at set-up (2, 3, 4, 5): its bit goes to 0. A pass with
    // an axis and a button sends two reports; a hat alone sends none.
    EXPECT_EQ(Between(t, "[0] timer period", "[60] message KVDI_DEVICEPOVCHANGED"),
              "[0] timer period 2\n"
              "[0] timer start 1 20 2\n"
              "[0] priority class HIGH_PRIORITY_CLASS\n"
              "[0] priority thread THREAD_PRIORITY_ABOVE_NORMAL\n"
              "[0] log 07/12/2026 05:58:09-0000 * RZ4 Callback enabled.\\n\n"
              "[20] message KVDI_GAMEDEVICECHANGED 0\n"
              "[20] message KVDI_DEVICEAXISCHANGED 0\n"
              "[20] driver status 2048 7\n"
              "[20] driver report 127 127 0 0 0xF0\n"
              "[20] message KVDI_DEVICEPOVCHANGED 0\n"
              "[40] message KVDI_GAMEDEVICECHANGED 0\n"
              "[40] message KVDI_DEVICEAXISCHANGED 0\n"
              "[40] driver status 2048 7\n"
              "[40] driver report 65 190 0 0 0xD0\n"
              "[40] message KVDI_DEVICEBUTTONCHANGED 0\n"
              "[40] driver status 2048 7\n"
              "[40] driver report 65 190 0 0 0xD0\n"
              "[60] message KVDI_GAMEDEVICECHANGED 0\n"
              "[60] message KVDI_DEVICEPOVCHANGED 0\n");
    EXPECT_EQ(Shown(t, 1001), "65");
    EXPECT_EQ(Shown(t, 1002), "190");
    EXPECT_EQ(Shown(t, 1018), "2048");
    EXPECT_EQ(Shown(t, 1019), "7");
    EXPECT_EQ(Shown(t, 1021), "3");
    EXPECT_EQ(Shown(t, 1020), "Disable");
    EXPECT_NE(Checked(t, 1007), "0"); // wheel button 3
    EXPECT_EQ(Checked(t, 1006), "0");
    EXPECT_EQ(Between(t, "[60] priority class", "window close"),
              "[60] priority class NORMAL_PRIORITY_CLASS\n"
              "[60] priority thread THREAD_PRIORITY_NORMAL\n"
              "[60] timer kill 1\n"
              "[60] log 07/12/2026 05:58:09-0060 * RZ4 Callback disabled.\\n\n"
              "[60] window close 102 IDOK\n");
}

TEST(Forwarding, AnInterruptDrivenWheelIsServedAtOnceAndTheFieldsShowWhatWasSent) {
    TempDir dir;
    ScenarioRun run = RunScenario(dir, "driver present gamemax=10 count=2147483648\n"
                                       "slot 0 wheel interrupt\n"
                                       "start\n"
                                       "click 1020\n"
                                       "wheel 0 x=0 y=65535 button1=down button10=down\n"
                                       "snapshot\n"
                                       "click 1\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::string& t = run.transcript;
    // No clock advance: the device's event wakes the input worker.
    EXPECT_NE(t.find("[0] driver report 0 255 0 0 0xF0\n"), std::string::npos) << t;
    EXPECT_EQ(t.find("timer start"), std::string::npos);
    // GameMax below 16 counts as 2048; every field is written signed.
    EXPECT_EQ(Shown(t, 1018), "2048");
    EXPECT_EQ(Shown(t, 1019), "-2147483648");
    EXPECT_NE(Checked(t, 1005), "0");
    EXPECT_NE(Checked(t, 1014), "0");
    EXPECT_EQ(Checked(t, 1013), "0");
}

} // namespace

namespace {

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

} // namespace

// A slot made anew while the program reads its wheel is that wheel unplugged
// and another plugged in: the program's device is lost for good, which its
// log says at every read, and the new wheel goes unread.
TEST(Forwarding, AWheelPluggedAnewLeavesTheProgramsDeviceLost) {
    const struct {
        const char* kind;
        std::size_t lostReads; // in the 40 ms after the unplug
    } kCases[] = {{"polled", 2}, {"interrupt", 1}};
    for (const auto& c : kCases) {
        TempDir dir;
        std::string kind = c.kind;
        ScenarioRun run =
            RunScenario(dir, "driver present\nslot 0 wheel " + kind +
                                 "\nstart\nclick 1020\nwheel 0 x=40000\nadvance 20ms\n"
                                 "slot 0 wheel " +
                                 kind + "\nwheel 0 x=0\nadvance 40ms\nclick 1\n");
        ASSERT_EQ(run.exitCode, 0) << run.errors;
        std::string replug = run.transcript.substr(run.transcript.find("RZ4 Callback enabled"));
        EXPECT_EQ(Count(replug, "Error getting game device state.  Return Code: DIERR_INPUTLOST"),
                  c.lostReads)
            << kind << "\n"
            << run.transcript;
        EXPECT_EQ(Count(replug, "driver report"), 1u) << kind << ": only the move before";
    }
}
