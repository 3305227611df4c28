// Stands in for <dinput.h>: the DirectInput 5 subset that BRISKARN uses,
// with the record layouts and constants of the real header, implemented by
// src/hosted on Linux. Each interface declares only the methods the program
// calls; the Windows headers declare them all.
#pragma once

#include <cstddef>

#include "windows.h"

#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0500
#endif

extern const GUID GUID_SysKeyboard;
extern const GUID GUID_SysMouse;
extern const GUID GUID_XAxis;
extern const GUID GUID_YAxis;
extern const GUID GUID_ZAxis;
extern const GUID GUID_RxAxis;
extern const GUID GUID_RyAxis;
extern const GUID GUID_RzAxis;
extern const GUID GUID_Slider;
extern const GUID GUID_Button;
extern const GUID GUID_Key;
extern const GUID GUID_POV;
extern const GUID GUID_Unknown;
extern const IID IID_IDirectInputA;
extern const IID IID_IDirectInputDeviceA;
extern const IID IID_IDirectInputDevice2A;

#define DI_OK S_OK
#define DI_NOTATTACHED S_FALSE
#define DI_POLLEDDEVICE ((HRESULT)2L)
#define DIERR_OLDDIRECTINPUTVERSION ((HRESULT)0x8007047EL)
#define DIERR_BETADIRECTINPUTVERSION ((HRESULT)0x80070481L)
#define DIERR_BADDRIVERVER ((HRESULT)0x80070077L)
#define DIERR_DEVICENOTREG ((HRESULT)0x80040154L)
#define DIERR_NOTFOUND ((HRESULT)0x80070002L)
#define DIERR_OBJECTNOTFOUND ((HRESULT)0x80070002L)
#define DIERR_INVALIDPARAM E_INVALIDARG
#define DIERR_NOINTERFACE E_NOINTERFACE
#define DIERR_GENERIC E_FAIL
#define DIERR_OUTOFMEMORY E_OUTOFMEMORY
#define DIERR_UNSUPPORTED E_NOTIMPL
#define DIERR_NOTINITIALIZED ((HRESULT)0x80070015L)
#define DIERR_ALREADYINITIALIZED ((HRESULT)0x800704DFL)
#define DIERR_NOAGGREGATION ((HRESULT)0x80040110L)
#define DIERR_OTHERAPPHASPRIO ((HRESULT)0x80070005L)
#define DIERR_INPUTLOST ((HRESULT)0x8007001EL)
#define DIERR_ACQUIRED ((HRESULT)0x800700AAL)
#define DIERR_NOTACQUIRED ((HRESULT)0x8007000CL)
#define DIERR_READONLY ((HRESULT)0x80070005L)
#define DIERR_HANDLEEXISTS ((HRESULT)0x80070005L)
#define DIERR_INSUFFICIENTPRIVS ((HRESULT)0x80040200L)
#define DIERR_DEVICEFULL ((HRESULT)0x80040201L)
#define DIERR_MOREDATA ((HRESULT)0x80040202L)
#define DIERR_NOTDOWNLOADED ((HRESULT)0x80040203L)
#define DIERR_HASEFFECTS ((HRESULT)0x80040204L)
#define DIERR_NOTEXCLUSIVEACQUIRED ((HRESULT)0x80040205L)
#define DIERR_INCOMPLETEEFFECT ((HRESULT)0x80040206L)
#define DIERR_NOTBUFFERED ((HRESULT)0x80040207L)
#define DIERR_EFFECTPLAYING ((HRESULT)0x80040208L)
#define DIERR_UNPLUGGED ((HRESULT)0x80040209L)
#define DIERR_REPORTFULL ((HRESULT)0x8004020AL)
#define DIERR_DRIVERFIRST ((HRESULT)0x80040300L)
#define DIERR_DRIVERLAST ((HRESULT)0x800403FFL)
#define DIERR_INVALIDCLASSINSTALLER ((HRESULT)0x80040400L)
#define DIERR_CANCELLED ((HRESULT)0x80040401L)
#define DIERR_BADINF ((HRESULT)0x80040402L)
#define DIERR_NOMOREITEMS ((HRESULT)0x80070103L)

