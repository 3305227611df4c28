// The engine's statics, in the program's order of construction (see
// base/static_order.h): the manager, then its copies of the registered messages.
#include "base/static_order.h"
#include "input/device_messages.h"
#include "input/di_manager.h"

CDIManager theDIManager BRISKARN_STATIC_DI_MANAGER;

const CRegisteredMessage g_msgKeystroke BRISKARN_STATIC_ENGINE_MESSAGES("KVDI_KEYSTROKE");
const CRegisteredMessage
    g_msgGameDeviceChanged BRISKARN_STATIC_ENGINE_MESSAGES("KVDI_GAMEDEVICECHANGED");
const CRegisteredMessage
    g_msgDeviceAxisChanged BRISKARN_STATIC_ENGINE_MESSAGES("KVDI_DEVICEAXISCHANGED");
const CRegisteredMessage
    g_msgDeviceButtonChanged BRISKARN_STATIC_ENGINE_MESSAGES("KVDI_DEVICEBUTTONCHANGED");
const CRegisteredMessage
    g_msgDevicePovChanged BRISKARN_STATIC_ENGINE_MESSAGES("KVDI_DEVICEPOVCHANGED");
