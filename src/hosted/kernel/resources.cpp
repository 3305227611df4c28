// Stands in for the loader's view of the executable's resource section:
// parses the embedded .res and answers the dialog manager's and
// LoadStringA's look-ups, GetModuleHandleA and GetModuleFileNameA.
#include "kernel/resources.h"

#include <cstdlib>
#include <strings.h>
#include <cstring>

#include "kernel/module_image.h"
#include "kernel/objects.h"

namespace hosted {

namespace {

// Reads one name-or-ordinal field of a resource header; advances p.
bool ReadId(const BYTE*& p, const BYTE* end, std::u16string* name, WORD* id) {
    if (end - p < 2)
        return false;
    WORD first;
    std::memcpy(&first, p, 2);
    if (first == 0xFFFF) {
        if (end - p < 4)
            return false;
        std::memcpy(id, p + 2, 2);
        p += 4;
        return true;
    }
    while (true) {
        if (end - p < 2)
            return false;
        char16_t c;
        std::memcpy(&c, p, 2);
        p += 2;
        if (c == 0)
            break;
        name->push_back(c);
    }
    return true;
}

std::vector<ResourceEntry> Parse() {
    std::vector<ResourceEntry> entries;
    // The build made this data; damage here is a build fault.
    if (!ParseResources(kModuleResources, kModuleResourcesSize, &entries))
        std::abort();
    return entries;
}

bool Matches(LPCSTR wanted, const std::u16string& name, WORD id) {
    if (IS_INTRESOURCE(wanted))
        return name.empty() && id == static_cast<WORD>(reinterpret_cast<ULONG_PTR>(wanted));
    if (wanted[0] == '#')
        return name.empty() && id == static_cast<WORD>(std::atoi(wanted + 1));
    return !name.empty() && strcasecmp(Narrow(name).c_str(), wanted) == 0;
}

} // namespace

bool ParseResources(const BYTE* data, std::size_t size, std::vector<ResourceEntry>* entries) {
    const BYTE* p = data;
    const BYTE* end = p + size;
    while (end - p >= 32) {
        DWORD dataSize, headerSize;
        std::memcpy(&dataSize, p, 4);
        std::memcpy(&headerSize, p + 4, 4);
        if (headerSize < 16 || headerSize > static_cast<std::size_t>(end - p) ||
            dataSize > static_cast<std::size_t>(end - p) - headerSize)
            return false;
        const BYTE* field = p + 8;
        ResourceEntry entry;
        if (!ReadId(field, p + headerSize, &entry.typeName, &entry.typeId) ||
            !ReadId(field, p + headerSize, &entry.name, &entry.nameId))
            return false;
        field = p + ((field - p + 3) & ~3);
        // DataVersion (4), MemoryFlags (2), LanguageId (2) follow the names.
        if (field + 8 > p + headerSize)
            return false;
        std::memcpy(&entry.language, field + 6, 2);
        entry.data = p + headerSize;
        entry.size = dataSize;
        if (dataSize > 0)
            entries->push_back(entry);
        std::size_t padded =
            headerSize + ((static_cast<std::size_t>(dataSize) + 3) & ~std::size_t{3});
        if (padded >= static_cast<std::size_t>(end - p))
            break;
        p += padded;
    }
    return true;
}

const std::vector<ResourceEntry>& ModuleResources() {
    static const std::vector<ResourceEntry> entries = Parse();
    return entries;
}

const ResourceEntry* FindModuleResource(LPCSTR type, LPCSTR name) {
    for (const ResourceEntry& entry : ModuleResources())
        if (Matches(type, entry.typeName, entry.typeId) && Matches(name, entry.name, entry.nameId))
            return &entry;
    return nullptr;
}

const ResourceEntry* FindResourceIn(HMODULE module, LPCSTR type, LPCSTR name) {
    if (module != nullptr && module != ModuleHandle()) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    const ResourceEntry* entry = FindModuleResource(type, name);
    if (!entry)
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return entry;
}

HINSTANCE ModuleHandle() {
    return reinterpret_cast<HINSTANCE>(static_cast<ULONG_PTR>(0x400000));
}

std::string Narrow(const std::u16string& text) {
    std::string narrow;
    for (char16_t c : text)
        narrow.push_back(c < 0x100 ? static_cast<char>(c) : '?');
    return narrow;
}

} // namespace hosted

using namespace hosted;

// The module's own name, with or without its extension, names it.
HMODULE WINAPI GetModuleHandleA(LPCSTR name) {
    const char* base = std::strrchr(kModuleFilePath, '\\');
    base = base ? base + 1 : kModuleFilePath;
    const char* dot = std::strrchr(base, '.');
    std::size_t stem = dot ? static_cast<std::size_t>(dot - base) : std::strlen(base);
    if (name == nullptr || strcasecmp(name, base) == 0 ||
        (std::strlen(name) == stem && strncasecmp(name, base, stem) == 0))
        return ModuleHandle();
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
}

// On the simulated machine the program always runs as this file.
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size) {
    if (module != nullptr && module != ModuleHandle()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (size == 0)
        return 0;
    DWORD length = static_cast<DWORD>(std::strlen(kModuleFilePath));
    DWORD copied = length < size ? length : size - 1;
    std::memcpy(buffer, kModuleFilePath, copied);
    buffer[copied] = '\0';
    if (copied < length)
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return copied < length ? size : copied;
}

int WINAPI LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size) {
    if (buffer == nullptr || size <= 0)
        return 0;
    buffer[0] = '\0';
    const ResourceEntry* entry =
        FindResourceIn(instance, RT_STRING, MAKEINTRESOURCEA((id >> 4) + 1));
    if (!entry)
        return 0;
    const BYTE* p = entry->data;
    const BYTE* end = p + entry->size;
    for (UINT index = 0; p + 2 <= end; ++index) {
        WORD length;
        std::memcpy(&length, p, 2);
        p += 2;
        if (p + 2 * length > end)
            return 0;
        if (index == (id & 15)) {
            int copied = length < size ? length : size - 1;
            for (int i = 0; i < copied; ++i) {
                char16_t c;
                std::memcpy(&c, p + 2 * i, 2);
                buffer[i] = c < 0x100 ? static_cast<char>(c) : '?';
            }
            buffer[copied] = '\0';
            return copied;
        }
        p += 2 * length;
    }
    return 0;
}