#define DISCL_EXCLUSIVE 0x00000001
#define DISCL_NONEXCLUSIVE 0x00000002
#define DISCL_FOREGROUND 0x00000004
#define DISCL_BACKGROUND 0x00000008

#define DIENUM_STOP 0
#define DIENUM_CONTINUE 1

#define DIDC_ATTACHED 0x00000001
#define DIDC_POLLEDDEVICE 0x00000002
#define DIDC_EMULATED 0x00000004
#define DIDC_POLLEDDATAFORMAT 0x00000008

#define DIDFT_ALL 0x00000000
#define DIDFT_RELAXIS 0x00000001
#define DIDFT_ABSAXIS 0x00000002
#define DIDFT_AXIS 0x00000003
#define DIDFT_PSHBUTTON 0x00000004
#define DIDFT_TGLBUTTON 0x00000008
#define DIDFT_BUTTON 0x0000000C
#define DIDFT_POV 0x00000010
#define DIDFT_COLLECTION 0x00000040
#define DIDFT_NODATA 0x00000080
#define DIDFT_ANYINSTANCE 0x00FFFF00
#define DIDFT_INSTANCEMASK DIDFT_ANYINSTANCE
#define DIDFT_MAKEINSTANCE(n) ((WORD)(n) << 8)
#define DIDFT_GETTYPE(n) LOBYTE(n)
#define DIDFT_GETINSTANCE(n) LOWORD((n) >> 8)
#define DIDFT_OPTIONAL 0x80000000

#define DIDF_ABSAXIS 0x00000001
#define DIDF_RELAXIS 0x00000002

typedef struct DIDEVCAPS {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwDevType;
    DWORD dwAxes;
    DWORD dwButtons;
    DWORD dwPOVs;
    DWORD dwFFSamplePeriod;
    DWORD dwFFMinTimeResolution;
    DWORD dwFirmwareRevision;
    DWORD dwHardwareRevision;
    DWORD dwFFDriverVersion;
} DIDEVCAPS, *LPDIDEVCAPS;
static_assert(sizeof(DIDEVCAPS) == 44, "DIDEVCAPS of DirectInput 5 is 44 bytes");

typedef struct DIDEVICEOBJECTINSTANCEA {
    DWORD dwSize;
    GUID guidType;
    DWORD dwOfs;
    DWORD dwType;
    DWORD dwFlags;
    CHAR tszName[MAX_PATH];
    DWORD dwFFMaxForce;
    DWORD dwFFForceResolution;
    WORD wCollectionNumber;
    WORD wDesignatorIndex;
    WORD wUsagePage;
    WORD wUsage;
    DWORD dwDimension;
    WORD wExponent;
    WORD wReserved;
} DIDEVICEOBJECTINSTANCEA, *LPDIDEVICEOBJECTINSTANCEA;
typedef const DIDEVICEOBJECTINSTANCEA* LPCDIDEVICEOBJECTINSTANCEA;
static_assert(sizeof(DIDEVICEOBJECTINSTANCEA) == 316, "DIDEVICEOBJECTINSTANCEA is 316 bytes");
static_assert(offsetof(DIDEVICEOBJECTINSTANCEA, dwOfs) == 20 &&
                  offsetof(DIDEVICEOBJECTINSTANCEA, dwType) == 24 &&
                  offsetof(DIDEVICEOBJECTINSTANCEA, tszName) == 32,
              "DIDEVICEOBJECTINSTANCEA layout");

typedef BOOL(CALLBACK* LPDIENUMDEVICEOBJECTSCALLBACKA)(LPCDIDEVICEOBJECTINSTANCEA, LPVOID);

typedef struct _DIOBJECTDATAFORMAT {
    const GUID* pguid;
    DWORD dwOfs;
    DWORD dwType;
    DWORD dwFlags;
} DIOBJECTDATAFORMAT, *LPDIOBJECTDATAFORMAT;
typedef const DIOBJECTDATAFORMAT* LPCDIOBJECTDATAFORMAT;

