#include "advapi/registry_tree.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <strings.h>

#include "core/forever.h"

namespace hosted {
namespace {

struct RootInfo {
    HKEY handle;
    const char* shortName;
    const char* longName;
};

const RootInfo kRoots[] = {
    {HKEY_CLASSES_ROOT, "HKCR", "HKEY_CLASSES_ROOT"},
    {HKEY_CURRENT_USER, "HKCU", "HKEY_CURRENT_USER"},
    {HKEY_LOCAL_MACHINE, "HKLM", "HKEY_LOCAL_MACHINE"},
    {HKEY_USERS, "HKU", "HKEY_USERS"},
    {HKEY_PERFORMANCE_DATA, "HKPD", "HKEY_PERFORMANCE_DATA"},
    {HKEY_CURRENT_CONFIG, "HKCC", "HKEY_CURRENT_CONFIG"},
    {HKEY_DYN_DATA, "HKDD", "HKEY_DYN_DATA"},
};
constexpr std::size_t kRootCount = sizeof kRoots / sizeof kRoots[0];

void (*g_changeHook)(const RegistryChange&) = nullptr;

// The keys of a new installation: "Software" under these roots.
bool HasFreshSoftware(HKEY root) {
    return root == HKEY_LOCAL_MACHINE || root == HKEY_CURRENT_USER;
}

struct OpenKey {
    std::shared_ptr<RegistryKey> key;
    REGSAM access;
};

struct Registry {
    std::shared_ptr<RegistryKey> roots[kRootCount];
    std::map<std::uintptr_t, OpenKey> handles;
    // Apart from the kernel's handle values, so that one kind is never
    // taken for the other.
    std::uintptr_t nextHandle = 0x10000000;

    Registry() { Fresh(); }

    // Not a change to save: a file in use is only ever replaced by what
    // the program did.
    void Fresh() {
        handles.clear();
        for (std::size_t i = 0; i < kRootCount; ++i) {
            roots[i] = std::make_shared<RegistryKey>();
            roots[i]->name = kRoots[i].shortName;
            if (HasFreshSoftware(kRoots[i].handle)) {
                auto software = std::make_shared<RegistryKey>();
                software->name = "Software";
                software->parent = roots[i];
                software->depth = 1;
                roots[i]->subkeys["Software"] = software;
            }
        }
    }
};

Registry& State() {
    static Forever<Registry> registry;
    return *registry;
}

void MarkDeleted(RegistryKey& key) {
    key.deleted = true;
    for (auto& entry : key.subkeys)
        MarkDeleted(*entry.second);
}

} // namespace

// Every byte counts: names that differ only after a zero byte stay apart.
bool NoCaseLess::operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) <
               std::tolower(static_cast<unsigned char>(y));
    });
}

void ResetRegistry() {
    State().Fresh();
}

std::shared_ptr<RegistryKey> RootByHandle(HKEY root) {
    for (std::size_t i = 0; i < kRootCount; ++i)
        if (kRoots[i].handle == root)
            return State().roots[i];
    return nullptr;
}

std::shared_ptr<RegistryKey> RootByName(const std::string& name) {
    for (std::size_t i = 0; i < kRootCount; ++i)
        if (strcasecmp(name.c_str(), kRoots[i].shortName) == 0 ||
            strcasecmp(name.c_str(), kRoots[i].longName) == 0)
            return State().roots[i];
    return nullptr;
}

std::vector<std::pair<std::string, std::shared_ptr<RegistryKey>>> Roots() {
    std::vector<std::pair<std::string, std::shared_ptr<RegistryKey>>> roots;
    for (std::size_t i = 0; i < kRootCount; ++i)
        roots.emplace_back(kRoots[i].shortName, State().roots[i]);
    return roots;
}

