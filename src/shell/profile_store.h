// CProfileStore: named integer settings grouped in sections, kept in the
// registry under {root}\Software\{registry key}\{profile name}\{section}, or,
// while no registry key is named, in the private profile file named by the
// profile name. It reports nothing: a failed read gives the caller's
// default, a failed write FALSE.
#pragma once

#include <string>

#include <windows.h>

class CProfileStore {
  public:
    CProfileStore();
    virtual ~CProfileStore();

    // Takes only HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE or
    // HKEY_USERS; returns the root in force when called.
    virtual HKEY SetRootKey(HKEY hRootKey);
    // A missing string resource, or a null text, gives an empty name; an
    // empty registry key selects the profile file.
    virtual void SetRegistryKey(UINT nIDRegistryKey);
    virtual void SetRegistryKey(LPCSTR lpszRegistryKey);
    virtual void SetProfileName(UINT nIDProfileName);
    virtual void SetProfileName(LPCSTR lpszProfileName);
    // The application and section keys, created when missing ("Software"
    // itself never is); null on failure. The caller closes what it gets.
    virtual HKEY GetAppRegistryKey();
    virtual HKEY GetSectionKey(LPCSTR lpszSection);

    // Not virtual: they reach the keys through the two virtual calls above,
    // so a derived class can redirect the whole chain.
    UINT GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);

  protected:
    std::string m_strRegistryKey;
    std::string m_strProfileName;
    HKEY m_hRootKey;
};