typedef struct _DIDATAFORMAT {
    DWORD dwSize;
    DWORD dwObjSize;
    DWORD dwFlags;
    DWORD dwDataSize;
    DWORD dwNumObjs;
    LPDIOBJECTDATAFORMAT rgodf;
} DIDATAFORMAT, *LPDIDATAFORMAT;
typedef const DIDATAFORMAT* LPCDIDATAFORMAT;

// The predefined formats: 256 keys of one byte; the mouse's 16 bytes; the
// extended joystick's 164 objects in its 272-byte state.
extern const DIDATAFORMAT c_dfDIKeyboard;
extern const DIDATAFORMAT c_dfDIMouse;
extern const DIDATAFORMAT c_dfDIJoystick2;

struct IDirectInputDeviceA : IUnknown {
    STDMETHOD(GetCapabilities)(LPDIDEVCAPS caps) PURE;
    STDMETHOD(EnumObjects)(LPDIENUMDEVICEOBJECTSCALLBACKA callback, LPVOID reference,
                           DWORD flags) PURE;
    STDMETHOD(Acquire)() PURE;
    STDMETHOD(Unacquire)() PURE;
    STDMETHOD(GetDeviceState)(DWORD size, LPVOID data) PURE;
    STDMETHOD(SetDataFormat)(LPCDIDATAFORMAT format) PURE;
    STDMETHOD(SetEventNotification)(HANDLE event) PURE;
    STDMETHOD(SetCooperativeLevel)(HWND window, DWORD flags) PURE;
};
typedef IDirectInputDeviceA* LPDIRECTINPUTDEVICEA;

struct IDirectInputDevice2A : IDirectInputDeviceA {
    STDMETHOD(Poll)() PURE;
};
typedef IDirectInputDevice2A* LPDIRECTINPUTDEVICE2A;

struct IDirectInputA : IUnknown {
    STDMETHOD(CreateDevice)(REFGUID instance, LPDIRECTINPUTDEVICEA* device,
                            LPUNKNOWN outer) PURE;
};
typedef IDirectInputA* LPDIRECTINPUTA;

HRESULT WINAPI DirectInputCreateA(HINSTANCE instance, DWORD version, LPDIRECTINPUTA* directInput,
                                  LPUNKNOWN outer);

// The state that GetDeviceState fills for the c_dfDIJoystick2 data format.
typedef struct DIJOYSTATE2 {
    LONG lX;
    LONG lY;
    LONG lZ;
    LONG lRx;
    LONG lRy;
    LONG lRz;
    LONG rglSlider[2];
    DWORD rgdwPOV[4];
    BYTE rgbButtons[128];
    LONG lVX; // velocities
    LONG lVY;
    LONG lVZ;
    LONG lVRx;
    LONG lVRy;
    LONG lVRz;
    LONG rglVSlider[2];
    LONG lAX; // accelerations
    LONG lAY;
    LONG lAZ;
    LONG lARx;
    LONG lARy;
    LONG lARz;
    LONG rglASlider[2];
    LONG lFX; // forces and torques
    LONG lFY;
    LONG lFZ;
    LONG lFRx;
    LONG lFRy;
    LONG lFRz;
    LONG rglFSlider[2];
} DIJOYSTATE2, *LPDIJOYSTATE2;

static_assert(sizeof(DIJOYSTATE2) == 272, "DIJOYSTATE2 is 272 bytes");
static_assert(offsetof(DIJOYSTATE2, lX) == 0 && offsetof(DIJOYSTATE2, lY) == 4 &&
                  offsetof(DIJOYSTATE2, rglSlider) == 24 && offsetof(DIJOYSTATE2, rgdwPOV) == 32 &&
                  offsetof(DIJOYSTATE2, rgbButtons) == 48 && offsetof(DIJOYSTATE2, lVX) == 176 &&
                  offsetof(DIJOYSTATE2, rglFSlider) == 264,
              "DIJOYSTATE2 layout");
