// What Windows reads from BRISKARN.EXE before and without running it: its
// subsystem version, its version block, its icon.
#include <gtest/gtest.h>

#include <fstream>

#include "pe_image.h"

namespace {

const std::uint16_t kIcon = 3, kGroupIcon = 14, kVersion = 16;

void CheckExecutable(const char* path) {
    SCOPED_TRACE(path);
    if (!*path || !std::ifstream(path)) {
        if (!REQUIRE_WINDOWS_BUILDS)
            GTEST_SKIP() << "'" << path
                         << "' is not named or not built (scripts/test.sh does both)";
        FAIL() << "'" << path << "' is not named or missing";
    }
    PeImage image;
    std::string error;
    ASSERT_TRUE(ReadPeImage(path, &image, &error)) << error;
    EXPECT_EQ(image.subsystem, 2) << "Windows GUI";
    EXPECT_EQ(image.subsystemMajor, 4);
    EXPECT_EQ(image.subsystemMinor, 0);

    auto version = image.resources.find({kVersion, 1});
    ASSERT_NE(version, image.resources.end());
    VersionInfo info;
    ASSERT_TRUE(ParseVersionInfo(version->second, &info));
    EXPECT_EQ(info.fileVersionMS, 0u);
    EXPECT_EQ(info.fileVersionLS, 51u);
    EXPECT_EQ(info.productVersionMS, 0u);
    EXPECT_EQ(info.productVersionLS, 51u);
    EXPECT_EQ(info.fileOS, 0x00000004u) << "VOS__WINDOWS32";
    EXPECT_EQ(info.fileType, 0x00000001u) << "VFT_APP";
    const std::map<std::string, std::string> kStrings = {
        {"FileDescription", "Velomira"}, {"FileVersion", "0, 0, 0, 51"},
        {"InternalName", "Velomira"},    {"OriginalFilename", "BRISKARN.EXE"},
        {"ProductName", "Velomira"},     {"ProductVersion", "0, 0, 0, 51"}};
    EXPECT_EQ(info.strings, kStrings);

    // Icon 128: a 32 x 32 and a 16 x 16 image of 16 colours.
    auto group = image.resources.find({kGroupIcon, 128});
    ASSERT_NE(group, image.resources.end());
    const std::vector<std::uint8_t>& g = group->second;
    ASSERT_GE(g.size(), 6u + 2 * 14);
    ASSERT_EQ(g[4], 2) << "two images";
    for (int i = 0; i < 2; ++i) {
        const std::uint8_t* entry = g.data() + 6 + 14 * i;
        EXPECT_EQ(entry[0], i == 0 ? 32 : 16);
        EXPECT_EQ(entry[1], i == 0 ? 32 : 16);
        EXPECT_EQ(entry[2], 16) << "colours";
        std::uint16_t id = static_cast<std::uint16_t>(entry[12] | entry[13] << 8);
        EXPECT_NE(image.resources.find({kIcon, id}), image.resources.end());
    }
}

} // namespace

TEST(WindowsExecutable, Win32BuildCarriesVersionBlockIconAndSubsystem40) {
    CheckExecutable(WIN32_BRISKARN_EXE);
}

TEST(WindowsExecutable, Win64BuildCarriesTheSameResources) {
    CheckExecutable(WIN64_BRISKARN_EXE);
}
