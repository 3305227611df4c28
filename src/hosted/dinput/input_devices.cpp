#include "dinput/input_devices.h"

#include <cstring>

#include "core/forever.h"
#include "dinput/failures.h"
#include "kernel/sync.h"

namespace hosted {
namespace {

InputDevice SystemDevice(const GUID& instance, const char* name, DWORD type,
                         const DIDATAFORMAT& format) {
    InputDevice device;
    device.instance = instance;
    device.name = name;
    device.deviceType = type;
    device.format = &format;
    device.state.assign(format.dwDataSize, 0);
    return device;
}

struct Devices {
    InputDevice keyboard =
        SystemDevice(GUID_SysKeyboard, "Keyboard", 0x13 /* keyboard */, c_dfDIKeyboard);
    InputDevice mouse = SystemDevice(GUID_SysMouse, "Mouse", 0x12 /* mouse */, c_dfDIMouse);
    std::shared_ptr<InputDevice> slots[kJoystickSlots];
    HRESULT slotResults[kJoystickSlots] = {};
};

Devices& TheDevices() {
    static Forever<Devices> devices;
    return *devices;
}

} // namespace

void InputDeviceChanged(InputDevice& device) {
    if (device.polled)
        return;
    for (HANDLE event : device.notify)
        SetEventLocked(event);
}

InputDevice& SystemKeyboard() {
    return TheDevices().keyboard;
}

InputDevice& SystemMouse() {
    return TheDevices().mouse;
}

void SetJoystickSlot(unsigned slot, std::shared_ptr<InputDevice> device) {
    std::shared_ptr<InputDevice>& held = TheDevices().slots[slot];
    if (held && held != device) {
        held->unplugged = true;
        // A loss of acquisition is a change of state, polled device or not.
        for (HANDLE event : held->notify)
            SetEventLocked(event);
    }
    held = std::move(device);
}

std::shared_ptr<InputDevice> JoystickSlot(unsigned slot) {
    return slot < kJoystickSlots ? TheDevices().slots[slot] : nullptr;
}

void SetJoystickSlotResult(unsigned slot, HRESULT code) {
    TheDevices().slotResults[slot] = code;
}

HRESULT JoystickSlotResult(unsigned slot) {
    return slot < kJoystickSlots ? TheDevices().slotResults[slot] : S_OK;
}

int SlotOfInstance(REFGUID instance) {
    for (unsigned slot = 0; slot < kJoystickSlots; ++slot)
        if (TheDevices().slots[slot] && TheDevices().slots[slot]->instance == instance)
            return static_cast<int>(slot);
    return -1;
}

void ResetInputDevices() {
    Devices& devices = TheDevices();
    std::fill(devices.keyboard.state.begin(), devices.keyboard.state.end(), 0);
    for (unsigned slot = 0; slot < kJoystickSlots; ++slot) {
        devices.slots[slot].reset();
        devices.slotResults[slot] = S_OK;
    }
    ClearInputFailures();
}

} // namespace hosted
