// Dialog data exchange: controls bound to objects, edits to numbers, and
// the checks that send the user back to a value that cannot be taken.
#include <cstdio>

#include "framework/app.h"
#include "framework/dialog.h"
#include "framework/framework_ids.h"

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The framework's strings live in the program's own string table.
void LoadFrameworkString(UINT id, char* buffer, int size) {
    HINSTANCE instance = AfxGetInstanceHandle();
    if (!::LoadStringA(instance ? instance : ::GetModuleHandleA(nullptr), id, buffer, size))
        buffer[0] = '\0';
}

} // namespace

HWND CDataExchange::PrepareCtrl(int id) {
    m_hWndLastControl = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
    m_bEditLastControl = false;
    return m_hWndLastControl;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
    HWND control = PrepareCtrl(id);
    m_bEditLastControl = true;
    return control;
}

void CDataExchange::Fail() {
    if (m_hWndLastControl) {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl)
            ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    m_bFailed = true;
}

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    if (pDX->m_bFailed)
        return;
    if (control.m_hWnd == nullptr)
        control.m_hWnd = pDX->PrepareCtrl(id);
}

BOOL AfxParseUInt(LPCSTR text, UINT* value) {
    while (IsBlank(*text))
        ++text;
    if (*text < '0' || *text > '9')
        return FALSE;
    unsigned long long number = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        number = number * 10 + static_cast<unsigned>(*text - '0');
        if (number > 0xFFFFFFFFull)
            return FALSE;
    }
    while (IsBlank(*text))
        ++text;
    if (*text != '\0')
        return FALSE;
    *value = static_cast<UINT>(number);
    return TRUE;
}

void AfxFormatStrings(LPSTR out, int size, LPCSTR pattern, const LPCSTR* args, int count) {
    if (size <= 0)
        return;
    int length = 0;
    auto put = [&](char c) {
        if (length < size - 1)
            out[length++] = c;
    };
    for (const char* p = pattern; *p; ++p) {
        int index = p[0] == '%' && p[1] >= '1' && p[1] <= '9' ? p[1] - '1' : -1;
        if (index < 0 || index >= count) {
            put(*p);
            continue;
        }
        for (const char* arg = args[index]; *arg; ++arg)
            put(*arg);
        ++p;
    }
    out[length] = '\0';
}

void DDX_Text(CDataExchange* pDX, int id, UINT& value) {
    if (pDX->m_bFailed)
        return;
    HWND edit = pDX->PrepareEditCtrl(id);
    if (!pDX->m_bSaveAndValidate) {
        char text[16];
        std::snprintf(text, sizeof text, "%u", value);
        ::SetWindowTextA(edit, text);
        return;
    }
    // A text too long for the buffer is no number of 32 bits anyway.
    char text[256];
    int length = ::GetWindowTextA(edit, text, sizeof text);
    UINT parsed = 0;
    if (length >= static_cast<int>(sizeof text) - 1 || !AfxParseUInt(text, &parsed)) {
        char message[256];
        LoadFrameworkString(AFX_IDP_PARSE_UINT, message, sizeof message);
        AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
        return;
    }
    value = parsed;
}

void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT min, UINT max) {
    if (pDX->m_bFailed || !pDX->m_bSaveAndValidate || (value >= min && value <= max))
        return;
    char low[16], high[16], pattern[256], message[256];
    std::snprintf(low, sizeof low, "%u", min);
    std::snprintf(high, sizeof high, "%u", max);
    LoadFrameworkString(AFX_IDP_PARSE_INT_RANGE, pattern, sizeof pattern);
    const LPCSTR args[] = {low, high};
    AfxFormatStrings(message, sizeof message, pattern, args, 2);
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    pDX->Fail();
}
