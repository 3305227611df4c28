// The game devices: opening one from its joystick configuration slot, the
// notification switches, and the change-detection pass that tells the
// notification window what moved.
#include <cstring>

#include "input/device_messages.h"
#include "input/di_error.h"
#include "input/di_manager.h"

namespace {

const UINT kPollPeriodMs = 20;
const UINT kWantedResolutionMs = 2;
// Added to the pass gate while the main thread keeps passes out; far above
// any number of passes that could run at once.
const LONG kPassesClosed = 0x10000;

bool IsButtonType(BYTE type) {
    return type == DIDFT_PSHBUTTON || type == DIDFT_TGLBUTTON || type == DIDFT_BUTTON;
}

} // namespace

// Flags of one pass over all devices: each kind of message goes out once.
struct CDIManager::PassSent {
    bool bChanged = false;
    bool bAxis = false;
    bool bButton = false;
    bool bPov = false;
};

void CDIManager::FreeEntry(DeviceEntry* entry) {
    delete entry->pObjectMap;
    if (entry->pDevice) {
        entry->pDevice->Unacquire();
        entry->pDevice->Release();
    }
    delete entry;
}

HRESULT CDIManager::CreateGameDevice(WORD deviceNumber) {
    DeviceMap::iterator old = m_pDeviceMap->find(deviceNumber);
    if (old != m_pDeviceMap->end()) {
        StopGameDeviceNotification(deviceNumber);
        ClosePasses();
        FreeEntry(old->second);
        m_pDeviceMap->erase(old);
        OpenPasses();
    }

    GUID guid;
    HRESULT hr = GetJoyConfigGuid(deviceNumber, &guid);
    if (FAILED(hr)) {
        ReportDIError("Error getting game device GUID", hr);
        return hr;
    }
    LPDIRECTINPUTDEVICEA device = nullptr;
    hr = m_pDI->CreateDevice(guid, &device, m_pOuter);
    if (FAILED(hr)) {
        ReportDIError("Error creating game device", hr);
        return hr;
    }
    DeviceEntry* entry = new DeviceEntry;
    std::memset(entry, 0, sizeof *entry);
    hr =
        device->QueryInterface(IID_IDirectInputDevice2A, reinterpret_cast<void**>(&entry->pDevice));
    device->Release();
    if (FAILED(hr)) {
        entry->pDevice = nullptr;
        ReportDIError("Error querying for DirectInputDevice2", hr);
        FreeEntry(entry);
        return hr;
    }
    hr = entry->pDevice->SetDataFormat(&c_dfDIJoystick2);
    if (FAILED(hr)) {
        ReportDIError("Error setting data format", hr);
        FreeEntry(entry);
        return hr;
    }
    hr = entry->pDevice->SetCooperativeLevel(m_hMainWnd, DISCL_EXCLUSIVE | DISCL_BACKGROUND);
    if (FAILED(hr)) {
        ReportDIError("Error setting cooperative level", hr);
        FreeEntry(entry);
        return hr;
    }
    hr = entry->pDevice->Acquire();
    if (FAILED(hr)) {
        ReportDIError("Error acquiring Game device", hr);
        FreeEntry(entry);
        return hr;
    }
    entry->pObjectMap = new ObjectMap;
    entry->pDevice->EnumObjects(EnumObjectsProc, entry->pObjectMap, DIDFT_ALL);

    // Another device's pass may be walking the map.
    ClosePasses();
    (*m_pDeviceMap)[deviceNumber] = entry;
    OpenPasses();
    return hr;
}

BOOL CALLBACK CDIManager::EnumObjectsProc(LPCDIDEVICEOBJECTINSTANCEA objectInstance, LPVOID map) {
    ObjectMap& objects = *static_cast<ObjectMap*>(map);
    for (DIDEVICEOBJECTINSTANCEA& object : objects)
        if (std::strcmp(object.tszName, objectInstance->tszName) == 0) {
            object = *objectInstance;
            return DIENUM_CONTINUE;
        }
    objects.push_back(*objectInstance);
    return DIENUM_CONTINUE;
}

