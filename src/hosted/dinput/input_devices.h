// The input devices of the simulated machine as DirectInput sees them: what
// each is, its objects and its current state. The simulated machine builds
// and changes them; DirectInput's device objects read them. All with the
// machine lock held.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <dinput.h>

namespace hosted {

struct InputObject {
    std::string name;
    const GUID* guidType; // null for a button
    DWORD offset;         // in the device's state
    DWORD type;           // DIDFT_ type and instance
};

struct InputDevice {
    GUID instance{};
    std::string name;
    DWORD deviceType = 0; // DIDEVTYPE_ value
    bool polled = false;
    const DIDATAFORMAT* format = nullptr; // the one format it reads in
    std::vector<InputObject> objects;
    std::vector<BYTE> state; // format->dwDataSize bytes
    // Events to signal when the state changes: those of the device objects
    // that are acquired with notification on.
    std::vector<HANDLE> notify;
    // Taken out of its slot: its readers have lost it for good.
    bool unplugged = false;
};

// The state changed: every device object reading it that waits for an
// interrupt is told through its event. A polled device tells nobody.
void InputDeviceChanged(InputDevice& device);

// The system keyboard and mouse, always there.
InputDevice& SystemKeyboard();
InputDevice& SystemMouse();

// Joystick configuration slots 0 to 15; null for an empty one.
constexpr unsigned kJoystickSlots = 16;
// A device that the slot held before is unplugged: readers that had it
// acquired lose it, and those waiting on its notification are told.
void SetJoystickSlot(unsigned slot, std::shared_ptr<InputDevice> device);
std::shared_ptr<InputDevice> JoystickSlot(unsigned slot);
// What GetConfig answers for the slot instead of its content; S_OK undoes it.
void SetJoystickSlotResult(unsigned slot, HRESULT code);
HRESULT JoystickSlotResult(unsigned slot);
// The slot whose device has this instance GUID, or -1.
int SlotOfInstance(REFGUID instance);

// The fresh machine: every slot empty, keyboard keys up, no failure injected.
void ResetInputDevices();

} // namespace hosted
