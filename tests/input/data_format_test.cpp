// The predefined data formats object by object: the same expectations hold
// for the simulated machine's tables and for the import library the Windows
// builds link.
#include <cstddef>

#include <gtest/gtest.h>
#include <windows.h>
#include <dinput.h>

namespace {

struct Expected {
    const GUID* guid;
    DWORD offset, type, flags;
};

void ExpectFormat(const DIDATAFORMAT& format, DWORD flags, DWORD dataSize,
                  const std::vector<Expected>& objects) {
    EXPECT_EQ(format.dwSize, sizeof(DIDATAFORMAT));
    EXPECT_EQ(format.dwObjSize, sizeof(DIOBJECTDATAFORMAT));
    EXPECT_EQ(format.dwFlags, flags);
    EXPECT_EQ(format.dwDataSize, dataSize);
    ASSERT_EQ(format.dwNumObjs, objects.size());
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const DIOBJECTDATAFORMAT& object = format.rgodf[i];
        const Expected& expected = objects[i];
        if (expected.guid)
            EXPECT_TRUE(object.pguid && IsEqualGUID(*object.pguid, *expected.guid))
                << "object " << i;
        else
            EXPECT_EQ(object.pguid, nullptr) << "object " << i;
        EXPECT_EQ(object.dwOfs, expected.offset) << "object " << i;
        EXPECT_EQ(object.dwType, expected.type) << "object " << i;
        EXPECT_EQ(object.dwFlags, expected.flags) << "object " << i;
    }
}

const DWORD kAnyAxis = 0x80FFFF03, kAnyButton = 0x80FFFF0C, kAnyPov = 0x80FFFF10;

TEST(DataFormat, TheExtendedJoystickHas164ObjectsWhereItsStateKeepsThem) {
    static const GUID* const kAxes[] = {&GUID_XAxis,  &GUID_YAxis,  &GUID_ZAxis,  &GUID_RxAxis,
                                        &GUID_RyAxis, &GUID_RzAxis, &GUID_Slider, &GUID_Slider};
    std::vector<Expected> objects;
    // Position, velocity, acceleration and force axes; each group's sliders
    // sit at the position sliders' offsets in the library's table.
    auto axes = [&](DWORD base, DWORD aspect) {
        for (DWORD i = 0; i < 8; ++i)
            objects.push_back(
                {kAxes[i], i < 6 ? base + 4 * i : 24 + 4 * (i - 6), kAnyAxis, aspect});
    };
    axes(0, 0x100);
    for (DWORD i = 0; i < 4; ++i)
        objects.push_back({&GUID_POV, 32 + 4 * i, kAnyPov, 0});
    for (DWORD i = 0; i < 128; ++i)
        objects.push_back({nullptr, 48 + i, kAnyButton, 0});
    axes(offsetof(DIJOYSTATE2, lVX), 0x200);
    axes(offsetof(DIJOYSTATE2, lAX), 0x300);
    axes(offsetof(DIJOYSTATE2, lFX), 0x400);
    ExpectFormat(c_dfDIJoystick2, DIDF_ABSAXIS, sizeof(DIJOYSTATE2), objects);
}

TEST(DataFormat, KeyboardAndMouseFormats) {
    std::vector<Expected> keys;
    for (DWORD key = 0; key < 256; ++key)
        keys.push_back({&GUID_Key, key, 0x8000000C | (key << 8), 0});
    ExpectFormat(c_dfDIKeyboard, DIDF_RELAXIS, 256, keys);

    ExpectFormat(c_dfDIMouse, DIDF_RELAXIS, 16,
                 {{&GUID_XAxis, 0, 0x00FFFF03, 0},
                  {&GUID_YAxis, 4, 0x00FFFF03, 0},
                  {&GUID_ZAxis, 8, kAnyAxis, 0},
                  {nullptr, 12, 0x00FFFF0C, 0},
                  {nullptr, 13, 0x00FFFF0C, 0},
                  {nullptr, 14, kAnyButton, 0},
                  {nullptr, 15, kAnyButton, 0}});
}

} // namespace