bool SplitKeyPath(const std::string& path, std::vector<std::string>* names) {
    names->clear();
    if (path.empty())
        return true;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        if (end == start)
            return false;
        names->push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

std::shared_ptr<RegistryKey> FindSubkey(const std::shared_ptr<RegistryKey>& from,
                                        const std::vector<std::string>& names) {
    std::shared_ptr<RegistryKey> key = from;
    for (const std::string& name : names) {
        auto it = key->subkeys.find(name);
        if (it == key->subkeys.end())
            return nullptr;
        key = it->second;
    }
    return key;
}

std::shared_ptr<RegistryKey> CreateSubkey(const std::shared_ptr<RegistryKey>& from,
                                          const std::vector<std::string>& names, bool* created) {
    std::shared_ptr<RegistryKey> key = from;
    *created = false;
    for (const std::string& name : names) {
        std::shared_ptr<RegistryKey>& child = key->subkeys[name];
        *created = !child;
        if (!child) {
            child = std::make_shared<RegistryKey>();
            child->name = name;
            child->parent = key;
            child->depth = key->depth + 1;
        }
        key = child;
    }
    return key;
}

void RemoveKey(const std::shared_ptr<RegistryKey>& key) {
    std::shared_ptr<RegistryKey> parent = key->parent.lock();
    if (!parent)
        return;
    MarkDeleted(*key);
    auto it = parent->subkeys.find(key->name);
    if (it != parent->subkeys.end() && it->second == key)
        parent->subkeys.erase(it);
}

std::vector<std::string> KeyPathNames(const RegistryKey& key) {
    std::vector<std::string> names{key.name};
    for (std::shared_ptr<RegistryKey> up = key.parent.lock(); up; up = up->parent.lock())
        names.push_back(up->name);
    return std::vector<std::string>(names.rbegin(), names.rend());
}

std::string KeyPath(const RegistryKey& key) {
    std::string path;
    for (const std::string& name : KeyPathNames(key))
        path += (path.empty() ? "" : "\\") + name;
    return path;
}

// Windows gives ERROR_INVALID_PARAMETER for a name over 255 characters and
// ERROR_BAD_PATHNAME (hosted choice, matching an empty name) beyond 512 levels.
LONG CheckKeyNames(const RegistryKey& from, const std::vector<std::string>& names) {
    for (const std::string& name : names)
        if (name.size() > kMaxKeyNameLength)
            return ERROR_INVALID_PARAMETER;
    if (names.size() > static_cast<std::size_t>(kMaxKeyDepth - from.depth))
        return ERROR_BAD_PATHNAME;
    return ERROR_SUCCESS;
}

std::shared_ptr<RegistryKey> FindKeyByPath(const std::string& path) {
    std::size_t slash = path.find('\\');
    std::shared_ptr<RegistryKey> root = RootByName(path.substr(0, slash));
    std::vector<std::string> names;
    if (!root || (slash != std::string::npos && !SplitKeyPath(path.substr(slash + 1), &names)))
        return nullptr;
    return FindSubkey(root, names);
}

void SetKeyValue(RegistryKey& key, const std::string& name, RegistryValue value) {
    auto it = key.values.find(name);
    if (it == key.values.end())
        key.values.emplace(name, std::move(value));
    else
        it->second = std::move(value);
}

void SetRegistryChangeHook(void (*hook)(const RegistryChange&)) {
    g_changeHook = hook;
}

void NotifyRegistryChanged(const RegistryChange& change) {
    if (g_changeHook)
        g_changeHook(change);
}

bool IsFreshKey(const RegistryKey& key) {
    std::shared_ptr<RegistryKey> root = key.parent.lock();
    if (key.depth != 1 || !key.values.empty() || !key.subkeys.empty() || !root ||
        strcasecmp(key.name.c_str(), "Software") != 0)
        return false;
    for (std::size_t i = 0; i < kRootCount; ++i)
        if (State().roots[i] == root)
            return HasFreshSoftware(kRoots[i].handle);
    return false;
}

HKEY AddKeyHandle(std::shared_ptr<RegistryKey> key, REGSAM access) {
    Registry& state = State();
    std::uintptr_t value = state.nextHandle;
    state.nextHandle += 4;
    state.handles[value] = OpenKey{std::move(key), access};
    return reinterpret_cast<HKEY>(value);
}

std::shared_ptr<RegistryKey> LookupKeyHandle(HKEY handle, REGSAM* access) {
    if (std::shared_ptr<RegistryKey> root = RootByHandle(handle)) {
        *access = KEY_ALL_ACCESS;
        return root;
    }
    auto& handles = State().handles;
    auto it = handles.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == handles.end())
        return nullptr;
    *access = it->second.access;
    return it->second.key;
}

bool RemoveKeyHandle(HKEY handle) {
    return State().handles.erase(reinterpret_cast<std::uintptr_t>(handle)) == 1;
}

std::size_t OpenKeyHandleCount() {
    return State().handles.size();
}

} // namespace hosted
