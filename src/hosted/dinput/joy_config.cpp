// Stands in for DirectInput 5's joystick configuration interface: what the
// machine's slots hold, as GetConfig reports it.
#include "dinput/joy_config.h"

#include <cstring>

#include "core/machine.h"
#include "dinput/com_object.h"
#include "dinput/failures.h"
#include "dinput/input_devices.h"
#include "testbed/dinput_answers.h"

namespace hosted {
namespace {

class JoyConfigObject : public ComObject<IDirectInputJoyConfig> {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        MachineLock lock = LockMachine();
        return AnswerQueryInterface(static_cast<IDirectInputJoyConfig*>(this), riid, object,
                                    {&IID_IUnknown, &IID_IDirectInputJoyConfig},
                                    []() -> HRESULT { return S_OK; });
    }

    HRESULT STDMETHODCALLTYPE Acquire() override {
        MachineLock lock = LockMachine();
        if (HRESULT injected = Injected("Acquire", -1))
            return injected;
        return m_access.Acquire();
    }

    HRESULT STDMETHODCALLTYPE Unacquire() override {
        MachineLock lock = LockMachine();
        if (HRESULT injected = Injected("Unacquire", -1))
            return injected;
        return m_access.Unacquire();
    }

    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override {
        MachineLock lock = LockMachine();
        if (HRESULT injected = Injected("SetCooperativeLevel", -1))
            return injected;
        return m_access.SetCooperativeLevel(window, flags);
    }

    HRESULT STDMETHODCALLTYPE GetConfig(UINT slot, LPDIJOYCONFIG config, DWORD flags) override {
        MachineLock lock = LockMachine();
        if (HRESULT injected = Injected("GetConfig", static_cast<int>(slot)))
            return injected;
        if (!config ||
            (config->dwSize != sizeof(DIJOYCONFIG_DX5) && config->dwSize != sizeof(DIJOYCONFIG)))
            return DIERR_INVALIDPARAM;
        // A code set for the slot is answered as it is; a success code
        // still reports what the slot holds.
        HRESULT told = JoystickSlotResult(slot);
        if (FAILED(told))
            return told;
        std::shared_ptr<InputDevice> device = JoystickSlot(slot);
        if (!device)
            return told != S_OK ? told : DIERR_NOMOREITEMS;
        if (flags & DIJC_GUIDINSTANCE)
            config->guidInstance = device->instance;
        if (flags & DIJC_REGHWCONFIGTYPE) {
            std::memset(&config->hwc, 0, sizeof config->hwc);
            DWORD buttons = 0;
            for (const InputObject& object : device->objects)
                buttons += (DIDFT_GETTYPE(object.type) & DIDFT_BUTTON) ? 1 : 0;
            config->hwc.hws.dwNumButtons = buttons;
            std::memset(config->wszType, 0, sizeof config->wszType);
            for (std::size_t i = 0; i < device->name.size() && i + 1 < 256; ++i)
                config->wszType[i] = static_cast<unsigned char>(device->name[i]);
        }
        if (flags & DIJC_GAIN)
            config->dwGain = 10000; // DI_FFNOMINALMAX: no attenuation
        if (flags & DIJC_CALLOUT)
            std::memset(config->wszCallout, 0, sizeof config->wszCallout);
        return told;
    }

  private:
    HRESULT Injected(const char* method, int slot) {
        return InjectedResult("IDirectInputJoyConfig", method, slot);
    }

    JoyConfigAccess m_access;
};

} // namespace

IDirectInputJoyConfig* NewJoyConfig() {
    return new JoyConfigObject;
}

} // namespace hosted
