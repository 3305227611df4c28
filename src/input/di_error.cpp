#include "input/di_error.h"

#include <cstdio>
#include <string>

#include "base/log.h"

namespace {

struct DIErrorName {
    DWORD code;
    const char* name;
};

// Each code is written under one name, even where DirectInput gives it
// several (0x80070005 above all), so that one search of the log finds every
// occurrence of a failure. "DIERR_ACQURIED" is spelt so on purpose: readers
// of the log match the texts as they stand.
const DIErrorName kDIErrorNames[] = {
    {0x80004001, "DIERR_UNSUPPORTED"},
    {0x80004002, "DIERR_NOINTERFACE"},
    {0x80004005, "DIERR_GENERIC"},
    {0x80040110, "DIERR_NOAGGREGATION"},
    {0x80040154, "DIERR_DEVICENOTREG"},
    {0x80040200, "DIERR_INSUFFICIENTPRIVS"},
    {0x80040201, "DIERR_DEVICEFULL"},
    {0x80040202, "DIERR_MOREDATA"},
    {0x80040203, "DIERR_NOTDOWNLOADED"},
    {0x80040204, "DIERR_HASEFFECTS"},
    {0x80040205, "DIERR_NOTEXCLUSIVEACQUIRED"},
    {0x80040206, "DIERR_INCOMPLETEEFFECT"},
    {0x80040207, "DIERR_NOTBUFFERED"},
    {0x80040208, "DIERR_EFFECTPLAYING"},
    {0x80040209, "DIERR_UNPLUGGED"},
    {0x8004020A, "DIERR_REPORTFULL"},
    {0x80040300, "DIERR_DRIVERFIRST"},
    {0x800403FF, "DIERR_DRIVERLAST"},
    {0x80040400, "DIERR_INVALIDCLASSINSTALLER"},
    {0x80040401, "DIERR_CANCELLED"},
    {0x80040402, "DIERR_BADINF"},
    {0x80070002, "DIERR_OBJECTNOTFOUND"},
    {0x80070005, "DIERR_OTHERAPPHASPRIO"},
    {0x8007000C, "DIERR_NOTACQUIRED"},
    {0x8007000E, "DIERR_OUTOFMEMORY"},
    {0x80070015, "DIERR_NOTINITIALIZED"},
    {0x8007001E, "DIERR_INPUTLOST"},
    {0x80070057, "DIERR_INVALIDPARAM"},
    {0x80070077, "DIERR_BADDRIVERVER"},
    {0x800700AA, "DIERR_ACQURIED"},
    {0x80070103, "DIERR_NOMOREITEMS"},
    {0x8007047E, "DIERR_OLDDIRECTINPUTVERSION"},
    {0x80070481, "DIERR_BETADIRECTINPUTVERSION"},
    {0x800704DF, "DIERR_ALREADYINITIALIZED"},
};
static_assert(sizeof kDIErrorNames / sizeof kDIErrorNames[0] == 34, "one row per named code");

const char* FindDIErrorName(DWORD code) {
    for (const DIErrorName& row : kDIErrorNames)
        if (row.code == code)
            return row.name;
    return nullptr;
}

} // namespace

void ReportDIError(const char* message, HRESULT code) {
    DWORD bits = static_cast<DWORD>(code);
    char hex[9];
    const char* name = FindDIErrorName(bits);
    if (!name) {
        std::snprintf(hex, sizeof hex, "%x", static_cast<unsigned>(bits));
        name = hex;
    }
    // Built as one text so that the whole line is one log entry, whichever
    // thread is logging at the same moment.
    std::string text(message ? message : "");
    text += ".  Return Code: ";
    text += name;
    text += '\n';
    WriteLog(text.c_str());
}
