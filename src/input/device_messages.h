// What the input engine tells the main dialog: five registered window
// messages, and the record the four game-device messages point to.
#pragma once

#include <cstddef>

#include <windows.h>
#include <dinput.h>

// A message registered by name while the program's statics are built, before
// any window exists; both the engine and the main dialog hold one per name,
// and the system gives both the same identifier.
class CRegisteredMessage {
  public:
    explicit CRegisteredMessage(const char* name) : m_nId(::RegisterWindowMessageA(name)) {}
    operator UINT() const { return m_nId; }
    // For message maps, which read the identifier when a message comes.
    const UINT& Id() const { return m_nId; }

  private:
    UINT m_nId;
};

// The engine's own copies, all sent with wParam 0; the four game-device
// messages carry a DeviceStateMessage.
extern const CRegisteredMessage g_msgKeystroke;           // "KVDI_KEYSTROKE": the chord's text
extern const CRegisteredMessage g_msgGameDeviceChanged;   // "KVDI_GAMEDEVICECHANGED"
extern const CRegisteredMessage g_msgDeviceAxisChanged;   // "KVDI_DEVICEAXISCHANGED"
extern const CRegisteredMessage g_msgDeviceButtonChanged; // "KVDI_DEVICEBUTTONCHANGED"
extern const CRegisteredMessage g_msgDevicePovChanged;    // "KVDI_DEVICEPOVCHANGED"

// Built on the sending thread's stack and valid only while the message is
// handled: a receiver copies what it keeps.
struct DeviceStateMessage {
    DWORD dwDevice; // the joystick configuration slot, zero-extended
    DIJOYSTATE2 State;
};
static_assert(sizeof(DeviceStateMessage) == 276, "DeviceStateMessage is 276 bytes");
static_assert(offsetof(DeviceStateMessage, dwDevice) == 0 &&
                  offsetof(DeviceStateMessage, State) == 4 &&
                  offsetof(DeviceStateMessage, State.lY) == 8 &&
                  offsetof(DeviceStateMessage, State.lZ) == 12 &&
                  offsetof(DeviceStateMessage, State.lRx) == 16 &&
                  offsetof(DeviceStateMessage, State.lRy) == 20 &&
                  offsetof(DeviceStateMessage, State.lRz) == 24 &&
                  offsetof(DeviceStateMessage, State.rglSlider) == 28 &&
                  offsetof(DeviceStateMessage, State.rgdwPOV) == 36 &&
                  offsetof(DeviceStateMessage, State.rgbButtons) == 52,
              "DeviceStateMessage layout");
