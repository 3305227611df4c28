// The README's sample screen is the one the program draws: the demo machine
// with forwarding on and the autopilot steering for two seconds, at the
// smallest size that has the panels beside the window. Run with
// BRISKARN_WRITE_README=1 to write the README's sample afresh.
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <windows.h>

#include "resources/resource.h"
#include "sim/demo.h"
#include "sim/runner.h"
#include "sim/session.h"
#include "sim/wheel_pose.h"
#include "temp_dir.h"
#include "term/front_end_state.h"
#include "term/front_screen.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);

namespace {

using namespace hosted;
using namespace hosted::term;

// The panels beside the main dialog need this much.
constexpr int kSampleWidth = 111, kSampleHeight = 33;
const char kFence[] = "```text\n";

void Do(LiveSession& session, const std::string& line) {
    std::string error;
    EXPECT_EQ(session.Do(line, &error), StepOutcome::Done) << line << ": " << error;
}

std::string DrawDemo() {
    std::string screen;
    RunSettings settings;
    int code = RunProgram(settings, &WinMain, [&] {
        LiveSession session;
        std::istringstream machine(kDemoMachine);
        for (std::string line; std::getline(machine, line);)
            if (!ParseScenario(line).empty())
                Do(session, line);
        Do(session, "start");
        Do(session, "click " + std::to_string(IDC_ENABLE));
        g_front.autopilot = true;
        WheelPose pose;
        for (std::int64_t ms = 0; ms < 2000; ms += kAutopilotPeriodMs) {
            WheelPose next = AutopilotPose(ms);
            std::string line = WheelStepLine(0, pose, next);
            if (!line.empty())
                Do(session, line);
            Do(session, "advance " + std::to_string(kAutopilotPeriodMs) + "ms");
            pose = next;
            GatherScreenParts(); // as the screen is drawn after every pass
        }
        ScreenLayout layout;
        screen = ComposeScreen(kSampleWidth, kSampleHeight, GatherScreenParts(), &layout).Text();
        Do(session, "key escape");
    });
    EXPECT_EQ(code, 0);
    return screen;
}

TEST(ReadmeScreen, TheReadmesSampleIsTheScreenTheProgramDraws) {
    std::string screen;
    {
        TempDir dir;
        CurrentDirectory here(dir.path());
        screen = DrawDemo();
    }
    std::ifstream in(BRISKARN_README, std::ios::binary);
    std::string readme((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::size_t from = readme.find(kFence);
    ASSERT_NE(from, std::string::npos) << "no " << kFence << "block in " << BRISKARN_README;
    from += sizeof kFence - 1;
    std::size_t to = readme.find("```", from);
    ASSERT_NE(to, std::string::npos);
    if (std::getenv("BRISKARN_WRITE_README")) {
        std::ofstream(BRISKARN_README, std::ios::binary)
            << readme.substr(0, from) << screen << readme.substr(to);
        return;
    }
    EXPECT_EQ(readme.substr(from, to - from), screen);
}

} // namespace
