// A DirectInput 5 device over the bench: data format, cooperative level,
// acquisition, event notification, state reads, polling, capabilities and
// objects, with the result codes DirectInput gives for calls out of turn.
// The program hands over the data formats of its own import library, so a
// format is known by its contents.
#include "device_double.h"

#include <cstring>
#include <vector>

#include "bench_memory.h"
#include "com_double.h"
#include "injected.h"
#include "testbed/dinput_answers.h"
#include "testbed/wheel_layout.h"

namespace {

CRITICAL_SECTION* Listeners() {
    static CRITICAL_SECTION section;
    static bool ready = [] {
        InitializeCriticalSection(&section);
        return true;
    }();
    (void)ready;
    return &section;
}

class DeviceDouble;
std::vector<DeviceDouble*>& Listening() {
    static std::vector<DeviceDouble*> devices;
    return devices;
}

class DeviceDouble : public ComDouble<IDirectInputDevice2A> {
  public:
    explicit DeviceDouble(int slot) : m_slot(slot) {}
    ~DeviceDouble() override { Listen(false); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        return AnswerQueryInterface(
            static_cast<IDirectInputDevice2A*>(this), riid, object,
            {&IID_IUnknown, &IID_IDirectInputDeviceA, &IID_IDirectInputDevice2A},
            [this] { return Injected("QueryInterface"); });
    }

    HRESULT STDMETHODCALLTYPE GetCapabilities(LPDIDEVCAPS caps) override {
        if (HRESULT injected = Injected("GetCapabilities"))
            return injected;
        if (!caps || caps->dwSize != sizeof(DIDEVCAPS))
            return DIERR_INVALIDPARAM;
        std::memset(caps, 0, sizeof *caps);
        caps->dwSize = sizeof *caps;
        caps->dwFlags = DIDC_ATTACHED;
        if (m_slot >= 0) {
            bench::Memory* memory = bench::OpenMemory();
            bench::Lock lock;
            const bench::Slot& slot = memory->slots[m_slot];
            if (slot.polled)
                caps->dwFlags |= DIDC_POLLEDDEVICE | DIDC_POLLEDDATAFORMAT;
            caps->dwDevType = 0x0104; // a joystick
            caps->dwAxes = 2;
            caps->dwButtons = slot.buttons;
            caps->dwPOVs = slot.povs;
        } else {
            caps->dwDevType = m_slot == kKeyboard ? 0x13 : 0x12;
        }
        return DI_OK;
    }

    HRESULT STDMETHODCALLTYPE EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA callback, LPVOID reference,
                                          DWORD flags) override {
        if (HRESULT injected = Injected("EnumObjects"))
            return injected;
        if (!callback)
            return DIERR_INVALIDPARAM;
        if (m_slot < 0)
            return DI_OK;
        DWORD buttons, povs;
        {
            bench::Memory* memory = bench::OpenMemory();
            bench::Lock lock;
            buttons = memory->slots[m_slot].buttons;
            povs = memory->slots[m_slot].povs;
        }
        ListDeviceObjects(WheelObjects(buttons, povs), callback, reference, flags);
        return DI_OK;
    }

