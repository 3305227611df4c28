// The response curve as a pure function of one axis value.
#include <climits>

#include <gtest/gtest.h>

#include "bridge/axis_curve.h"

TEST(AxisCurve, WorkedValues) {
    struct Case {
        LONG raw, curved;
    };
    const Case cases[] = {
        {0, 0},         {16384, 16703}, {32267, 32567}, {32767, 32767}, {32768, 32768},
        {33267, 32967}, {34767, 34167}, {49151, 48832}, {65534, 65534}, {65535, 65534},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ApplyAxisCurve(c.raw), c.curved) << "raw " << c.raw;
}

TEST(AxisCurve, EachSegmentEndsWhereItShouldOnBothSides) {
    struct Case {
        LONG deflection, curved;
    };
    const Case cases[] = {
        {0, 0},      {499, 200},  {500, 200},   {999, 500},   {1000, 500},
        {1499, 900}, {1500, 900}, {1999, 1399}, {2000, 1400}, {32767, 32767},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ApplyAxisCurve(32767 + c.deflection), 32767 + c.curved)
            << "deflection +" << c.deflection;
        EXPECT_EQ(ApplyAxisCurve(32767 - c.deflection), 32767 - c.curved)
            << "deflection -" << c.deflection;
    }
}

TEST(AxisCurve, ValuesOutsideTheAxisRangeCountAsTheNearerEnd) {
    for (LONG raw : {-1, -32768, INT_MIN + 1, INT_MIN})
        EXPECT_EQ(ApplyAxisCurve(raw), 0) << raw;
    for (LONG raw : {65536, 98302, INT_MAX - 32766, INT_MAX})
        EXPECT_EQ(ApplyAxisCurve(raw), 65534) << raw;
}

TEST(AxisCurve, EveryInputIsMonotonicAndSymmetricAboutTheCentre) {
    LONG curved[65536];
    for (LONG raw = 0; raw <= 65535; ++raw)
        curved[raw] = ApplyAxisCurve(raw);

    for (LONG raw = 1; raw <= 65535; ++raw)
        ASSERT_LE(curved[raw - 1], curved[raw]) << "falls at " << raw;
    for (LONG k = 0; k <= 32767; ++k)
        ASSERT_EQ(curved[32767 + k] - 32767, 32767 - curved[32767 - k]) << "asymmetric at " << k;
    EXPECT_EQ(curved[65535], curved[65534]);
    EXPECT_EQ(curved[0], 0);
    EXPECT_EQ(curved[65534], 65534);
}