LPDIRECTINPUTDEVICE2A CDIManager::FindGameDevice(WORD deviceNumber) {
    DeviceMap::iterator it = m_pDeviceMap->find(deviceNumber);
    return it == m_pDeviceMap->end() ? nullptr : it->second->pDevice;
}

BOOL CDIManager::IsPolledDevice(WORD deviceNumber) {
    LPDIRECTINPUTDEVICE2A device = FindGameDevice(deviceNumber);
    if (!device)
        return FALSE;
    DIDEVCAPS caps;
    std::memset(&caps, 0, sizeof caps);
    caps.dwSize = sizeof caps;
    HRESULT hr = device->GetCapabilities(&caps);
    if (FAILED(hr)) {
        ReportDIError("Error getting device capabilities", hr);
        return FALSE;
    }
    return (caps.dwFlags & DIDC_POLLEDDEVICE) ? TRUE : FALSE;
}

BOOL CDIManager::SetGameDeviceNotification(WORD deviceNumber, BOOL enable, HWND window) {
    if (!enable) {
        StopGameDeviceNotification(deviceNumber);
        return TRUE;
    }
    LPDIRECTINPUTDEVICE2A device = FindGameDevice(deviceNumber);
    m_hNotifyWnd = window ? window : m_hMainWnd;
    // The passes need the engine's events: the worker's and the one that
    // tells a teardown they are over.
    if (!device || !EventsHeld())
        return FALSE;
    HRESULT hr = device->Unacquire();
    if (FAILED(hr))
        ReportDIError("Error unacquiring game device", hr);

    if (IsPolledDevice(deviceNumber)) {
        hr = device->Acquire();
        if (FAILED(hr)) {
            ReportDIError("Error acquiring after setting event notification", hr);
            return FALSE;
        }
        TIMECAPS caps;
        if (::timeGetDevCaps(&caps, sizeof caps) != TIMERR_NOERROR)
            return FALSE;
        UINT resolution = kWantedResolutionMs;
        if (caps.wPeriodMin > resolution)
            resolution = caps.wPeriodMin;
        if (resolution > caps.wPeriodMax)
            resolution = caps.wPeriodMax;
        resolution = static_cast<WORD>(resolution);
        ::timeBeginPeriod(resolution);
        // The manager keeps one timer id: a timer still running would be
        // lost to timeKillEvent for good once its id was overwritten.
        if (m_nPollTimer) {
            ::timeKillEvent(m_nPollTimer);
            m_nPollTimer = 0;
        }
        m_nPollTimer = ::timeSetEvent(kPollPeriodMs, resolution, PollTimerProc,
                                      reinterpret_cast<DWORD_PTR>(this), TIME_PERIODIC);
        return m_nPollTimer != 0;
    }

    hr = device->SetEventNotification(m_hGameDeviceEvent);
    if (FAILED(hr)) {
        ReportDIError("Error setting event notification", hr);
        return FALSE;
    }
    hr = device->Acquire();
    if (FAILED(hr)) {
        ReportDIError("Error acquiring after setting event notification", hr);
        return FALSE;
    }
    return TRUE;
}

// Returns without waiting for a pass that is running: one may be waiting for
// the very message this thread is handling when it switches off.
void CDIManager::StopGameDeviceNotification(WORD deviceNumber) {
    if (m_nPollTimer) {
        ::timeKillEvent(m_nPollTimer);
        m_nPollTimer = 0;
    }
    LPDIRECTINPUTDEVICE2A device = FindGameDevice(deviceNumber);
    if (!device)
        return;
    HRESULT hr = device->Unacquire();
    if (FAILED(hr))
        ReportDIError("Error unacquiring before setting event notification", hr);
    device->SetEventNotification(nullptr);
}

