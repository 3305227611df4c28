// The wheel's pose: the `wheel` line from one pose to another, carried out,
// leaves the wheel in the second; the autopilot's poses are ones a wheel can
// take, and they move it.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/machine.h"
#include "sim/session.h"
#include "sim/wheel_pose.h"

namespace {

constexpr unsigned kSlot = 9; // no other test here uses it

hosted::WheelPose Pose(std::int64_t x, std::int64_t y, const std::string& down, DWORD hat) {
    hosted::WheelPose pose;
    pose.x = x;
    pose.y = y;
    for (char c : down)
        pose.buttons[c == '0' ? 9 : c - '1'] = true;
    pose.hat = hat;
    return pose;
}

std::string Describe(const hosted::WheelPose& pose) {
    std::string text = std::to_string(pose.x) + "," + std::to_string(pose.y) + " buttons ";
    for (bool down : pose.buttons)
        text += down ? '1' : '0';
    return text + " hat " + std::to_string(pose.hat);
}

TEST(WheelPose, TheStepLineNamesWhatDiffersAndCarriedOutGivesThePoseBack) {
    hosted::LiveSession session;
    std::string error;
    ASSERT_EQ(session.Do("slot " + std::to_string(kSlot) + " wheel polled", &error),
              hosted::StepOutcome::Done)
        << error;
    const struct {
        hosted::WheelPose to;
        std::vector<std::string> named; // what the line from the pose before names
    } kPoses[] = {
        {hosted::WheelPose{}, {}},
        {Pose(0, 32767, "", hosted::kHatCentred), {"x=0"}},
        {Pose(65535, 0, "", 27000), {"x=65535", "y=0", "pov0=27000"}},
        {Pose(65535, 0, "1234567890", 27000),
         {"button1=down", "button2=down", "button3=down", "button4=down", "button5=down",
          "button6=down", "button7=down", "button8=down", "button9=down", "button10=down"}},
        {Pose(65535, 65535, "0", 0),
         {"y=65535", "button1=up", "button2=up", "button3=up", "button4=up", "button5=up",
          "button6=up", "button7=up", "button8=up", "button9=up", "pov0=0"}},
        {Pose(32767, 32767, "", hosted::kHatCentred),
         {"x=32767", "y=32767", "button10=up", "pov0=4294967295"}},
    };
    hosted::WheelPose from;
    for (const auto& pose : kPoses) {
        SCOPED_TRACE(Describe(pose.to));
        std::string line = hosted::WheelStepLine(kSlot, from, pose.to);
        std::string expected;
        for (const std::string& change : pose.named)
            expected += " " + change;
        EXPECT_EQ(line, expected.empty() ? "" : "wheel " + std::to_string(kSlot) + expected);
        if (!line.empty()) {
            ASSERT_EQ(session.Do(line, &error), hosted::StepOutcome::Done) << error;
        }
        hosted::WheelPose read;
        {
            hosted::MachineLock lock = hosted::LockMachine();
            ASSERT_TRUE(hosted::ReadWheelPose(kSlot, &read));
        }
        EXPECT_EQ(Describe(read), Describe(pose.to));
        from = pose.to;
    }
    hosted::MachineLock lock = hosted::LockMachine();
    hosted::WheelPose read;
    EXPECT_FALSE(hosted::ReadWheelPose(kSlot + 1, &read)) << "an empty slot has no pose";
}

TEST(WheelPose, TheAutopilotSteersWithinRangeAndPressesOneButtonAtATime) {
    std::int64_t lowestX = 65535, highestX = 0, lowestY = 65535, highestY = 0;
    bool pressed[hosted::kPoseButtons] = {};
    // Ten minutes, every millisecond of it.
    for (std::int64_t ms = 0; ms < 600000; ++ms) {
        hosted::WheelPose pose = hosted::AutopilotPose(ms);
        ASSERT_TRUE(pose.x >= 0 && pose.x <= 65535 && pose.y >= 0 && pose.y <= 65535) << ms;
        int down =
            static_cast<int>(std::count(std::begin(pose.buttons), std::end(pose.buttons), true));
        ASSERT_LE(down, 1) << ms;
        for (int i = 0; i < hosted::kPoseButtons; ++i)
            pressed[i] = pressed[i] || pose.buttons[i];
        if (ms < 4000) { // the wheel's sweep, the slowest of the axes
            lowestX = std::min(lowestX, pose.x);
            highestX = std::max(highestX, pose.x);
            lowestY = std::min(lowestY, pose.y);
            highestY = std::max(highestY, pose.y);
        }
    }
    EXPECT_LT(lowestX, 1000);
    EXPECT_GT(highestX, 64535);
    EXPECT_LT(lowestY, 32767 - 10000);
    EXPECT_GT(highestY, 32767 + 10000);
    EXPECT_EQ(std::count(std::begin(pressed), std::end(pressed), true), hosted::kPoseButtons);
}

} // namespace
