// Stands in for DirectInput 5's entry point and its DirectInput object:
// devices made from the system keyboard's and mouse's GUIDs or a configured
// joystick's instance GUID, and the joystick configuration interface.
#include <atomic>

#include <dinput.h>
#include <dinputd.h>

#include "core/machine.h"
#include "dinput/com_object.h"
#include "dinput/device_object.h"
#include "dinput/failures.h"
#include "dinput/input_devices.h"
#include "dinput/joy_config.h"
#include "testbed/dinput_answers.h"

namespace hosted {
namespace {

std::atomic<long> g_liveObjects{0};

class DirectInputObject : public ComObject<IDirectInputA> {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        MachineLock lock = LockMachine();
        return AnswerQueryInterface(
            static_cast<IDirectInputA*>(this), riid, object, {&IID_IUnknown, &IID_IDirectInputA},
            [] { return InjectedResult("IDirectInputA", "QueryInterface", -1); },
            [](REFIID other) -> void* {
                return other == IID_IDirectInputJoyConfig ? NewJoyConfig() : nullptr;
            });
    }

    HRESULT STDMETHODCALLTYPE CreateDevice(REFGUID instance, LPDIRECTINPUTDEVICEA* device,
                                           LPUNKNOWN outer) override {
        MachineLock lock = LockMachine();
        if (!device)
            return DIERR_INVALIDPARAM;
        *device = nullptr;
        int slot = SlotOfInstance(instance);
        HRESULT injected = InjectedResult("IDirectInputA", "CreateDevice", slot);
        if (injected != S_OK)
            return injected;
        if (outer)
            return DIERR_NOAGGREGATION;
        if (instance == GUID_SysKeyboard)
            *device = NewDeviceObject(
                std::shared_ptr<InputDevice>(std::shared_ptr<void>(), &SystemKeyboard()), -1);
        else if (instance == GUID_SysMouse)
            *device = NewDeviceObject(
                std::shared_ptr<InputDevice>(std::shared_ptr<void>(), &SystemMouse()), -1);
        else if (slot >= 0)
            *device = NewDeviceObject(JoystickSlot(static_cast<unsigned>(slot)), slot);
        else
            return DIERR_DEVICENOTREG;
        return DI_OK;
    }
};

} // namespace

long LiveInputObjects() {
    return g_liveObjects;
}

void CountInputObject(int change) {
    g_liveObjects += change;
}

} // namespace hosted

using namespace hosted;

// Versions from DirectInput 3 to this machine's 7 are accepted, as the
// runtime of that time would.
HRESULT WINAPI DirectInputCreateA(HINSTANCE instance, DWORD version, LPDIRECTINPUTA* directInput,
                                  LPUNKNOWN outer) {
    MachineLock lock = LockMachine();
    if (!directInput)
        return DIERR_INVALIDPARAM;
    *directInput = nullptr;
    HRESULT injected = InjectedResult("", "DirectInputCreateA", -1);
    if (injected != S_OK)
        return injected;
    if (HRESULT refused = DirectInputCreateRefusal(instance, version, outer))
        return refused;
    *directInput = new DirectInputObject;
    return DI_OK;
}