HRESULT CDIManager::ReadGameDeviceState(WORD deviceNumber, LPDIJOYSTATE2 state) {
    LPDIRECTINPUTDEVICE2A device = FindGameDevice(deviceNumber);
    if (!device) {
        std::memset(state, 0, sizeof *state);
        return 1;
    }
    DIJOYSTATE2 read;
    HRESULT hr = device->GetDeviceState(sizeof read, &read);
    if (FAILED(hr)) {
        ReportDIError("Error getting game device state", hr);
        return hr;
    }
    std::memcpy(state, &read, sizeof read);
    return hr;
}

void CALLBACK CDIManager::PollTimerProc(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    reinterpret_cast<CDIManager*>(user)->CheckDeviceChanges();
}

void CDIManager::CheckDeviceChanges() {
    // Read before leaving: once the gate is left, the teardown may have
    // freed this object.
    HANDLE done = m_hPassDone;
    if (m_nPassGate.fetch_add(1) < kPassesClosed) {
        PassSent sent;
        for (DeviceMap::const_iterator it = m_pDeviceMap->begin(); it != m_pDeviceMap->end(); ++it)
            ComparePass(it->first, *it->second, sent);
    }
    if (m_nPassGate.fetch_sub(1) == kPassesClosed + 1 && done)
        ::SetEvent(done);
}

void CDIManager::ComparePass(WORD deviceNumber, DeviceEntry& entry, PassSent& sent) {
    entry.pDevice->Poll();
    DIJOYSTATE2 current;
    if (ReadGameDeviceState(deviceNumber, &current) != DI_OK)
        return;
    const BYTE* now = reinterpret_cast<const BYTE*>(&current);
    const BYTE* before = reinterpret_cast<const BYTE*>(&entry.PreviousState);
    DeviceStateMessage message;
    bool built = false;
    for (const DIDEVICEOBJECTINSTANCEA& object : *entry.pObjectMap) {
        BYTE type = DIDFT_GETTYPE(object.dwType);
        DWORD width = IsButtonType(type) ? 1 : 4;
        // DirectInput places every object of the format inside the state; one
        // that claims otherwise is left alone rather than read past the end.
        if (object.dwOfs > sizeof current - width)
            continue;
        if (std::memcmp(now + object.dwOfs, before + object.dwOfs, width) == 0)
            continue;
        if (!built) {
            std::memset(&message, 0, sizeof message);
            message.dwDevice = deviceNumber;
            message.State = current;
            built = true;
        }
        LPARAM lParam = reinterpret_cast<LPARAM>(&message);
        if (!sent.bChanged) {
            ::SendMessageA(m_hNotifyWnd, g_msgGameDeviceChanged, 0, lParam);
            sent.bChanged = true;
        }
        if (type >= DIDFT_RELAXIS && type <= DIDFT_AXIS) {
            if (!sent.bAxis) {
                ::SendMessageA(m_hNotifyWnd, g_msgDeviceAxisChanged, 0, lParam);
                sent.bAxis = true;
            }
        } else if (IsButtonType(type)) {
            if (!sent.bButton) {
                ::SendMessageA(m_hNotifyWnd, g_msgDeviceButtonChanged, 0, lParam);
                sent.bButton = true;
            }
        } else if (type == DIDFT_POV) {
            if (!sent.bPov) {
                ::SendMessageA(m_hNotifyWnd, g_msgDevicePovChanged, 0, lParam);
                sent.bPov = true;
            }
        }
    }
    entry.PreviousState = current;
}

void CDIManager::ClosePasses() {
    m_nPassGate.fetch_add(kPassesClosed);
    HANDLE done = m_hPassDone;
    // Without the events no thread of the engine's own can be in a pass.
    if (!done)
        return;
    while (m_nPassGate.load() != kPassesClosed)
        WaitLettingSendsThrough(done);
}

void CDIManager::OpenPasses() {
    m_nPassGate.fetch_sub(kPassesClosed);
}
