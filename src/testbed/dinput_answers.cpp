#include "testbed/dinput_answers.h"

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

HRESULT DeviceAccess::SetDataFormat(LPCDIDATAFORMAT format, bool offered) {
    if (m_acquired)
        return DIERR_ACQUIRED;
    if (!format || !offered)
        return DIERR_INVALIDPARAM;
    m_formatSize = format->dwDataSize;
    return DI_OK;
}

HRESULT DeviceAccess::SetCooperativeLevel(HWND window, DWORD flags) {
    bool oneMode = !(flags & DISCL_EXCLUSIVE) != !(flags & DISCL_NONEXCLUSIVE);
    bool oneScope = !(flags & DISCL_FOREGROUND) != !(flags & DISCL_BACKGROUND);
    if (!oneMode || !oneScope || !window)
        return DIERR_INVALIDPARAM;
    return m_acquired ? DIERR_ACQUIRED : DI_OK;
}

HRESULT DeviceAccess::SetEventNotification(HANDLE event) {
    if (m_acquired)
        return DIERR_ACQUIRED;
    m_event = event;
    return DI_OK;
}

HRESULT DeviceAccess::Acquire(bool unplugged) {
    if (!m_formatSize)
        return DIERR_INVALIDPARAM;
    if (unplugged)
        return DIERR_UNPLUGGED;
    if (m_acquired)
        return S_FALSE;
    m_acquired = true;
    return DI_OK;
}

HRESULT DeviceAccess::Unacquire() {
    if (!m_acquired)
        return S_FALSE;
    m_acquired = false;
    return DI_OK;
}

HRESULT DeviceAccess::GetDeviceState(DWORD size, LPVOID data, bool unplugged) {
    if (!data || !m_formatSize || size != m_formatSize)
        return DIERR_INVALIDPARAM;
    return Poll(unplugged);
}

// Lost until the reader lets go of it; acquiring it again then fails.
HRESULT DeviceAccess::Poll(bool unplugged) {
    if (!m_acquired)
        return DIERR_NOTACQUIRED;
    return unplugged ? DIERR_INPUTLOST : DI_OK;
}
