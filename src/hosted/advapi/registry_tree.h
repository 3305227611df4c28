// The simulated machine's registry: the predefined roots, keys with their
// values, and the open key handles. Everything here is called with the
// machine lock held.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>

namespace hosted {

// Registry names compare without regard to case, as on Windows; a key or
// value keeps the spelling it was created with.
struct NoCaseLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

struct RegistryValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// Each key holds its own name only: a path kept in every key would cost the
// square of the depth.
struct RegistryKey {
    std::string name;                  // a root's is its short name, e.g. "HKLM"
    std::weak_ptr<RegistryKey> parent; // none for a root
    int depth = 0;                     // levels below the root
    bool deleted = false;
    std::map<std::string, std::shared_ptr<RegistryKey>, NoCaseLess> subkeys;
    std::map<std::string, RegistryValue, NoCaseLess> values;
};

// The fresh machine: every predefined root, with "Software" under HKLM and
// HKCU only, as a new installation has it. Open handles go stale; a
// registry file in use is left as it is until the next change.
void ResetRegistry();

// Windows' limits: a key name of at most 255 characters, a key at most 512
// levels below its root.
constexpr std::size_t kMaxKeyNameLength = 255;
constexpr int kMaxKeyDepth = 512;

// The key's path from its root's short name, e.g. "HKLM\Software", built
// when asked for.
std::string KeyPath(const RegistryKey& key);
// The names of the key's path, the root's short name first.
std::vector<std::string> KeyPathNames(const RegistryKey& key);

// Whether `names` below `from` stay within Windows' limits: ERROR_SUCCESS,
// or the code Windows gives for a name too long or a key too deep.
LONG CheckKeyNames(const RegistryKey& from, const std::vector<std::string>& names);

// Looks up a root by its handle value, or by its name ("HKLM" or
// "HKEY_LOCAL_MACHINE"); null when there is no such root.
std::shared_ptr<RegistryKey> RootByHandle(HKEY root);
std::shared_ptr<RegistryKey> RootByName(const std::string& name);
// Every root in handle order, with its short name.
std::vector<std::pair<std::string, std::shared_ptr<RegistryKey>>> Roots();

// Splits "A\B\C" into names; a trailing backslash is allowed, an empty name
// inside the path is not.
bool SplitKeyPath(const std::string& path, std::vector<std::string>* names);
std::shared_ptr<RegistryKey> FindSubkey(const std::shared_ptr<RegistryKey>& from,
                                        const std::vector<std::string>& names);
// Creates what is missing; *created tells whether the last key was new.
std::shared_ptr<RegistryKey> CreateSubkey(const std::shared_ptr<RegistryKey>& from,
                                          const std::vector<std::string>& names, bool* created);
// Removes the key and everything below it; open handles to them go stale.
void RemoveKey(const std::shared_ptr<RegistryKey>& key);
// Adds or replaces a value.
void SetKeyValue(RegistryKey& key, const std::string& name, RegistryValue value);

// "HKLM\Software\..." from the start of a root's name; null when the root or
// a key on the way is missing.
std::shared_ptr<RegistryKey> FindKeyByPath(const std::string& path);

// A change the program made through the registry calls.
struct RegistryChange {
    enum Kind { KeyCreated, ValueSet, KeyDeleted } kind;
    std::vector<std::string> path; // the key's names, its root's short name first
    std::string name;              // the value's, for ValueSet
    RegistryValue value;
};
// Tells the hook of a change the program made (the simulated machine keeps
// what the program stores in a file); the scenario's own set-up is no such
// change. Null for none.
void SetRegistryChangeHook(void (*hook)(const RegistryChange& change));
void NotifyRegistryChanged(const RegistryChange& change);

// Whether the fresh machine has the key, without values.
bool IsFreshKey(const RegistryKey& key);

// Open key handles. Predefined roots are not counted and need no closing.
HKEY AddKeyHandle(std::shared_ptr<RegistryKey> key, REGSAM access);
// The key behind a handle (a root or an open one) and the access it was
// opened with; null when the handle is not open.
std::shared_ptr<RegistryKey> LookupKeyHandle(HKEY handle, REGSAM* access);
bool RemoveKeyHandle(HKEY handle);
std::size_t OpenKeyHandleCount();

} // namespace hosted
