// Stands in for a DirectInput 5 device: data format, cooperative level,
// acquisition, event notification, state reads, polling, capabilities and
// objects, with the result codes DirectInput gives for calls out of turn.
#include "dinput/device_object.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/machine.h"
#include "dinput/com_object.h"
#include "dinput/failures.h"
#include "testbed/dinput_answers.h"

namespace hosted {
namespace {

class DeviceObject : public ComObject<IDirectInputDevice2A> {
  public:
    DeviceObject(std::shared_ptr<InputDevice> device, int slot)
        : m_device(std::move(device)), m_slot(slot) {}
    ~DeviceObject() override {
        MachineLock lock = LockMachine();
        Notify(false);
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        MachineLock lock = LockMachine();
        return AnswerQueryInterface(
            static_cast<IDirectInputDevice2A*>(this), riid, object,
            {&IID_IUnknown, &IID_IDirectInputDeviceA, &IID_IDirectInputDevice2A},
            [this] { return Injected("QueryInterface"); });
    }

    HRESULT STDMETHODCALLTYPE GetCapabilities(LPDIDEVCAPS caps) override {
        MachineLock lock = LockMachine();
        if (HRESULT injected = Injected("GetCapabilities"))
            return injected;
        if (!caps || caps->dwSize != sizeof(DIDEVCAPS))
            return DIERR_INVALIDPARAM;
        DWORD size = caps->dwSize;
        std::memset(caps, 0, size);
        caps->dwSize = size;
        caps->dwFlags = DIDC_ATTACHED;
        if (m_device->polled)
            caps->dwFlags |= DIDC_POLLEDDEVICE | DIDC_POLLEDDATAFORMAT;
        caps->dwDevType = m_device->deviceType;
        for (const InputObject& object : m_device->objects) {
            DWORD type = DIDFT_GETTYPE(object.type);
            caps->dwAxes += (type & DIDFT_AXIS) ? 1 : 0;
            caps->dwButtons += (type & DIDFT_BUTTON) ? 1 : 0;
            caps->dwPOVs += type == DIDFT_POV ? 1 : 0;
        }
        return DI_OK;
    }

    // The callback runs without the machine lock: it is the program's code.
    HRESULT STDMETHODCALLTYPE EnumObjects(LPDIENUMDEVICEOBJECTSCALLBACKA callback, LPVOID reference,
                                          DWORD flags) override {
        std::vector<InputObject> objects;
        {
            MachineLock lock = LockMachine();
            if (HRESULT injected = Injected("EnumObjects"))
                return injected;
            if (!callback)
                return DIERR_INVALIDPARAM;
            objects = m_device->objects;
        }
        ListDeviceObjects(objects, callback, reference, flags);
        return DI_OK;
    }

    HRESULT STDMETHODCALLTYPE Acquire() override {
        MachineLock lock = LockMachine();
        if (HRESULT injected = Injected("Acquire"))
            return injected;
        HRESULT result = m_access.Acquire(m_device->unplugged);
        if (result == DI_OK)
            Notify(true);
        return result;
    }

    HRESULT STDMETHODCALLTYPE Unacquire() override {
        MachineLock lock = LockMachine();
        if (HRESULT injected = Injected("Unacquire"))
            return injected;
        HRESULT result = m_access.Unacquire();
        if (result == DI_OK)
            Notify(false);
        return result;
    }

    HRESULT STDMETHODCALLTYPE GetDeviceState(DWORD size, LPVOID data) override {
        MachineLock lock = LockMachine();
        if (HRESULT injected = Injected("GetDeviceState"))
            return injected;
        if (HRESULT refused = m_access.GetDeviceState(size, data, m_device->unplugged))
            return refused;
        std::memcpy(data, m_device->state.data(), size);
        return DI_OK;
    }

    // Only the format the device reads in is offered.
    HRESULT STDMETHODCALLTYPE SetDataFormat(LPCDIDATAFORMAT format) override {
        MachineLock lock = LockMachine();
        if (HRESULT injected = Injected("SetDataFormat"))
            return injected;
        return m_access.SetDataFormat(format, format == m_device->format);
    }

    HRESULT STDMETHODCALLTYPE SetEventNotification(HANDLE event) override {
        MachineLock lock = LockMachine();
        if (HRESULT injected = Injected("SetEventNotification"))
            return injected;
        return m_access.SetEventNotification(event);
    }

    HRESULT STDMETHODCALLTYPE SetCooperativeLevel(HWND window, DWORD flags) override {
        MachineLock lock = LockMachine();
        if (HRESULT injected = Injected("SetCooperativeLevel"))
            return injected;
        return m_access.SetCooperativeLevel(window, flags);
    }

    HRESULT STDMETHODCALLTYPE Poll() override {
        MachineLock lock = LockMachine();
        if (HRESULT injected = Injected("Poll"))
            return injected;
        if (HRESULT refused = m_access.Poll(m_device->unplugged))
            return refused;
        return m_device->polled ? DI_OK : S_FALSE;
    }

  private:
    HRESULT Injected(const char* method) {
        return InjectedResult(m_slot >= 0 ? "IDirectInputDevice2A" : "IDirectInputDeviceA", method,
                              m_slot);
    }

    // An acquired device with an event is told of every change of state.
    void Notify(bool on) {
        std::vector<HANDLE>& notify = m_device->notify;
        if (m_listening)
            notify.erase(std::find(notify.begin(), notify.end(), m_listening));
        m_listening = on && m_access.acquired() ? m_access.event() : nullptr;
        if (m_listening)
            notify.push_back(m_listening);
    }

    std::shared_ptr<InputDevice> m_device;
    int m_slot;
    DeviceAccess m_access;
    HANDLE m_listening = nullptr;
};

} // namespace

IDirectInputDeviceA* NewDeviceObject(std::shared_ptr<InputDevice> device, int slot) {
    return new DeviceObject(std::move(device), slot);
}

} // namespace hosted
