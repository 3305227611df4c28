// dinput.dll for Wine: DirectInput 5 with the joystick configuration
// interface that Wine's own lacks, over the bench's slots, keyboard and
// mouse, so that BRISKARN.EXE runs whole with the wheel the scenario moves.
#include <cstring>

#include <windows.h>

#include <initguid.h>

#include <dinput.h>
#include <dinputd.h>

#include "bench_memory.h"
#include "com_double.h"
#include "device_double.h"
#include "injected.h"
#include "testbed/dinput_answers.h"
#include "testbed/wheel_layout.h"

namespace {

int SlotOfInstance(REFGUID instance) {
    bench::Memory* memory = bench::OpenMemory();
    bench::Lock lock;
    for (unsigned slot = 0; slot < bench::kSlots; ++slot)
        if (memory->slots[slot].present && WheelInstance(slot) == instance)
            return static_cast<int>(slot);
    return -1;
}

class JoyConfigDouble : public ComDouble<IDirectInputJoyConfig> {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        return AnswerQueryInterface(static_cast<IDirectInputJoyConfig*>(this), riid, object,
                                    {&IID_IUnknown, &IID_IDirectInputJoyConfig},
                                    []() -> HRESULT { return S_OK; });
    }

    HRESULT STDMETHODCALLTYPE Acquire() override {
        if (HRESULT injected = InjectedResult("IDirectInputJoyConfig", "Acquire", -1))
            return injected;
        return m_access.Acquire();
    }

    HRESULT STDMETHODCALLTYPE Unacquire() override {
        if (HRESULT injected = InjectedResult("IDirectInputJoyConfig", "Unacquire", -1))
            return injected;
        return m_access.Unacquire();
    }

    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override {
        if (HRESULT injected = InjectedResult("IDirectInputJoyConfig", "SetCooperativeLevel", -1))
            return injected;
        return m_access.SetCooperativeLevel(window, flags);
    }

