#include "shell/profile_store.h"

#include <cstdio>
#include <vector>

namespace {

const REGSAM kKeyAccess = KEY_READ | KEY_WRITE;

// Grows the buffer until the whole string fits, since LoadStringA cuts a
// long one short without saying so; empty when the resource is missing.
std::string LoadResourceString(UINT nID) {
    std::vector<char> buffer(256);
    while (true) {
        int length = LoadStringA(GetModuleHandleA(nullptr), nID, buffer.data(),
                                 static_cast<int>(buffer.size()));
        if (length < static_cast<int>(buffer.size()) - 1 || buffer.size() >= 65536)
            return std::string(buffer.data(), length > 0 ? static_cast<std::size_t>(length) : 0);
        buffer.resize(buffer.size() * 2);
    }
}

HKEY CreateKey(HKEY hParent, LPCSTR lpszName) {
    HKEY hKey = nullptr;
    DWORD dwDisposition = 0;
    if (RegCreateKeyExA(hParent, lpszName, 0, nullptr, REG_OPTION_NON_VOLATILE, kKeyAccess, nullptr,
                        &hKey, &dwDisposition) != ERROR_SUCCESS)
        return nullptr;
    return hKey;
}

} // namespace

CProfileStore::CProfileStore() : m_hRootKey(HKEY_LOCAL_MACHINE) {}

CProfileStore::~CProfileStore() {}

HKEY CProfileStore::SetRootKey(HKEY hRootKey) {
    HKEY hPrevious = m_hRootKey;
    if (hRootKey == HKEY_CLASSES_ROOT || hRootKey == HKEY_CURRENT_USER ||
        hRootKey == HKEY_LOCAL_MACHINE || hRootKey == HKEY_USERS)
        m_hRootKey = hRootKey;
    return hPrevious;
}

void CProfileStore::SetRegistryKey(UINT nIDRegistryKey) {
    SetRegistryKey(LoadResourceString(nIDRegistryKey).c_str());
}

void CProfileStore::SetRegistryKey(LPCSTR lpszRegistryKey) {
    m_strRegistryKey = lpszRegistryKey ? lpszRegistryKey : "";
}

void CProfileStore::SetProfileName(UINT nIDProfileName) {
    SetProfileName(LoadResourceString(nIDProfileName).c_str());
}

void CProfileStore::SetProfileName(LPCSTR lpszProfileName) {
    m_strProfileName = lpszProfileName ? lpszProfileName : "";
}

// "Software" is only opened: a root without it is not one to keep settings under.
HKEY CProfileStore::GetAppRegistryKey() {
    HKEY hSoftKey = nullptr;
    if (RegOpenKeyExA(m_hRootKey, "Software", 0, kKeyAccess, &hSoftKey) != ERROR_SUCCESS)
        return nullptr;
    HKEY hAppKey = nullptr;
    HKEY hCompanyKey = CreateKey(hSoftKey, m_strRegistryKey.c_str());
    if (hCompanyKey) {
        hAppKey = CreateKey(hCompanyKey, m_strProfileName.c_str());
        RegCloseKey(hCompanyKey);
    }
    RegCloseKey(hSoftKey);
    return hAppKey;
}

HKEY CProfileStore::GetSectionKey(LPCSTR lpszSection) {
    HKEY hAppKey = GetAppRegistryKey();
    if (!hAppKey)
        return nullptr;
    HKEY hSectionKey = CreateKey(hAppKey, lpszSection);
    RegCloseKey(hAppKey);
    return hSectionKey;
}

// Only a value of exactly four bytes is taken, whatever its type: a shorter
// one would leave part of the result unset, a longer one does not fit.
UINT CProfileStore::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault) {
    if (m_strRegistryKey.empty())
        return GetPrivateProfileIntA(lpszSection, lpszEntry, nDefault, m_strProfileName.c_str());
    HKEY hSectionKey = GetSectionKey(lpszSection);
    if (!hSectionKey)
        return static_cast<UINT>(nDefault);
    DWORD dwValue = 0;
    DWORD dwType = 0;
    DWORD dwCount = sizeof dwValue;
    LONG lResult = RegQueryValueExA(hSectionKey, lpszEntry, nullptr, &dwType,
                                    reinterpret_cast<LPBYTE>(&dwValue), &dwCount);
    RegCloseKey(hSectionKey);
    if (lResult != ERROR_SUCCESS || dwCount != sizeof dwValue)
        return static_cast<UINT>(nDefault);
    return dwValue;
}

BOOL CProfileStore::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue) {
    if (m_strRegistryKey.empty()) {
        char szText[16];
        std::snprintf(szText, sizeof szText, "%d", nValue);
        return WritePrivateProfileStringA(lpszSection, lpszEntry, szText, m_strProfileName.c_str());
    }
    HKEY hSectionKey = GetSectionKey(lpszSection);
    if (!hSectionKey)
        return FALSE;
    DWORD dwValue = static_cast<DWORD>(nValue);
    LONG lResult = RegSetValueExA(hSectionKey, lpszEntry, 0, REG_DWORD,
                                  reinterpret_cast<const BYTE*>(&dwValue), sizeof dwValue);
    RegCloseKey(hSectionKey);
    return lResult == ERROR_SUCCESS;
}
