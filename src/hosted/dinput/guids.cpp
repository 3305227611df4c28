// The GUIDs of DirectInput 5 and COM that the program names, with the
// values the system's headers give them.
#include <dinput.h>
#include <dinputd.h>

#define BRISKARN_GUID(name, l, w1, w2)                                                             \
    extern const GUID name;                                                                        \
    const GUID name = {l, w1, w2, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}}

BRISKARN_GUID(GUID_SysMouse, 0x6F1D2B60, 0xD5A0, 0x11CF);
BRISKARN_GUID(GUID_SysKeyboard, 0x6F1D2B61, 0xD5A0, 0x11CF);
BRISKARN_GUID(GUID_XAxis, 0xA36D02E0, 0xC9F3, 0x11CF);
BRISKARN_GUID(GUID_YAxis, 0xA36D02E1, 0xC9F3, 0x11CF);
BRISKARN_GUID(GUID_ZAxis, 0xA36D02E2, 0xC9F3, 0x11CF);
BRISKARN_GUID(GUID_RxAxis, 0xA36D02F4, 0xC9F3, 0x11CF);
BRISKARN_GUID(GUID_RyAxis, 0xA36D02F5, 0xC9F3, 0x11CF);
BRISKARN_GUID(GUID_RzAxis, 0xA36D02E3, 0xC9F3, 0x11CF);
BRISKARN_GUID(GUID_Slider, 0xA36D02E4, 0xC9F3, 0x11CF);
BRISKARN_GUID(GUID_Button, 0xA36D02F0, 0xC9F3, 0x11CF);
BRISKARN_GUID(GUID_Key, 0x55728220, 0xD33C, 0x11CF);
BRISKARN_GUID(GUID_POV, 0xA36D02F2, 0xC9F3, 0x11CF);
BRISKARN_GUID(GUID_Unknown, 0xA36D02F3, 0xC9F3, 0x11CF);
BRISKARN_GUID(IID_IDirectInputA, 0x89521360, 0xAA8A, 0x11CF);
BRISKARN_GUID(IID_IDirectInputDeviceA, 0x5944E680, 0xC92E, 0x11CF);
BRISKARN_GUID(IID_IDirectInputDevice2A, 0x5944E682, 0xC92E, 0x11CF);
BRISKARN_GUID(IID_IDirectInputJoyConfig, 0x1DE12AB1, 0xC9F5, 0x11CF);

extern const IID IID_IUnknown;
const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
