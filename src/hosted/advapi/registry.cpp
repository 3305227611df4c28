// Stands in for the advapi32 registry calls over the simulated machine's
// registry: keys opened and created by relative path, values kept with
// their type and exact size, and the result codes that Windows returns
// (they are returned, never put into the last error).
#include <cstring>

#include "core/format.h"
#include "core/machine.h"
#include "advapi/registry_tree.h"
#include "core/transcript.h"

namespace hosted {
namespace {

// The key behind an open handle, checked for the access the call needs.
LONG ResolveKey(HKEY handle, REGSAM need, std::shared_ptr<RegistryKey>* key) {
    REGSAM access = 0;
    *key = LookupKeyHandle(handle, &access);
    if (!*key)
        return ERROR_INVALID_HANDLE;
    // A handle outlives the key it names; Windows answers for it this way.
    if ((*key)->deleted)
        return ERROR_KEY_DELETED;
    return (access & need) == need ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

std::string OrEmpty(LPCSTR name) {
    return name ? name : "";
}

// REG_DWORD in decimal, a string quoted, anything else as its type and bytes.
std::string TranscriptValue(const RegistryValue& value) {
    if (value.type == REG_DWORD && value.data.size() == 4) {
        DWORD number;
        std::memcpy(&number, value.data.data(), 4);
        return Format("%u", number);
    }
    bool terminated = !value.data.empty() && value.data.back() == 0;
    if (value.type == REG_SZ && terminated) {
        std::string quoted = "\"";
        for (auto it = value.data.begin(); it + 1 != value.data.end(); ++it) {
            if (*it == '"' || *it == '\\')
                quoted += '\\';
            quoted += static_cast<char>(*it);
        }
        return quoted + "\"";
    }
    std::string text = Format("hex(%u):", value.type);
    for (std::size_t i = 0; i < value.data.size(); ++i)
        text += Format(i ? ",%02x" : "%02x", value.data[i]);
    return text;
}

} // namespace
} // namespace hosted

using namespace hosted;

namespace {

// The existing key at subKey (null or empty: the key itself) under an open handle.
LONG FindKey(HKEY key, LPCSTR subKey, std::shared_ptr<RegistryKey>* found) {
    std::shared_ptr<RegistryKey> parent;
    if (LONG error = ResolveKey(key, 0, &parent))
        return error;
    std::vector<std::string> names;
    if (!SplitKeyPath(OrEmpty(subKey), &names))
        return ERROR_BAD_PATHNAME;
    if (LONG error = CheckKeyNames(*parent, names))
        return error;
    *found = FindSubkey(parent, names);
    return *found ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

} // namespace

// A null or empty subkey opens a new handle to the key itself.
LONG WINAPI RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM access, PHKEY result) {
    MachineLock lock = LockMachine();
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::shared_ptr<RegistryKey> found;
    if (LONG error = FindKey(key, subKey, &found))
        return error;
    *result = AddKeyHandle(found, access);
    return ERROR_SUCCESS;
}

// Creates every missing key on the path. Windows checks the right to create
// against the key's security, not against the handle's access mask, so a
// handle opened for reading creates subkeys too.
LONG WINAPI RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM access,
                            LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
    MachineLock lock = LockMachine();
    if (!result || !subKey)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::shared_ptr<RegistryKey> parent;
    if (LONG error = ResolveKey(key, 0, &parent))
        return error;
    std::vector<std::string> names;
    if (!SplitKeyPath(subKey, &names))
        return ERROR_BAD_PATHNAME;
    if (LONG error = CheckKeyNames(*parent, names))
        return error;
    std::shared_ptr<RegistryKey> found = FindSubkey(parent, names);
    bool created = false;
    if (!found)
        found = CreateSubkey(parent, names, &created);
    if (created)
        NotifyRegistryChanged({RegistryChange::KeyCreated, KeyPathNames(*found), "", {}});
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = AddKeyHandle(found, access);
    return ERROR_SUCCESS;
}

// A null or empty name is the key's default value. Data that does not fit
// is not copied at all; the size it needs is given back with ERROR_MORE_DATA.
LONG WINAPI RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type,
                             LPBYTE data, LPDWORD dataSize) {
    MachineLock lock = LockMachine();
    if (reserved || (data && !dataSize))
        return ERROR_INVALID_PARAMETER;
    std::shared_ptr<RegistryKey> found;
    if (LONG error = ResolveKey(key, KEY_QUERY_VALUE, &found))
        return error;
    auto it = found->values.find(OrEmpty(valueName));
    if (it == found->values.end())
        return ERROR_FILE_NOT_FOUND;
    const RegistryValue& value = it->second;
    if (type)
        *type = value.type;
    if (!dataSize)
        return ERROR_SUCCESS;
    DWORD room = *dataSize;
    *dataSize = static_cast<DWORD>(value.data.size());
    if (!data)
        return ERROR_SUCCESS;
    if (value.data.size() > room)
        return ERROR_MORE_DATA;
    if (!value.data.empty())
        std::memcpy(data, value.data.data(), value.data.size());
    return ERROR_SUCCESS;
}

// Stores exactly the bytes given, whatever the type says; a string is kept
// with the terminating zero only when the caller counted it.
LONG WINAPI RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data,
                           DWORD dataSize) {
    MachineLock lock = LockMachine();
    if (!data && dataSize)
        return ERROR_INVALID_PARAMETER;
    std::shared_ptr<RegistryKey> found;
    if (LONG error = ResolveKey(key, KEY_SET_VALUE, &found))
        return error;
    RegistryValue value;
    value.type = type;
    if (dataSize)
        value.data.assign(data, data + dataSize);
    std::string name = OrEmpty(valueName);
    TranscriptLine("registry write " + KeyPath(*found) + " " + name + " " + TranscriptValue(value));
    SetKeyValue(*found, name, value);
    NotifyRegistryChanged({RegistryChange::ValueSet, KeyPathNames(*found), name, std::move(value)});
    return ERROR_SUCCESS;
}

// As Windows NT does it: only a key without subkeys can go, and an empty
// subkey names the key itself.
LONG WINAPI RegDeleteKeyA(HKEY key, LPCSTR subKey) {
    MachineLock lock = LockMachine();
    std::shared_ptr<RegistryKey> found;
    if (LONG error = FindKey(key, subKey, &found))
        return error;
    if (!found->subkeys.empty() || found->depth == 0)
        return ERROR_ACCESS_DENIED;
    std::vector<std::string> path = KeyPathNames(*found);
    RemoveKey(found);
    NotifyRegistryChanged({RegistryChange::KeyDeleted, std::move(path), "", {}});
    return ERROR_SUCCESS;
}

// Closing a predefined root is allowed and does nothing.
LONG WINAPI RegCloseKey(HKEY key) {
    MachineLock lock = LockMachine();
    if (RootByHandle(key))
        return ERROR_SUCCESS;
    return RemoveKeyHandle(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
