// Each change of the wheel becomes one JoystickReport, exchanged with the
// companion driver.
#pragma once

#include <windows.h>

#include <dinput.h>

// Counts the call in DIJoyCount, reads DriverStatus from the driver, builds
// JoystickReport from the wheel's state, writes it to the driver and, at
// certain callback counts, logs the driver's progress. Driver failures are
// not examined: the next change sends a fresh report.
void SendJoystickReport(HANDLE driver, const DIJOYSTATE2* state);

// The part of SendJoystickReport between the two driver calls: fills the
// axes and buttons of JoystickReport from state, ButtonMap and DriverStatus
// (a GameMax below 16 is replaced by 2048 first). Touches no driver.
void BuildJoystickReport(const DIJOYSTATE2* state);