    HRESULT STDMETHODCALLTYPE GetProperty(REFGUID, LPDIPROPHEADER) override {
        return DIERR_UNSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE SetProperty(REFGUID, LPCDIPROPHEADER) override {
        return DIERR_UNSUPPORTED;
    }

    HRESULT STDMETHODCALLTYPE Acquire() override {
        if (HRESULT injected = Injected("Acquire"))
            return injected;
        HRESULT result = m_access.Acquire(false);
        if (result == DI_OK)
            Listen(true);
        return result;
    }

    HRESULT STDMETHODCALLTYPE Unacquire() override {
        if (HRESULT injected = Injected("Unacquire"))
            return injected;
        HRESULT result = m_access.Unacquire();
        if (result == DI_OK)
            Listen(false);
        return result;
    }

    HRESULT STDMETHODCALLTYPE GetDeviceState(DWORD size, LPVOID data) override {
        if (HRESULT injected = Injected("GetDeviceState"))
            return injected;
        if (HRESULT refused = m_access.GetDeviceState(size, data, false))
            return refused;
        std::memset(data, 0, size);
        bench::Memory* memory = bench::OpenMemory();
        bench::Lock lock;
        if (m_slot >= 0) {
            bench::Slot& slot = memory->slots[m_slot];
            std::memcpy(data, slot.state, size);
            slot.versionRead = slot.version;
            m_toldVersion = slot.version;
        } else if (m_slot == kKeyboard) {
            std::memcpy(data, memory->keyboard, size);
            m_toldVersion = memory->keyboardVersion;
        }
        return DI_OK;
    }

    HRESULT STDMETHODCALLTYPE GetDeviceData(DWORD, LPDIDEVICEOBJECTDATA, LPDWORD, DWORD) override {
        return DIERR_UNSUPPORTED;
    }

    HRESULT STDMETHODCALLTYPE SetDataFormat(LPCDIDATAFORMAT format) override {
        if (HRESULT injected = Injected("SetDataFormat"))
            return injected;
        DWORD wanted = m_slot >= 0 ? bench::kJoyStateSize : m_slot == kKeyboard ? 256 : 16;
        return m_access.SetDataFormat(format, format && format->dwSize == sizeof(DIDATAFORMAT) &&
                                                  format->dwDataSize == wanted);
    }

    HRESULT STDMETHODCALLTYPE SetEventNotification(HANDLE event) override {
        if (HRESULT injected = Injected("SetEventNotification"))
            return injected;
        EnterCriticalSection(Listeners());
        HRESULT result = m_access.SetEventNotification(event);
        LeaveCriticalSection(Listeners());
        return result;
    }

    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override {
        if (HRESULT injected = Injected("SetCooperativeLevel"))
            return injected;
        return m_access.SetCooperativeLevel(window, flags);
    }

    HRESULT STDMETHODCALLTYPE GetObjectInfo(LPDIDEVICEOBJECTINSTANCEA, DWORD, DWORD) override {
        return DIERR_UNSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE GetDeviceInfo(LPDIDEVICEINSTANCEA) override {
        return DIERR_UNSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE RunControlPanel(HWND, DWORD) override { return DIERR_UNSUPPORTED; }
    HRESULT STDMETHODCALLTYPE Initialize(HINSTANCE, DWORD, REFGUID) override {
        return DIERR_ALREADYINITIALIZED;
    }
    HRESULT STDMETHODCALLTYPE CreateEffect(REFGUID, LPCDIEFFECT, LPDIRECTINPUTEFFECT*,
                                           LPUNKNOWN) override {
        return DIERR_UNSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE EnumEffects(LPDIENUMEFFECTSCALLBACKA, LPVOID, DWORD) override {
        return DIERR_UNSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE GetEffectInfo(LPDIEFFECTINFOA, REFGUID) override {
        return DIERR_UNSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE GetForceFeedbackState(LPDWORD) override { return DIERR_UNSUPPORTED; }
    HRESULT STDMETHODCALLTYPE SendForceFeedbackCommand(DWORD) override { return DIERR_UNSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumCreatedEffectObjects(LPDIENUMCREATEDEFFECTOBJECTSCALLBACK, LPVOID,
                                                       DWORD) override {
        return DIERR_UNSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE Escape(LPDIEFFESCAPE) override { return DIERR_UNSUPPORTED; }

    HRESULT STDMETHODCALLTYPE Poll() override {
        if (HRESULT injected = Injected("Poll"))
            return injected;
        if (HRESULT refused = m_access.Poll(false))
            return refused;
        if (m_slot < 0)
            return S_FALSE;
        bench::Memory* memory = bench::OpenMemory();
        bench::Lock lock;
        ++memory->slots[m_slot].polls;
        return memory->slots[m_slot].polled ? DI_OK : S_FALSE;
    }

    HRESULT STDMETHODCALLTYPE SendDeviceData(DWORD, LPCDIDEVICEOBJECTDATA, LPDWORD,
                                             DWORD) override {
        return DIERR_UNSUPPORTED;
    }

    // An interrupt-driven device's event, when its state moved on since the
    // program last read it or was last told. Bench lock held.
    HANDLE DueEvent(bench::Memory* memory) {
        LONG version = m_slot >= 0           ? memory->slots[m_slot].version
                       : m_slot == kKeyboard ? memory->keyboardVersion
                                             : m_toldVersion;
        if (m_slot >= 0 && memory->slots[m_slot].polled)
            return nullptr;
        if (version == m_toldVersion)
            return nullptr;
        m_toldVersion = version;
        return m_access.event();
    }

  private:
    HRESULT Injected(const char* method) {
        return InjectedResult(m_slot >= 0 ? "IDirectInputDevice2A" : "IDirectInputDeviceA", method,
                              m_slot);
    }

    void Listen(bool on) {
        EnterCriticalSection(Listeners());
        std::vector<DeviceDouble*>& devices = Listening();
        for (std::size_t i = 0; i < devices.size(); ++i)
            if (devices[i] == this) {
                devices.erase(devices.begin() + static_cast<std::ptrdiff_t>(i));
                break;
            }
        if (on)
            devices.push_back(this);
        LeaveCriticalSection(Listeners());
    }

    int m_slot;
    DeviceAccess m_access;
    LONG m_toldVersion = 0;
};

} // namespace

IDirectInputDeviceA* NewDeviceDouble(int slot) {
    return new DeviceDouble(slot);
}

void TellChangedDevices() {
    bench::Memory* memory = bench::OpenMemory();
    std::vector<HANDLE> due;
    EnterCriticalSection(Listeners());
    {
        bench::Lock lock;
        for (DeviceDouble* device : Listening())
            if (HANDLE event = device->DueEvent(memory))
                due.push_back(event);
    }
    for (HANDLE event : due)
        SetEvent(event);
    LeaveCriticalSection(Listeners());
}
