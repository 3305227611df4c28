// Stands in for <initguid.h>: the hosted DirectInput defines its GUIDs
// itself, so nothing here changes how the headers after it declare them.
#pragma once
