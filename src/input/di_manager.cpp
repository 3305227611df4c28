// The manager's set-up and teardown, the keyboard and the joystick
// configuration. The game devices are in game_devices.cpp.
#include "input/di_manager.h"

#include <cstring>

#include "framework/app.h"
#include "framework/thread.h"
#include "framework/wnd.h"
#include "input/di_error.h"

// A thread waiting here may be the one whose window a pass or the worker is
// sending to; it would never be answered if the wait did not let the sent
// messages through.
void WaitLettingSendsThrough(HANDLE object, DWORD milliseconds) {
    ::MsgWaitForMultipleObjects(1, &object, FALSE, milliseconds, QS_SENDMESSAGE);
    MSG msg;
    ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
}

CDIManager::CDIManager()
    : m_pWorkerThread(nullptr), m_hKeyboardEvent(nullptr), m_hGameDeviceEvent(nullptr),
      m_hTerminateEvent(nullptr), m_hMainWnd(nullptr), m_hNotifyWnd(nullptr), m_nPollTimer(0),
      m_pDI(nullptr), m_pKeyboard(nullptr), m_pMouse(nullptr), m_pJoyConfig(nullptr),
      m_pOuter(nullptr), m_pDeviceMap(new DeviceMap), m_hWorkerThread(nullptr), m_nPassGate(0),
      m_hPassDone(nullptr), m_bEnding(false) {}

// The headers' records must be those of the version the manager asks for.
static_assert(CDIManager::kDirectInputVersion == DIRECTINPUT_VERSION, "one DirectInput version");

// The keyboard and the mouse are set up alike; only these differ.
struct CDIManager::SystemDevice {
    const GUID* guid;
    LPCDIDATAFORMAT format;
    DWORD cooperativeLevel;
    const char* createError;
    const char* formatError;
    const char* levelError;
    const char* acquireError;
};

const CDIManager::SystemDevice CDIManager::kSystemKeyboard = {
    &GUID_SysKeyboard,
    &c_dfDIKeyboard,
    DISCL_NONEXCLUSIVE | DISCL_BACKGROUND,
    "Error creating keyboard device",
    "Error setting keyboard data format",
    "Error setting keyboard cooperative level",
    "Error acquiring keyboard device",
};

const CDIManager::SystemDevice CDIManager::kSystemMouse = {
    &GUID_SysMouse,
    &c_dfDIMouse,
    DISCL_NONEXCLUSIVE | DISCL_FOREGROUND,
    "Error creating mouse device",
    "Error setting mouse data format",
    "Error setting mouse cooperative level",
    "Error acquiring mouse device",
};

// A failed step leaves what the earlier ones made held, and a later Init
// skips it as already there.
BOOL CDIManager::Init(HINSTANCE instance, HWND window, DWORD flags, LPUNKNOWN outer) {
    if (!m_pDI && !CreateDirectInput(instance, window, outer))
        return FALSE;
    if ((flags & kInitKeyboard) && !m_pKeyboard && !OpenSystemDevice(kSystemKeyboard, &m_pKeyboard))
        return FALSE;
    if ((flags & kInitMouse) && !m_pMouse && !OpenSystemDevice(kSystemMouse, &m_pMouse))
        return FALSE;
    if ((flags & kInitJoyConfig) && !AcquireJoyConfig())
        return FALSE;
    if (!m_hWorkerThread)
        StartWorker();
    return TRUE;
}

BOOL CDIManager::CreateDirectInput(HINSTANCE instance, HWND window, LPUNKNOWN outer) {
    HRESULT hr = ::DirectInputCreateA(instance, kDirectInputVersion, &m_pDI, outer);
    if (FAILED(hr)) {
        m_pDI = nullptr;
        ReportDIError("Error Creating DirectInput object", hr);
        return FALSE;
    }
    m_pOuter = outer;
    m_hMainWnd = window;
    m_hNotifyWnd = window;
    return TRUE;
}

// A device whose set-up fails after its creation stays held, unacquired.
BOOL CDIManager::OpenSystemDevice(const SystemDevice& device, LPDIRECTINPUTDEVICEA* held) {
    HRESULT hr = m_pDI->CreateDevice(*device.guid, held, m_pOuter);
    if (FAILED(hr)) {
        *held = nullptr;
        ReportDIError(device.createError, hr);
        return FALSE;
    }
    hr = (*held)->SetDataFormat(device.format);
    if (FAILED(hr)) {
        ReportDIError(device.formatError, hr);
        return FALSE;
    }
    hr = (*held)->SetCooperativeLevel(m_hMainWnd, device.cooperativeLevel);
    if (FAILED(hr)) {
        ReportDIError(device.levelError, hr);
        return FALSE;
    }
    hr = (*held)->Acquire();
    if (FAILED(hr)) {
        ReportDIError(device.acquireError, hr);
        return FALSE;
    }
    return TRUE;
}

