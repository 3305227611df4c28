#include "input/key_names.h"

static_assert(sizeof KeyNameTable == 256 * 12, "256 names of 12 bytes, indexed by scan code");

// Eight scan codes a line, the first one's code in front; "" is a key
// without a name. Nothing after 0xD3 has a name, so the rest stay zero.
// clang-format off
const char KeyNameTable[256][12] = {
    /* 00 */ "", "ESC", "1", "2", "3", "4", "5", "6",
    /* 08 */ "7", "8", "9", "0", "-", "=", "BSP", "TAB",
    /* 10 */ "q", "w", "e", "r", "t", "y", "u", "i",
    /* 18 */ "o", "p", "[", "]", "ENT", "LCTL", "a", "s",
    /* 20 */ "d", "f", "g", "h", "j", "k", "l", ";",
    /* 28 */ "'", "`", "LSFT", "\\", "z", "x", "c", "v",
    /* 30 */ "b", "n", "m", ",", ".", "/", "RSFT", "KPMUL",
    /* 38 */ "LALT", "SPC", "CAPS", "F1", "F2", "F3", "F4", "F5",
    /* 40 */ "F6", "F7", "F8", "F9", "F10", "NUML", "SCRLK", "KP7",
    /* 48 */ "KP8", "KP9", "KPMINUS", "KP4", "KP5", "KP6", "KPPLUS", "KP1",
    /* 50 */ "KP2", "KP3", "KP0", "KPDOT", "", "", "", "F11",
    /* 58 */ "F12", "", "", "", "", "", "", "",
    /* 60 */ "", "", "", "", "", "", "", "",
    /* 68 */ "", "", "", "", "", "", "", "",
    /* 70 */ "", "", "", "", "", "", "", "",
    /* 78 */ "", "", "", "", "", "", "", "",
    /* 80 */ "", "", "", "", "", "", "", "",
    /* 88 */ "", "", "", "", "", "", "", "",
    /* 90 */ "", "", "", "", "", "", "", "",
    /* 98 */ "", "", "", "", "KPENT", "RCTL", "", "",
    /* A0 */ "", "", "", "", "", "", "", "",
    /* A8 */ "", "", "", "", "", "", "", "",
    /* B0 */ "", "", "", "", "", "KPDIV", "", "SYSREQ",
    /* B8 */ "RALT", "", "", "", "", "", "", "",
    /* C0 */ "", "", "", "", "", "PAUSE", "", "AUXHOME",
    /* C8 */ "AUXUAROW", "AUXPGUP", "", "AUXLAROW", "", "AUXRAROW", "", "AUXEND",
    /* D0 */ "AUXDAROW", "AUXPGDN", "AUXINS", "AUXDEL", "", "", "", "",
};
// clang-format on
