// Stands in for <dinputd.h>: DirectInput 5's joystick configuration
// interface and its record, as far as BRISKARN uses them.
#pragma once

#include <cstddef>

#include "dinput.h"

extern const IID IID_IDirectInputJoyConfig;

#define DIJC_GUIDINSTANCE 0x00000001
#define DIJC_REGHWCONFIGTYPE 0x00000002
#define DIJC_GAIN 0x00000004
#define DIJC_CALLOUT 0x00000008

typedef struct joypos_tag {
    DWORD dwX, dwY, dwZ, dwR, dwU, dwV;
} JOYPOS;

typedef struct joyrange_tag {
    JOYPOS jpMin;
    JOYPOS jpMax;
    JOYPOS jpCenter;
} JOYRANGE;

typedef struct joyreghwsettings_tag {
    DWORD dwFlags;
    DWORD dwNumButtons;
} JOYREGHWSETTINGS;

typedef struct joyreghwvalues_tag {
    JOYRANGE jrvHardware;
    DWORD dwPOVValues[4];
    DWORD dwCalFlags;
} JOYREGHWVALUES;

typedef struct joyreghwconfig_tag {
    JOYREGHWSETTINGS hws;
    DWORD dwUsageSettings;
    JOYREGHWVALUES hwv;
    DWORD dwType;
    DWORD dwReserved;
} JOYREGHWCONFIG;
static_assert(sizeof(JOYREGHWCONFIG) == 112, "JOYREGHWCONFIG is 112 bytes");

// The record as DirectInput 5 knows it; later versions append a GUID.
typedef struct DIJOYCONFIG_DX5 {
    DWORD dwSize;
    GUID guidInstance;
    JOYREGHWCONFIG hwc;
    DWORD dwGain;
    WCHAR wszType[256];
    WCHAR wszCallout[256];
} DIJOYCONFIG_DX5, *LPDIJOYCONFIG_DX5;
static_assert(sizeof(DIJOYCONFIG_DX5) == 1160, "DIJOYCONFIG of DirectInput 5 is 1160 bytes");
static_assert(offsetof(DIJOYCONFIG_DX5, guidInstance) == 4 &&
                  offsetof(DIJOYCONFIG_DX5, hwc) == 20 && offsetof(DIJOYCONFIG_DX5, dwGain) == 132 &&
                  offsetof(DIJOYCONFIG_DX5, wszType) == 136 &&
                  offsetof(DIJOYCONFIG_DX5, wszCallout) == 648,
              "DIJOYCONFIG_DX5 layout");

typedef struct DIJOYCONFIG {
    DWORD dwSize;
    GUID guidInstance;
    JOYREGHWCONFIG hwc;
    DWORD dwGain;
    WCHAR wszType[256];
    WCHAR wszCallout[256];
    GUID guidGameport;
} DIJOYCONFIG, *LPDIJOYCONFIG;

struct IDirectInputJoyConfig : IUnknown {
    STDMETHOD(Acquire)() PURE;
    STDMETHOD(Unacquire)() PURE;
    STDMETHOD(SetCooperativeLevel)(HWND window, DWORD flags) PURE;
    // Fills as much of the record as its dwSize names.
    STDMETHOD(GetConfig)(UINT slot, LPDIJOYCONFIG config, DWORD flags) PURE;
};
typedef IDirectInputJoyConfig* LPDIRECTINPUTJOYCONFIG;
