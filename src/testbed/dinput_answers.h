// The answers DirectInput 5's objects give whatever stands behind them, for
// the simulated machine's objects and the DirectInput double under Wine:
// each keeps its own state and asks these for the parts that do not depend
// on it, so that the program meets the same DirectInput on both machines.
#pragma once

#include <cstring>
#include <initializer_list>
#include <string>

#include <windows.h>

#include <dinput.h>

// QueryInterface: E_POINTER without a place for the answer, then the failure
// the scenario injected into the call (`injected()`, asked only then), then
// the object itself, counted, for any interface in `ids`; for another one,
// what `other(riid)` makes, or E_NOINTERFACE when it makes nothing.
template <class Interface, class Injected, class Other>
HRESULT AnswerQueryInterface(Interface* self, REFIID riid, void** object,
                             std::initializer_list<const IID*> ids, Injected injected,
                             Other other) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (HRESULT failure = injected())
        return failure;
    for (const IID* id : ids)
        if (riid == *id) {
            self->AddRef();
            *object = self;
            return S_OK;
        }
    *object = other(riid);
    return *object ? S_OK : E_NOINTERFACE;
}

template <class Interface, class Injected>
HRESULT AnswerQueryInterface(Interface* self, REFIID riid, void** object,
                             std::initializer_list<const IID*> ids, Injected injected) {
    return AnswerQueryInterface(self, riid, object, ids, injected,
                                [](REFIID) -> void* { return nullptr; });
}

// What DirectInputCreateA refuses once it has somewhere to answer: an outer
// object, no module instance, a version before DirectInput 3 or after 7 (the
// runtime of that time takes them all); DI_OK for a call it carries out.
HRESULT DirectInputCreateRefusal(HINSTANCE instance, DWORD version, LPUNKNOWN outer);

// The joystick configuration interface's own acquisition: exclusive
// cooperation with a window first, then acquiring it as often as the
// program likes.
class JoyConfigAccess {
  public:
    HRESULT SetCooperativeLevel(HWND window, DWORD flags);
    HRESULT Acquire();
    HRESULT Unacquire(); // S_FALSE when it was not acquired

  private:
    bool m_cooperative = false;
    bool m_acquired = false;
};

// A device's own acquisition: a data format the device offers before it is
// acquired; format, cooperation and event fixed while it is acquired; its
// state read and polled only while acquired, and lost once it is unplugged.
// Each call answers what DirectInput answers before the device itself is
// asked; DI_OK lets the caller go on.
class DeviceAccess {
  public:
    HRESULT SetDataFormat(LPCDIDATAFORMAT format, bool offered);
    // Exactly one of exclusive and non-exclusive, one of foreground and
    // background, and a window.
    HRESULT SetCooperativeLevel(HWND window, DWORD flags);
    HRESULT SetEventNotification(HANDLE event);
    HRESULT Acquire(bool unplugged); // S_FALSE when it was acquired already
    HRESULT Unacquire();             // S_FALSE when it was not acquired
    HRESULT GetDeviceState(DWORD size, LPVOID data, bool unplugged);
    HRESULT Poll(bool unplugged);

    bool acquired() const { return m_acquired; }
    HANDLE event() const { return m_event; }

  private:
    DWORD m_formatSize = 0; // 0 before a format is set
    bool m_acquired = false;
    HANDLE m_event = nullptr;
};

// EnumObjects: each of `objects` (name, guidType, offset, type; a null
// guidType is a button's) that `flags` selects, to the callback until it
// stops.
template <class Objects>
void ListDeviceObjects(const Objects& objects, LPDIENUMDEVICEOBJECTSCALLBACKA callback,
                       LPVOID reference, DWORD flags) {
    const DWORD wanted = DIDFT_GETTYPE(flags);
    for (const auto& object : objects) {
        if (wanted != DIDFT_ALL && !(DIDFT_GETTYPE(object.type) & wanted))
            continue;
        DIDEVICEOBJECTINSTANCEA instance;
        std::memset(&instance, 0, sizeof instance);
        instance.dwSize = sizeof instance;
        instance.guidType = object.guidType ? *object.guidType : GUID_Button;
        instance.dwOfs = object.offset;
        instance.dwType = object.type;
        std::strncpy(instance.tszName, object.name.c_str(), sizeof instance.tszName - 1);
        if (callback(&instance, reference) == DIENUM_STOP)
            break;
    }
}

// Counts a call of `interfaceName`::`method` (a game device's, `device` >= 0,
// also under IDirectInputDeviceA) against each of the scenario's failure
// rules that names it, for that device or any; the code of the first rule
// whose call this is, or S_OK. A rule has method, device, call (0 for every
// call), code and seen.
template <class Rule>
HRESULT CountInjectedCall(Rule* begin, Rule* end, const char* interfaceName, const char* method,
                          int device) {
    const std::string name = std::string(interfaceName) + "::" + method;
    const std::string alias = std::string("IDirectInputDeviceA::") + method;
    HRESULT result = S_OK;
    for (Rule* rule = begin; rule != end; ++rule) {
        if (name != rule->method && !(device >= 0 && alias == rule->method))
            continue;
        if (rule->device >= 0 && rule->device != device)
            continue;
        ++rule->seen;
        if (result == S_OK && (rule->call == 0 || rule->call == rule->seen))
            result = rule->code;
    }
    return result;
}