    HRESULT STDMETHODCALLTYPE SendNotify() override { return DI_OK; }
    HRESULT STDMETHODCALLTYPE EnumTypes(LPVOID, LPVOID) override { return DIERR_UNSUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(LPCWSTR, LPDIJOYTYPEINFO, DWORD) override {
        return DIERR_UNSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE SetTypeInfo(LPCWSTR, LPCDIJOYTYPEINFO, DWORD) override {
        return DIERR_UNSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DeleteType(LPCWSTR) override { return DIERR_UNSUPPORTED; }

    HRESULT STDMETHODCALLTYPE GetConfig(UINT slot, LPDIJOYCONFIG config, DWORD flags) override {
        if (HRESULT injected =
                InjectedResult("IDirectInputJoyConfig", "GetConfig", static_cast<int>(slot)))
            return injected;
        if (!config ||
            (config->dwSize != sizeof(DIJOYCONFIG_DX5) && config->dwSize != sizeof(DIJOYCONFIG)))
            return DIERR_INVALIDPARAM;
        if (slot >= bench::kSlots)
            return DIERR_NOMOREITEMS;
        bench::Memory* memory = bench::OpenMemory();
        bench::Lock lock;
        const bench::Slot& held = memory->slots[slot];
        // A code set for the slot is answered as it is; a success code still
        // reports what the slot holds.
        HRESULT told = held.result;
        if (FAILED(told))
            return told;
        if (!held.present)
            return told != S_OK ? told : DIERR_NOMOREITEMS;
        if (flags & DIJC_GUIDINSTANCE)
            config->guidInstance = WheelInstance(slot);
        if (flags & DIJC_REGHWCONFIGTYPE) {
            std::memset(&config->hwc, 0, sizeof config->hwc);
            config->hwc.hws.dwNumButtons = held.buttons;
            std::memset(config->wszType, 0, sizeof config->wszType);
            for (std::size_t i = 0; held.name[i] && i + 1 < 256; ++i)
                config->wszType[i] = static_cast<unsigned char>(held.name[i]);
        }
        if (flags & DIJC_GAIN)
            config->dwGain = 10000; // DI_FFNOMINALMAX: no attenuation
        if (flags & DIJC_CALLOUT)
            std::memset(config->wszCallout, 0, sizeof config->wszCallout);
        return told;
    }

    HRESULT STDMETHODCALLTYPE SetConfig(UINT, LPCDIJOYCONFIG, DWORD) override {
        return DIERR_UNSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DeleteConfig(UINT) override { return DIERR_UNSUPPORTED; }
    HRESULT STDMETHODCALLTYPE GetUserValues(LPDIJOYUSERVALUES, DWORD) override {
        return DIERR_UNSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE SetUserValues(LPCDIJOYUSERVALUES, DWORD) override {
        return DIERR_UNSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE AddNewHardware(HWND, REFGUID) override { return DIERR_UNSUPPORTED; }
    HRESULT STDMETHODCALLTYPE OpenTypeKey(LPCWSTR, DWORD, HKEY*) override {
        return DIERR_UNSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE OpenConfigKey(UINT, DWORD, HKEY*) override {
        return DIERR_UNSUPPORTED;
    }

  private:
    JoyConfigAccess m_access;
};

class DirectInputDouble : public ComDouble<IDirectInputA> {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        return AnswerQueryInterface(
            static_cast<IDirectInputA*>(this), riid, object, {&IID_IUnknown, &IID_IDirectInputA},
            [] { return InjectedResult("IDirectInputA", "QueryInterface", -1); },
            [](REFIID other) -> void* {
                return other == IID_IDirectInputJoyConfig
                           ? static_cast<IDirectInputJoyConfig*>(new JoyConfigDouble)
                           : nullptr;
            });
    }

    HRESULT STDMETHODCALLTYPE CreateDevice(REFGUID instance, LPDIRECTINPUTDEVICEA* device,
                                           LPUNKNOWN outer) override {
        if (!device)
            return DIERR_INVALIDPARAM;
        *device = nullptr;
        int slot = SlotOfInstance(instance);
        if (HRESULT injected = InjectedResult("IDirectInputA", "CreateDevice", slot))
            return injected;
        if (outer)
            return DIERR_NOAGGREGATION;
        if (instance == GUID_SysKeyboard)
            *device = NewDeviceDouble(kKeyboard);
        else if (instance == GUID_SysMouse)
            *device = NewDeviceDouble(kMouse);
        else if (slot >= 0)
            *device = NewDeviceDouble(slot);
        else
            return DIERR_DEVICENOTREG;
        return DI_OK;
    }

    HRESULT STDMETHODCALLTYPE EnumDevices(DWORD, LPDIENUMDEVICESCALLBACKA, LPVOID, DWORD) override {
        return DIERR_UNSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE GetDeviceStatus(REFGUID instance) override {
        return SlotOfInstance(instance) >= 0 || instance == GUID_SysKeyboard ||
                       instance == GUID_SysMouse
                   ? DI_OK
                   : DIERR_DEVICENOTREG;
    }
    HRESULT STDMETHODCALLTYPE RunControlPanel(HWND, DWORD) override { return DIERR_UNSUPPORTED; }
    HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE, DWORD) override {
        return DIERR_ALREADYINITIALIZED;
    }
};

// Carries the runner's word that a wheel or the keyboard changed to the
// devices whose events the program waits on. It lives as long as the
// process: the program may make DirectInput again after its teardown.
DWORD WINAPI WatchBench(LPVOID changed) {
    for (;;) {
        WaitForSingleObject(static_cast<HANDLE>(changed), INFINITE);
        TellChangedDevices();
    }
}

void StartWatcher() {
    static LONG started = 0;
    if (InterlockedExchange(&started, 1))
        return;
    HANDLE changed = CreateEventA(nullptr, FALSE, FALSE, bench::kChangedEventName);
    DWORD id = 0;
    if (changed)
        CloseHandle(CreateThread(nullptr, 0, WatchBench, changed, 0, &id));
}

} // namespace

extern "C" HRESULT WINAPI DoubleDirectInputCreateA(HINSTANCE instance, DWORD version,
                                                   LPDIRECTINPUTA* directInput, LPUNKNOWN outer) {
    if (!directInput)
        return DIERR_INVALIDPARAM;
    *directInput = nullptr;
    if (HRESULT injected = InjectedResult("", "DirectInputCreateA", -1))
        return injected;
    if (HRESULT refused = DirectInputCreateRefusal(instance, version, outer))
        return refused;
    if (!bench::OpenMemory())
        return DIERR_GENERIC;
    StartWatcher();
    *directInput = new DirectInputDouble;
    return DI_OK;
}