// The interface is asked for once; its level and acquisition every time.
BOOL CDIManager::AcquireJoyConfig() {
    HRESULT hr;
    if (!m_pJoyConfig) {
        hr = m_pDI->QueryInterface(IID_IDirectInputJoyConfig,
                                   reinterpret_cast<void**>(&m_pJoyConfig));
        if (FAILED(hr)) {
            m_pJoyConfig = nullptr;
            ReportDIError("Error Querying JoyConfig Interface", hr);
            return FALSE;
        }
    }
    hr = m_pJoyConfig->SetCooperativeLevel(m_hMainWnd, DISCL_EXCLUSIVE | DISCL_BACKGROUND);
    if (FAILED(hr)) {
        ReportDIError("Error setting cooperative level", hr);
        return FALSE;
    }
    hr = m_pJoyConfig->Acquire();
    if (FAILED(hr)) {
        ReportDIError("Error Acquiring JoyConfig object", hr);
        return FALSE;
    }
    return TRUE;
}

// An event that a failed creation left missing is asked for again by the
// next Init; the ones held are kept, since creating them again would lose
// their handles. Without all of them the worker would find its wait failing
// at once, so it is not started.
void CDIManager::StartWorker() {
    if (!m_hGameDeviceEvent)
        m_hGameDeviceEvent = ::CreateEventA(nullptr, FALSE, FALSE, "KVDIGAMEDEVICEEVENT");
    if (!m_hKeyboardEvent)
        m_hKeyboardEvent = ::CreateEventA(nullptr, FALSE, FALSE, "KVDIKEYBOARDEVENT");
    if (!m_hTerminateEvent)
        m_hTerminateEvent = ::CreateEventA(nullptr, FALSE, FALSE, "KVDITERMINATE");
    // Unnamed: it tells this manager's teardown that its passes are over,
    // and no other process has a say in that.
    if (!m_hPassDone)
        m_hPassDone = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!EventsHeld())
        return;
    CWinThread* worker = new CWinThread(InputWorkerProc, this);
    // The window object behind the main window is the application's, when
    // it has one: the main dialog that called.
    CWnd* mainWnd = AfxGetMainWnd();
    worker->m_pMainWnd = mainWnd && mainWnd->m_hWnd == m_hMainWnd ? mainWnd : nullptr;
    if (!worker->CreateThread()) {
        delete worker; // nothing ran: the object is still ours
        return;
    }
    // The worker ends only on the terminate event, so it is still running
    // here and its handle can be taken over for the teardown's wait.
    m_pWorkerThread = worker;
    m_hWorkerThread = worker->m_hThread;
    worker->m_hThread = nullptr;
}

BOOL CDIManager::EventsHeld() const {
    return m_hGameDeviceEvent && m_hKeyboardEvent && m_hTerminateEvent && m_hPassDone;
}

// The terminate event is shared by every copy of the program, so another
// copy's worker may take a signal meant for this one; it is given again
// while this worker lives. A worker that never ends is given up on: what it
// still uses is left held for the system to take back at exit.
BOOL CDIManager::EndWorker() {
    m_bEnding = true;
    ::SetEvent(m_hTerminateEvent);
    if (!m_hWorkerThread)
        return TRUE;
    const DWORD start = ::GetTickCount();
    DWORD signalled = start;
    for (;;) {
        DWORD code = 0;
        if (!::GetExitCodeThread(m_hWorkerThread, &code) || code != STILL_ACTIVE)
            break;
        DWORD now = ::GetTickCount();
        if (now - start >= kWorkerEndMs)
            return FALSE;
        if (now - signalled >= kResignalMs) {
            ::SetEvent(m_hTerminateEvent);
            signalled = now;
        }
        WaitLettingSendsThrough(m_hWorkerThread, kResignalMs - (now - signalled));
    }
    ::CloseHandle(m_hWorkerThread);
    m_hWorkerThread = nullptr;
    m_pWorkerThread = nullptr; // deleted itself as its thread ended
    return TRUE;
}

