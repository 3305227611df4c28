#include "bridge/driver_records.h"

JOYSTICK_REPORT JoystickReport;
DRIVER_STATUS DriverStatus;
DWORD DIJoyCount;
DWORD ButtonMap[4] = {5, 6, 3, 4};
