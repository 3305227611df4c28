#include "bridge/axis_curve.h"

#include <cstddef>
#include <cstdint>

namespace {

// Both columns are distances from the centre of the axis.
struct CurvePoint {
    LONG input;
    LONG output;
};

// Slopes 0.4, 0.6, 0.8 and 1.0 near the centre, a little above 1 beyond
// that so that full deflection is still reached.
const CurvePoint AxisCurveTable[] = {
    {0, 0}, {500, 200}, {1000, 500}, {1500, 900}, {2000, 1400}, {32768, 32768},
};

const LONG kAxisCentre = 32767;
// 65535 lies one step further from the centre than 0 does; cutting it back
// keeps the curve symmetric.
const std::int64_t kMaxDeflection = 32767;

} // namespace

LONG ApplyAxisCurve(LONG raw) {
    // In 64 bits, so that no 32-bit value can overflow on the way.
    std::int64_t offset = static_cast<std::int64_t>(raw) - kAxisCentre;
    bool negative = offset < 0;
    std::int64_t x = negative ? -offset : offset;
    if (x > kMaxDeflection)
        x = kMaxDeflection;

    std::size_t k = 1;
    while (x >= AxisCurveTable[k].input)
        ++k;
    const CurvePoint& low = AxisCurveTable[k - 1];
    const CurvePoint& high = AxisCurveTable[k];
    // Interpolating down from the upper breakpoint rounds the result up.
    std::int64_t y = high.output - static_cast<std::int64_t>(high.output - low.output) *
                                       (high.input - x) / (high.input - low.input);
    return static_cast<LONG>(negative ? kAxisCentre - y : kAxisCentre + y);
}
