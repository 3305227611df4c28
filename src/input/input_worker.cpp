// The input worker thread: it sleeps on the manager's three events, turns
// keyboard reads into chords for the main window, runs a change-detection
// pass when an interrupt-driven game device signals, and ends on the
// terminate event.
#include <cstring>

#include "input/device_messages.h"
#include "input/di_manager.h"
#include "input/key_chord.h"

UINT InputWorkerProc(LPVOID param) {
    CDIManager* manager = static_cast<CDIManager*>(param);
    const HANDLE handles[3] = {manager->m_hKeyboardEvent, manager->m_hGameDeviceEvent,
                               manager->m_hTerminateEvent};
    CKeyChord chord;
    BYTE keyState[256];
    char out[256];
    std::memset(out, 0, sizeof out);
    for (;;) {
        DWORD result = ::WaitForMultipleObjects(3, handles, FALSE, INFINITE);
        if (result == WAIT_OBJECT_0) {
            if (!manager->m_pKeyboard)
                continue;
            // A failed read leaves every key up, which may finish the chord.
            std::memset(keyState, 0, sizeof keyState);
            manager->ReadKeyboardState(keyState);
            if (chord.Step(keyState, out)) {
                ::SendMessageA(manager->m_hMainWnd, g_msgKeystroke, 0,
                               reinterpret_cast<LPARAM>(out));
                std::memset(out, 0, sizeof out);
            }
        } else if (result == WAIT_OBJECT_0 + 1) {
            manager->CheckDeviceChanges();
        } else if (result == WAIT_OBJECT_0 + 2) {
            // Another copy's teardown may have signalled the shared event:
            // only this manager's own ends this worker.
            if (manager->m_bEnding)
                return 0;
        } else if (result == WAIT_FAILED) {
            // A wait that fails once fails every time; waiting again would
            // only spin.
            return 0;
        }
    }
}
