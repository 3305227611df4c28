// The wheel's response curve: softens small movements around the centre of
// an axis and still reaches full deflection.
#pragma once

#include <windows.h>

// Takes an axis value in DirectInput's default range (0 .. 65535, centre
// 32767) and returns the curved value on the same scale, 0 .. 65534. Values
// outside the range count as the nearer end.
LONG ApplyAxisCurve(LONG raw);
