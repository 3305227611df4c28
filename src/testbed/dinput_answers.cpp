#include "testbed/dinput_answers.h"

bool DeviceCooperationValid(HWND window, DWORD flags) {
    bool oneMode = !(flags & DISCL_EXCLUSIVE) != !(flags & DISCL_NONEXCLUSIVE);
    bool oneScope = !(flags & DISCL_FOREGROUND) != !(flags & DISCL_BACKGROUND);
    return oneMode && oneScope && window;
}

HRESULT DirectInputCreateRefusal(HINSTANCE instance, DWORD version, LPUNKNOWN outer) {
    if (outer)
        return DIERR_NOAGGREGATION;
    if (!instance)
        return DIERR_INVALIDPARAM;
    if (version < 0x0300)
        return DIERR_BETADIRECTINPUTVERSION;
    if (version > 0x0700)
        return DIERR_OLDDIRECTINPUTVERSION;
    return DI_OK;
}

HRESULT JoyConfigAccess::SetCooperativeLevel(HWND window, DWORD flags) {
    if (!window || !(flags & DISCL_EXCLUSIVE))
        return DIERR_INVALIDPARAM;
    m_cooperative = true;
    return DI_OK;
}

HRESULT JoyConfigAccess::Acquire() {
    if (!m_cooperative)
        return DIERR_INVALIDPARAM;
    m_acquired = true;
    return DI_OK;
}

HRESULT JoyConfigAccess::Unacquire() {
    if (!m_acquired)
        return S_FALSE;
    m_acquired = false;
    return DI_OK;
}
