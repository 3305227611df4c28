// The DirectInput GUIDs the program names, defined here from the system's
// headers rather than taken from a library that defines every GUID there is.
#include <windows.h>

#include <initguid.h>

#include <dinput.h>
#include <dinputd.h>