BOOL CDIManager::SetKeyboardNotification(BOOL enable, HWND window) {
    HRESULT hr;
    if (!enable) {
        if (m_pKeyboard) {
            hr = m_pKeyboard->Unacquire();
            if (FAILED(hr))
                ReportDIError("Error unacquiring before setting event notification", hr);
            m_pKeyboard->SetEventNotification(nullptr);
        }
        return TRUE;
    }
    m_hNotifyWnd = window ? window : m_hMainWnd;
    if (!m_pKeyboard || !m_hKeyboardEvent)
        return FALSE;
    hr = m_pKeyboard->Unacquire();
    if (FAILED(hr))
        ReportDIError("Error unacquiring before setting event notification", hr);
    hr = m_pKeyboard->SetEventNotification(m_hKeyboardEvent);
    if (FAILED(hr)) {
        ReportDIError("Error setting event notification", hr);
        return FALSE;
    }
    hr = m_pKeyboard->Acquire();
    if (FAILED(hr)) {
        ReportDIError("Error acquiring after setting event notification", hr);
        return FALSE;
    }
    return TRUE;
}

HRESULT CDIManager::ReadKeyboardState(BYTE buffer[256]) {
    if (!m_pKeyboard) {
        std::memset(buffer, 0, 256);
        return 1;
    }
    BYTE state[256];
    HRESULT hr = m_pKeyboard->GetDeviceState(sizeof state, state);
    if (FAILED(hr)) {
        ReportDIError("Error getting keyboard device state", hr);
        return hr;
    }
    std::memcpy(buffer, state, sizeof state);
    return hr;
}

// Both reads ask for DirectInput 5's record, whatever size the headers give
// DIJOYCONFIG: that is the one every version of the interface accepts.
HRESULT CDIManager::GetJoyConfig(UINT slot, LPDIJOYCONFIG config) {
    if (!m_pJoyConfig)
        return DIERR_NOTINITIALIZED;
    std::memset(config, 0, sizeof(DIJOYCONFIG_DX5));
    config->dwSize = sizeof(DIJOYCONFIG_DX5);
    HRESULT hr = m_pJoyConfig->GetConfig(
        slot, config, DIJC_GUIDINSTANCE | DIJC_REGHWCONFIGTYPE | DIJC_GAIN | DIJC_CALLOUT);
    if (FAILED(hr))
        ReportDIError("Error getting JoyConfig", hr);
    return hr;
}

HRESULT CDIManager::GetJoyConfigGuid(UINT slot, GUID* guid) {
    if (!m_pJoyConfig)
        return DIERR_NOTINITIALIZED;
    DIJOYCONFIG_DX5 config;
    std::memset(&config, 0, sizeof config);
    config.dwSize = sizeof config;
    HRESULT hr =
        m_pJoyConfig->GetConfig(slot, reinterpret_cast<LPDIJOYCONFIG>(&config), DIJC_GUIDINSTANCE);
    if (FAILED(hr)) {
        ReportDIError("Error getting JoyConfig - DIJC_GUIDINSTANCE", hr);
        return hr;
    }
    *guid = config.guidInstance;
    return hr;
}

CDIManager::~CDIManager() {
    if (m_pDI) {
        if (!EndWorker())
            return;
        if (m_hGameDeviceEvent)
            ::CloseHandle(m_hGameDeviceEvent);
        if (m_hKeyboardEvent)
            ::CloseHandle(m_hKeyboardEvent);
        if (m_hTerminateEvent)
            ::CloseHandle(m_hTerminateEvent);
        m_hGameDeviceEvent = m_hKeyboardEvent = m_hTerminateEvent = nullptr;

        if (m_pJoyConfig) {
            m_pJoyConfig->Unacquire();
            m_pJoyConfig->Release();
            m_pJoyConfig = nullptr;
        }

        for (const auto& item : *m_pDeviceMap)
            StopGameDeviceNotification(item.first);
        // The timer is dead, but a pass it started may still be reading the
        // records, or waiting for this thread to take its message.
        ClosePasses();
        for (const auto& item : *m_pDeviceMap)
            FreeEntry(item.second);
        m_pDeviceMap->clear();

        if (m_pMouse) {
            m_pMouse->Unacquire();
            m_pMouse->Release();
            m_pMouse = nullptr;
        }
        if (m_pKeyboard) {
            SetKeyboardNotification(FALSE, nullptr);
            m_pKeyboard->Unacquire();
            m_pKeyboard->Release();
            m_pKeyboard = nullptr;
        }
        m_pDI->Release();
        m_pDI = nullptr;
        // Last of all: a pass that had just left may still be setting it.
        if (m_hPassDone)
            ::CloseHandle(m_hPassDone);
        m_hPassDone = nullptr;
    }
    delete m_pDeviceMap;
    m_pDeviceMap = nullptr;
}
