// CDIManager: everything the program holds of DirectInput 5 (the keyboard
// and mouse, the joystick configuration, the game devices), the input
// worker thread and the 20 ms polling timer. The main dialog sets it up with
// Init, switches notification on and off, and hears of changes through the
// registered messages of device_messages.h. Its destructor is the teardown.
#pragma once

#include <atomic>
#include <algorithm>
#include <utility>
#include <vector>

#include <windows.h>
#include <dinput.h>
#include <dinputd.h>
#include <mmsystem.h>

class CWinThread;

// A game device's objects, by name. Iteration order: the order in which
// DirectInput enumerated them, a later object of an existing name taking the
// earlier one's place. DeviceMap iterates by ascending device number. Both
// orders are the same in every build, so a pass's messages are too.
typedef std::vector<DIDEVICEOBJECTINSTANCEA> ObjectMap;

struct DeviceEntry {
    LPDIRECTINPUTDEVICE2A pDevice;
    DIJOYSTATE2 PreviousState; // all zero until the first successful pass
    ObjectMap* pObjectMap;
};

// A sorted vector rather than a tree: a handful of devices at most, and no
// out-of-line library code that the win32 build would take prebuilt.
class DeviceMap {
  public:
    typedef std::pair<WORD, DeviceEntry*> value_type;
    typedef std::vector<value_type>::iterator iterator;
    typedef std::vector<value_type>::const_iterator const_iterator;

    iterator begin() { return m_items.begin(); }
    iterator end() { return m_items.end(); }
    const_iterator begin() const { return m_items.begin(); }
    const_iterator end() const { return m_items.end(); }
    iterator find(WORD key) {
        iterator it = LowerBound(key);
        return it != m_items.end() && it->first == key ? it : m_items.end();
    }
    DeviceEntry*& operator[](WORD key) {
        iterator it = LowerBound(key);
        if (it == m_items.end() || it->first != key)
            it = m_items.insert(it, value_type(key, nullptr));
        return it->second;
    }
    void erase(iterator it) { m_items.erase(it); }
    void clear() { m_items.clear(); }

  private:
    iterator LowerBound(WORD key) {
        return std::lower_bound(m_items.begin(), m_items.end(), key,
                                [](const value_type& item, WORD k) { return item.first < k; });
    }
    std::vector<value_type> m_items;
};

class CDIManager {
  public:
    CDIManager();
    virtual ~CDIManager();
    CDIManager(const CDIManager&) = delete;
    CDIManager& operator=(const CDIManager&) = delete;

    // What Init opens; other bits of its flags are ignored (0x4 among them).
    static constexpr DWORD kInitKeyboard = 0x1;
    static constexpr DWORD kInitMouse = 0x2;
    static constexpr DWORD kInitJoyConfig = 0x8;
    // The version the manager asks DirectInput for.
    static constexpr DWORD kDirectInputVersion = 0x0500;
    // The teardown gives its terminate signal again this often while its
    // worker lives, and gives up on a worker still running after the limit.
    static constexpr DWORD kResignalMs = 50;
    static constexpr DWORD kWorkerEndMs = 5000;

    BOOL Init(HINSTANCE instance, HWND window, DWORD flags, LPUNKNOWN outer);
    BOOL SetKeyboardNotification(BOOL enable, HWND window);
    HRESULT ReadKeyboardState(BYTE buffer[256]);
    // config: a DIJOYCONFIG, filled as DirectInput 5's 1160-byte record.
    HRESULT GetJoyConfig(UINT slot, LPDIJOYCONFIG config);
    HRESULT GetJoyConfigGuid(UINT slot, GUID* guid);

    // Re-creating a registered number first switches its notification off
    // and releases the old device, so that nothing of it outlives the call.
    HRESULT CreateGameDevice(WORD deviceNumber);
    LPDIRECTINPUTDEVICE2A FindGameDevice(WORD deviceNumber);
    BOOL SetGameDeviceNotification(WORD deviceNumber, BOOL enable, HWND window);
    void StopGameDeviceNotification(WORD deviceNumber);
    HRESULT ReadGameDeviceState(WORD deviceNumber, LPDIJOYSTATE2 state);
    BOOL IsPolledDevice(WORD deviceNumber);
    void CheckDeviceChanges();

    static void CALLBACK PollTimerProc(UINT timerId, UINT message, DWORD_PTR user,
                                       DWORD_PTR reserved1, DWORD_PTR reserved2);
    static BOOL CALLBACK EnumObjectsProc(LPCDIDEVICEOBJECTINSTANCEA objectInstance, LPVOID map);

  private:
    friend UINT InputWorkerProc(LPVOID manager);

    // Init's steps; a failing call is reported and answered with FALSE.
    BOOL CreateDirectInput(HINSTANCE instance, HWND window, LPUNKNOWN outer);
    struct SystemDevice;
    static const SystemDevice kSystemKeyboard;
    static const SystemDevice kSystemMouse;
    BOOL OpenSystemDevice(const SystemDevice& device, LPDIRECTINPUTDEVICEA* held);
    BOOL AcquireJoyConfig();
    void StartWorker();
    BOOL EventsHeld() const;
    // Signals the terminate event, again every kResignalMs, until the
    // worker has ended; FALSE when it still runs after kWorkerEndMs.
    BOOL EndWorker();

    struct PassSent;
    void ComparePass(WORD deviceNumber, DeviceEntry& entry, PassSent& sent);
    // Keeps new passes out and returns once none is running; sent messages
    // are handled meanwhile, since a running pass may be waiting on this
    // thread's window. OpenPasses lets them in again.
    void ClosePasses();
    void OpenPasses();
    void FreeEntry(DeviceEntry* entry);

    CWinThread* m_pWorkerThread;
    HANDLE m_hKeyboardEvent;
    HANDLE m_hGameDeviceEvent;
    HANDLE m_hTerminateEvent;
    HWND m_hMainWnd;
    // Read by the passes on the timer's and the worker's threads.
    std::atomic<HWND> m_hNotifyWnd;
    UINT m_nPollTimer;
    LPDIRECTINPUTA m_pDI;
    LPDIRECTINPUTDEVICEA m_pKeyboard;
    LPDIRECTINPUTDEVICEA m_pMouse;
    IDirectInputJoyConfig* m_pJoyConfig;
    LPUNKNOWN m_pOuter;
    DeviceMap* m_pDeviceMap;

    // The worker thread, taken over from its auto-deleting object so that
    // the teardown can still ask for its exit code after the object is gone.
    HANDLE m_hWorkerThread;
    // Passes running now, plus kPassesClosed while the main thread keeps
    // new ones out; the pass that leaves last while closed sets m_hPassDone.
    std::atomic<LONG> m_nPassGate;
    std::atomic<HANDLE> m_hPassDone;
    // Set by the teardown before it signals the terminate event: a signal
    // seen while it is clear came from another copy of the program.
    std::atomic<bool> m_bEnding;
};

// The one manager of the program.
extern CDIManager theDIManager;

UINT InputWorkerProc(LPVOID manager);

// Waits once for object or for a message sent to this thread, at most
// milliseconds, and handles the sent messages.
void WaitLettingSendsThrough(HANDLE object, DWORD milliseconds = INFINITE);
